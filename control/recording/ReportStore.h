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

// The report store ("palvex.rpt", one PrintItem per record) and the definitions file
// ("palvex.dfn", one Definitions record), with the item count and the page-end flags.
class ReportStore {
public:
    static constexpr const char* StoreFileName = "palvex.rpt";
    static constexpr const char* DefinitionsFileName = "palvex.dfn";

    explicit ReportStore(const CodePage& codePage);

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
    // Visits records first..last in order, read in large blocks; `visit` gets each record's
    // number and bytes and returns false to stop.
    void scan(int32_t first, int32_t last,
              const std::function<bool(int32_t, const PrintItem::Bytes&)>& visit) const;
    // As scan, over every record the file holds: the preview's Close forgets items, but a
    // printout written afterwards still carries them.
    void scanFile(const std::function<bool(int32_t, const PrintItem::Bytes&)>& visit) const;
    int32_t recordsInFile() const;
    void rewrite(int32_t number, const PrintItem& item);

    int32_t itemCount() const { return m_itemCount; }
    // Writes buffered records and cuts the file to exactly its records.
    void sync();
    void resetItems() {
        m_itemCount = 0;
        m_pageEnd.clear();
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
    void scanRecords(int32_t first, int32_t last,
                     const std::function<bool(int32_t, const PrintItem::Bytes&)>& visit) const;

    const CodePage& m_codePage;
    RecordFile m_store;
    RecordFile m_definitions;
    int32_t m_itemCount = 0;
    std::vector<bool> m_pageEnd; // index n-1 for item n
    // The aligned block of records the last read came from: pages are read item after item.
    static constexpr int32_t CachedBlock = 64;
    mutable std::vector<unsigned char> m_cached;
    mutable int32_t m_cachedFirst = 0;
    mutable int32_t m_cachedCount = 0;
};

} // namespace palvex
