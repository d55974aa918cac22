#pragma once

#include "core/InternalExport.h"
#include "recording/PendingItem.h"
#include "recording/PrintItem.h"

#include <QString>

#include <functional>
#include <optional>

namespace palvex {

struct ReportState;
class ReportStore;
class Surface;

// The one writer every recording call ends in. It measures the item a recorder built on the
// current drawing surface, moves the surface's cursor as a printer would and appends one record.
class ItemWriter {
public:
    ItemWriter(ReportState& report, ReportStore& store) : m_report(report), m_store(store) {}

    // Stores `pending` at the surface's cursor, with the marks the host left for the next item,
    // and returns the item as stored; nothing for a line end, or a centred text, run or shape
    // with nothing to record. The host's marks are used up either way. When the store refuses
    // the record, the item count, page-end flags, file and cursor stay as they were and the
    // error propagates.
    std::optional<PrintItem> write(const PendingItem& pending);

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
    PrintItem itemAtCursor(const Surface& surface, const PendingItem& pending, int16_t kind,
                           int16_t align) const;
    void applyAlignment(Surface& surface, int16_t kind, int16_t align, const QString& text);
    // Kind-specific work; false when the item is not to be recorded.
    bool fillKind(Surface& surface, const PendingItem& pending, int16_t kind, QString& text,
                  PrintItem& item);
    // What the item is, from the recorder's tag, the host's marks and the kind.
    ItemTag roleOf(const PendingItem& pending, int16_t kind) const;
    // The host's marks once a write used them: one-item marks go, a text role ends with its line.
    void useHostMarks(int16_t kind);
    // Whether the item keeps its place when pages are centred.
    void markCentring(PrintItem& item, int16_t yRelative);
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
