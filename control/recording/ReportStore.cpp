#include "ReportStore.h"

#include "core/CodePage.h"
#include "core/Guarded.h"
#include "core/RecordCodec.h"

#include <algorithm>
#include <limits>

namespace palvex {

int16_t StoredItem::kind() const {
    return codec::getI16(records[0].data() + 233);
}

PrintItem StoredItem::decode(const CodePage& codePage) const {
    return PrintItem::decodeRecords(records, count, codePage);
}

QString StoredItem::text(const CodePage& codePage) const {
    if (count == 1) return codec::getText(records[0].data() + 53, PrintItem::TextWidth, codePage);
    return decode(codePage).ItemText;
}

ReportStore::ReportStore(const CodePage& codePage) : m_codePage(&codePage) {}

void ReportStore::markClosed() {
    forgetCachedBlock();
    // A second start forgets the handles of the first; closing them is the sound form of that.
    m_store.close();
    m_definitions.close();
}

void ReportStore::closeAll() {
    markClosed();
}

void ReportStore::OpenReportStore(const std::string& directory,
                                  const std::array<double, 4>& defaultMarginsCm) {
    if (!m_store.isOpen()) {
        m_store.open(directory + "/" + StoreFileName, PrintItem::Size, RecordFile::Mode::Recreate,
                     true);
        resetItems();
    }
    if (m_definitions.isOpen()) return;
    m_definitions.open(directory + "/" + DefinitionsFileName, Definitions::Size,
                       RecordFile::Mode::KeepContents);
    if (m_definitions.sizeInBytes() != 0) return;
    writeDefinitions(Definitions::initial(defaultMarginsCm));
}

int64_t ReportStore::recordOf(int32_t number) const {
    const auto atOrAfter =
        std::lower_bound(m_continued.begin(), m_continued.end(), number,
                         [](const Continued& c, int32_t n) { return c.item < n; });
    if (atOrAfter == m_continued.begin()) return number;
    const Continued& before = *(atOrAfter - 1);
    return number + before.recordsBefore + before.records;
}

int32_t ReportStore::continuationsOf(int32_t number) const {
    const auto found = std::lower_bound(m_continued.begin(), m_continued.end(), number,
                                        [](const Continued& c, int32_t n) { return c.item < n; });
    return found != m_continued.end() && found->item == number ? found->records : 0;
}

int32_t ReportStore::append(const PrintItem& item) {
    if (m_itemCount == std::numeric_limits<int32_t>::max()) raise(Status::Overflow);
    std::vector<PrintItem::Bytes>& records = m_encoded;
    item.encodeRecords(records, *m_codePage);
    const int32_t number = m_itemCount + 1;
    const int64_t record = recordOf(number);
    if (m_pageEnd.size() == m_pageEnd.capacity()) // grow before anything changes
        m_pageEnd.reserve(m_pageEnd.size() * 2 + 1024);
    if (records.size() > 1 && m_continued.size() == m_continued.capacity())
        m_continued.reserve(m_continued.size() * 2 + 16);
    forgetCachedBlock();
    // All the item's records, or none of them.
    m_store.write(record, records.front().data(), int(records.size()));
    if (records.size() > 1) {
        const int64_t before =
            m_continued.empty() ? 0 : m_continued.back().recordsBefore + m_continued.back().records;
        m_continued.push_back({number, int32_t(records.size() - 1), before});
    }
    m_pageEnd.push_back(false);
    m_itemCount = number;
    return number;
}

void ReportStore::readRecord(int64_t record, PrintItem::Bytes& bytes) const {
    if (record < m_cachedFirst || record >= m_cachedFirst + m_cachedCount) {
        if (record < 1) raise(Status::BadFileName);
        m_cached.resize(size_t(CachedBlock) * PrintItem::Size);
        m_cachedFirst = (record - 1) / CachedBlock * CachedBlock + 1;
        m_cachedCount = 0;
        m_cachedCount =
            m_store.readPartial(m_cachedFirst, m_cached.data(), int64_t(m_cached.size())) /
            PrintItem::Size;
    }
    if (record >= m_cachedFirst + m_cachedCount) {
        m_store.read(record, bytes.data()); // past the file's records: read as blanks
    } else {
        std::copy_n(m_cached.begin() + ptrdiff_t(record - m_cachedFirst) * PrintItem::Size,
                    PrintItem::Size, bytes.begin());
    }
}

PrintItem ReportStore::read(int32_t number) const {
    if (number < 1) raise(Status::BadFileName);
    const int64_t first = recordOf(number);
    std::vector<PrintItem::Bytes> records(size_t(1 + continuationsOf(number)));
    for (size_t i = 0; i < records.size(); ++i)
        readRecord(first + int64_t(i), records[i]);
    return PrintItem::decodeRecords(records.data(), records.size(), *m_codePage);
}

void ReportStore::scan(int32_t first, int32_t last, const Visitor& visit) const {
    first = std::max(1, first);
    last = std::min(last, m_itemCount);
    if (first > last) return;
    scanRecords(recordOf(first), recordOf(last) + continuationsOf(last), first, visit);
}

void ReportStore::scanFile(const Visitor& visit) const {
    scanRecords(1, recordsInFile(), 1, visit);
}

int32_t ReportStore::recordsInFile() const {
    if (!m_store.isOpen()) return 0;
    return int32_t(std::min<int64_t>(m_store.recordCount(), std::numeric_limits<int32_t>::max()));
}

void ReportStore::scanRecords(int64_t first, int64_t last, int32_t firstItem,
                              const Visitor& visit) const {
    constexpr int32_t Block = 256;
    std::vector<unsigned char> buffer(size_t(Block) * PrintItem::Size);
    // The item being gathered: its first record and the continuation records read so far. It
    // is visited when the next item's first record, or the end, shows it is whole.
    std::vector<PrintItem::Bytes> item;
    int32_t number = firstItem;
    auto visitGathered = [&] {
        if (item.empty()) return true;
        const bool more = visit(number++, StoredItem{item.data(), item.size()});
        item.clear();
        return more;
    };
    PrintItem::Bytes record;
    for (int64_t n = std::max<int64_t>(1, first); n <= last; n += Block) {
        const int64_t count = std::min<int64_t>(Block, last - n + 1);
        const int64_t got = m_store.readPartial(n, buffer.data(), count * PrintItem::Size);
        for (int64_t k = 0; k < count; ++k) {
            if ((k + 1) * PrintItem::Size > got) {
                visitGathered();
                return;
            }
            std::copy_n(buffer.begin() + ptrdiff_t(k) * PrintItem::Size, PrintItem::Size,
                        record.begin());
            // A continuation record without an item before it belongs to none: passed over.
            if (PrintItem::isContinuation(record)) {
                if (!item.empty()) item.push_back(record);
                continue;
            }
            if (!visitGathered()) return;
            item.push_back(record);
        }
    }
    visitGathered();
}

void ReportStore::rewrite(int32_t number, const PrintItem& item) {
    forgetCachedBlock();
    item.encodeRecords(m_encoded, *m_codePage);
    m_store.write(recordOf(number), m_encoded.front().data());
}

void ReportStore::setItemCount(int32_t count) {
    forgetCachedBlock();
    m_itemCount = std::max(0, count);
    m_pageEnd.resize(size_t(m_itemCount), false);
    while (!m_continued.empty() && m_continued.back().item > m_itemCount)
        m_continued.pop_back();
}

bool ReportStore::pageEndsAfter(int32_t number) const {
    return number >= 1 && size_t(number) <= m_pageEnd.size() && m_pageEnd[size_t(number - 1)];
}

void ReportStore::setPageEnd(int32_t number, bool ends) {
    if (number < 1 || size_t(number) > m_pageEnd.size()) raise(Status::SubscriptOutOfRange);
    m_pageEnd[size_t(number - 1)] = ends;
}

void ReportStore::sync() {
    if (m_store.isOpen()) m_store.sync();
}

Definitions ReportStore::readDefinitions() const {
    Definitions::Bytes bytes{};
    const int64_t got = m_definitions.readPartial(1, bytes.data(), Definitions::Size);
    return Definitions::decode(bytes.data(), got, *m_codePage);
}

void ReportStore::writeDefinitions(const Definitions& definitions) {
    Definitions::Bytes bytes{};
    definitions.encode(bytes, *m_codePage);
    m_definitions.write(1, bytes.data());
}

} // namespace palvex
