#include "ReportStore.h"

#include "core/CodePage.h"
#include "core/Guarded.h"

#include <algorithm>
#include <limits>

namespace palvex {

ReportStore::ReportStore(const CodePage& codePage) : m_codePage(codePage) {}

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

int32_t ReportStore::append(const PrintItem& item) {
    if (m_itemCount == std::numeric_limits<int32_t>::max()) raise(Status::Overflow);
    PrintItem::Bytes bytes;
    item.encode(bytes, m_codePage);
    const int32_t number = m_itemCount + 1;
    if (m_pageEnd.size() == m_pageEnd.capacity()) // grow before anything changes
        m_pageEnd.reserve(m_pageEnd.size() * 2 + 1024);
    forgetCachedBlock();
    m_store.write(number, bytes.data());
    m_pageEnd.push_back(false);
    m_itemCount = number;
    return number;
}

PrintItem ReportStore::read(int32_t number) const {
    PrintItem::Bytes bytes;
    if (number < m_cachedFirst || number >= m_cachedFirst + m_cachedCount) {
        if (number < 1) raise(Status::BadFileName);
        m_cached.resize(size_t(CachedBlock) * PrintItem::Size);
        m_cachedFirst = (number - 1) / CachedBlock * CachedBlock + 1;
        m_cachedCount = 0;
        m_cachedCount =
            int32_t(m_store.readPartial(m_cachedFirst, m_cached.data(), int64_t(m_cached.size())) /
                    PrintItem::Size);
    }
    if (number >= m_cachedFirst + m_cachedCount) {
        m_store.read(number, bytes.data()); // past the file's records: read as blanks
    } else {
        std::copy_n(m_cached.begin() + ptrdiff_t(number - m_cachedFirst) * PrintItem::Size,
                    PrintItem::Size, bytes.begin());
    }
    return PrintItem::decode(bytes, m_codePage);
}

void ReportStore::scan(int32_t first, int32_t last,
                       const std::function<bool(int32_t, const PrintItem::Bytes&)>& visit) const {
    scanRecords(first, std::min(last, m_itemCount), visit);
}

void ReportStore::scanFile(
    const std::function<bool(int32_t, const PrintItem::Bytes&)>& visit) const {
    scanRecords(1, recordsInFile(), visit);
}

int32_t ReportStore::recordsInFile() const {
    if (!m_store.isOpen()) return 0;
    return int32_t(std::min<int64_t>(m_store.recordCount(), std::numeric_limits<int32_t>::max()));
}

void ReportStore::scanRecords(
    int32_t first, int32_t last,
    const std::function<bool(int32_t, const PrintItem::Bytes&)>& visit) const {
    constexpr int32_t Block = 256;
    std::vector<unsigned char> buffer(size_t(Block) * PrintItem::Size);
    PrintItem::Bytes record;
    for (int32_t n = std::max(1, first); n <= last; n += Block) {
        const int32_t count = std::min(Block, last - n + 1);
        const int64_t got = m_store.readPartial(n, buffer.data(), int64_t(count) * PrintItem::Size);
        for (int32_t k = 0; k < count; ++k) {
            if (int64_t(k + 1) * PrintItem::Size > got) return;
            std::copy_n(buffer.begin() + ptrdiff_t(k) * PrintItem::Size, PrintItem::Size,
                        record.begin());
            if (!visit(n + k, record)) return;
        }
    }
}

void ReportStore::rewrite(int32_t number, const PrintItem& item) {
    forgetCachedBlock();
    PrintItem::Bytes bytes;
    item.encode(bytes, m_codePage);
    m_store.write(number, bytes.data());
}

void ReportStore::setItemCount(int32_t count) {
    forgetCachedBlock();
    m_itemCount = std::max(0, count);
    m_pageEnd.resize(size_t(m_itemCount), false);
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
    return Definitions::decode(bytes.data(), got, m_codePage);
}

void ReportStore::writeDefinitions(const Definitions& definitions) {
    Definitions::Bytes bytes{};
    definitions.encode(bytes, m_codePage);
    m_definitions.write(1, bytes.data());
}

} // namespace palvex
