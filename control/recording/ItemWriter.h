#pragma once

#include "core/InternalExport.h"
#include "recording/PrintItem.h"

#include <QString>

#include <functional>

namespace palvex {

struct ReportState;
class ReportStore;
class Surface;

// WriteItem: the one writer every recording call ends in. It measures the pending item on the
// current drawing surface, moves the surface's cursor as a printer would and appends one record.
class ItemWriter {
public:
    ItemWriter(ReportState& report, ReportStore& store) : m_report(report), m_store(store) {}

    // Stores one item from the pending settings, the surface and `text` (some kinds rewrite it).
    // When the store refuses the record, the item count, page-end flags, file and cursor stay as
    // they were, the pending settings are cleared and the error propagates.
    void WriteItem(QString& text);

    // Told, once a report, of the first text whose characters the code page cannot hold (they
    // are stored as '?'), with the warning that names it.
    std::function<void(const QString& warning)> onLostCharacters;

private:
    // What a write that fails puts back.
    struct CursorKept {
        float x, y, textStart, textEnd, propertyX;
    };

    // The steps of a write, in order.
    void advanceLine(Surface& surface); // kind 0: a line end, nothing stored
    void refuseUnlessRecording();       // 52 before a start, 6 past the last page number
    // The text as the report's code page stores it.
    QString storedText(const QString& text);
    PrintItem itemAtCursor(const Surface& surface, int16_t kind, int16_t align) const;
    void applyAlignment(Surface& surface, int16_t kind, int16_t align, const QString& text);
    // Kind-specific work; false when the item is not to be recorded.
    bool fillKind(Surface& surface, int16_t kind, QString& text, PrintItem& item);
    // Whether the item keeps its place when pages are centred.
    void markCentring(PrintItem& item);
    CursorKept keepCursor(const Surface& surface) const;
    void putBack(Surface& surface, const CursorKept& kept);

    ReportState& m_report;
    ReportStore& m_store;
};

// Kind codes the writer accepts; anything else is recorded as text.
int16_t validatedKind(int16_t kind);
// Alignment codes the writer keeps (4 only for pictures); anything else is none.
int16_t validatedAlign(int16_t align, int16_t kind);

// Text with the blanks at both ends removed (spaces only, as the runtime's Trim does).
QString trimBlanks(const QString& text);
PALVEX_INTERNAL_EXPORT QString trimTrailingBlanks(const QString& text);

} // namespace palvex
