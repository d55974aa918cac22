#pragma once

#include "Definitions.h"
#include "PrintItem.h"
#include "RecordFile.h"
#include "core/InternalExport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace palvex {

class CodePage;

// One item as the store holds it: its first record and the continuation records after it.
struct StoredItem {
    const PrintItem::Bytes* records = nullptr;
    size_t count = 0;

    int16_t kind() const;
    PrintItem decode(const CodePage& codePage) const;
    // Only the text, for readers that look at nothing else.
    QString text(const CodePage& codePage) const;
};

// The report store ("palvex.rpt") and the definitions file ("palvex.dfn", one Definitions
// record), with the item count and the page-end flags. Items are numbered as they were
// recorded; an item whose font name or text is longer than its field takes continuation
// records after its own, which the store reads back with it, so every reader sees whole items.
class ReportStore {
public:
    static constexpr const char* StoreFileName = "palvex.rpt";
    static constexpr const char* DefinitionsFileName = "palvex.dfn";

    explicit ReportStore(const CodePage& codePage);
    // The page the next report's records are written and read in (set at every start).
    void setCodePage(const CodePage& codePage) { m_codePage = &codePage; }
    const CodePage& codePage() const { return *m_codePage; }

    // Both files are marked not open; the next OpenReportStore recreates the store.
    void markClosed();
    void closeAll();

    // Creates an empty report store in `directory` and opens the definitions file there,
    // writing a fresh record built from `defaultMarginsCm` only when that file is empty.
    void OpenReportStore(const std::string& directory,
                         const std::array<double, 4>& defaultMarginsCm);
    bool isOpen() const { return m_store.isOpen(); }

    // Appends the item as the next record. On failure nothing changes (count, flags, file).
    int32_t append(const PrintItem& item);
    PALVEX_INTERNAL_EXPORT PrintItem read(int32_t number) const;
    // Visits items first..last in order, read in large blocks; `visit` gets each item's number
    // and records and returns false to stop.
    using Visitor = std::function<bool(int32_t, const StoredItem&)>;
    void scan(int32_t first, int32_t last, const Visitor& visit) const;
    // As scan, over every item the file holds: the preview's Close forgets items, but a
    // printout written afterwards still carries them.
    void scanFile(const Visitor& visit) const;
    int32_t recordsInFile() const;
    // Writes the item's first record again (page centring's shift): its continuation records
    // stay as they are.
    void rewrite(int32_t number, const PrintItem& item);

    int32_t itemCount() const { return m_itemCount; }
    // Writes buffered records and cuts the file to exactly its records.
    void sync();
    void resetItems() {
        m_itemCount = 0;
        m_pageEnd.clear();
        m_continued.clear();
        forgetCachedBlock();
    }
    // Forgets items without touching the file (the preview's Close).
    void setItemCount(int32_t count);

    PALVEX_INTERNAL_EXPORT bool pageEndsAfter(int32_t number) const;
    // Reads go to the file again (after it was written by another handle).
    void forgetCachedBlock() const { m_cachedCount = 0; }
    void setPageEnd(int32_t number, bool ends);

    Definitions readDefinitions() const;
    void writeDefinitions(const Definitions& definitions);
    bool definitionsOpen() const { return m_definitions.isOpen(); }

    std::string storePath() const { return m_store.path(); }

private:
    // Visits the items whose records lie within first..last (record numbers), numbering them
    // from `firstItem`.
    void scanRecords(int64_t first, int64_t last, int32_t firstItem, const Visitor& visit) const;
    // The record item `number` starts at, and how many continuation records follow it.
    int64_t recordOf(int32_t number) const;
    int32_t continuationsOf(int32_t number) const;
    void readRecord(int64_t record, PrintItem::Bytes& bytes) const;

    const CodePage* m_codePage;
    RecordFile m_store;
    RecordFile m_definitions;
    int32_t m_itemCount = 0;
    std::vector<bool> m_pageEnd; // index n-1 for item n
    // The items that took continuation records, in order, with the continuation records of the
    // items before them: an item's record is its number plus those.
    struct Continued {
        int32_t item;
        int32_t records;
        int64_t recordsBefore;
    };
    std::vector<Continued> m_continued;
    std::vector<PrintItem::Bytes> m_encoded; // the records of the item being written
    // The aligned block of records the last read came from: pages are read item after item.
    static constexpr int32_t CachedBlock = 64;
    mutable std::vector<unsigned char> m_cached;
    mutable int64_t m_cachedFirst = 0;
    mutable int64_t m_cachedCount = 0;
};

} // namespace palvex
