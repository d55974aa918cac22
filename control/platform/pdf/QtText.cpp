#include "QtText.h"

#include <QtGlobal>

// This file reads Qt's private text types, which may change in any minor release. It was checked
// against Qt 6.4 (Debian 12's 6.4.2). Before admitting another release, compare its
// qtextengine_p.h, qfontengine_p.h and qfont_p.h for what is read here: QTextItemInt's chars,
// num_chars, logClusters, glyphs, fontEngine and flags; QGlyphLayout's glyphs, advances,
// offsets, justifications (space_18d6) and attributes (dontPrint); QFontEngine's
// getSfntTableData, ref, faceId (filename, index), fontDef (families, pixelSize), synthesized(),
// type() (Multi), glyphIndex and addGlyphsToPath; QFontPrivate::engineForScript and
// QFontEngineMulti's engine and ensureEngineAt.
#if QT_VERSION < QT_VERSION_CHECK(6, 4, 0) || QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
#error "QtText.cpp was checked against the private text types of Qt 6.4 only: see its top"
#endif

#include "ClusterText.h"

#include <QtGui/private/qfont_p.h>
#include <QtGui/private/qfontengine_p.h>
#include <QtGui/private/qtextengine_p.h>

#include <hb.h>

#include <algorithm>
#include <cstdlib>

namespace palvex::pdf {

namespace {

// Qt's engines for fonts that did not come from a file still answer for their tables.
hb_blob_t* tableOfEngine(hb_face_t*, hb_tag_t tag, void* engine) {
    const auto* fe = static_cast<const QFontEngine*>(engine);
    uint length = 0;
    if (!fe->getSfntTableData(tag, nullptr, &length) || length == 0) return nullptr;
    auto* buffer = static_cast<uchar*>(malloc(length));
    if (!buffer || !fe->getSfntTableData(tag, buffer, &length)) {
        free(buffer);
        return nullptr;
    }
    return hb_blob_create(reinterpret_cast<const char*>(buffer), length, HB_MEMORY_MODE_READONLY,
                          buffer, free);
}

void releaseEngine(void* engine) {
    auto* fe = static_cast<QFontEngine*>(engine);
    if (!fe->ref.deref()) delete fe;
}

EngineFont engineFont(QFontEngine* engine) {
    EngineFont font;
    const QFontEngine::FaceId id = engine->faceId();
    font.source.identity = engine;
    font.source.file = id.filename;
    font.source.faceIndex = id.index;
    font.source.family = engine->fontDef.families.value(0).toLatin1();
    font.source.tables = [engine] {
        engine->ref.ref();
        return hb_face_create_for_tables(tableOfEngine, engine, releaseEngine);
    };
    font.pixelSize = engine->fontDef.pixelSize;
    font.syntheticBold = engine->synthesized() & QFontEngine::SynthesizedBold;
    font.syntheticItalic = engine->synthesized() & QFontEngine::SynthesizedItalic;
    return font;
}

// The characters each glyph of a text item stands for: views of the item's characters, or of
// texts kept in `built` (reserved, so the views stay where they point).
std::vector<QStringView> glyphTexts(const QTextItemInt& item, std::vector<QString>& built) {
    const int glyphs = item.glyphs.numGlyphs;
    std::vector<QStringView> texts(static_cast<size_t>(glyphs));
    if (!item.chars || !item.logClusters || item.num_chars <= 0) return texts;
    built.reserve(size_t(glyphs));
    // A piece of an item split between fonts keeps the whole item's cluster numbers.
    const int base = *std::min_element(item.logClusters, item.logClusters + item.num_chars);
    auto glyphOf = [&](int character) { return item.logClusters[character] - base; };
    auto inItem = [&](QStringView text) {
        return text.isEmpty() ||
               (text.data() >= item.chars && text.data() < item.chars + item.num_chars);
    };
    int start = 0;
    while (start < item.num_chars) {
        const int glyph = glyphOf(start);
        int end = start + 1;
        while (end < item.num_chars && glyphOf(end) == glyph)
            ++end;
        const int nextGlyph = end < item.num_chars ? glyphOf(end) : glyphs;
        if (glyph >= 0 && glyph < glyphs)
            assignCluster(
                std::clamp(nextGlyph, glyph + 1, glyphs) - glyph,
                QStringView(item.chars + start, end - start),
                [&](int k) { return item.glyphs.glyphs[glyph + k]; },
                [&](char32_t c) { return item.fontEngine->glyphIndex(c); },
                [&](int k, QStringView copied) {
                    if (!inItem(copied)) {
                        built.push_back(copied.toString());
                        copied = built.back();
                    }
                    texts[size_t(glyph + k)] = copied;
                });
        start = end;
    }
    return texts;
}

} // namespace

std::optional<std::vector<ShapedRun>> shapedItem(const QPointF& origin, const QTextItem& textItem) {
    const auto& item = static_cast<const QTextItemInt&>(textItem);
    QFontEngine* engine = item.fontEngine;
    const QGlyphLayout& glyphs = item.glyphs;
    if (!engine || glyphs.numGlyphs == 0) return std::nullopt;
    std::vector<QString> built;
    const std::vector<QStringView> texts = glyphTexts(item, built);
    // With fallback fonts, a glyph's high byte says which font has it, the rest which glyph.
    auto* multi =
        engine->type() == QFontEngine::Multi ? static_cast<QFontEngineMulti*>(engine) : nullptr;
    auto engineOf = [&](uint32_t glyph) -> QFontEngine* {
        if (!multi) return engine;
        const int at = int(glyph >> 24);
        multi->ensureEngineAt(at);
        return multi->engine(at);
    };
    auto glyphOf = [&](uint32_t glyph) { return multi ? glyph & 0xFFFFFF : glyph; };

    // Where each glyph goes, as Qt places them: right to left items from their far end.
    std::vector<ShapedRun> runs;
    const QFontEngine* runEngine = nullptr;
    const bool rightToLeft = item.flags & QTextItem::RightToLeft;
    QFixed x = QFixed::fromReal(origin.x());
    const QFixed y = QFixed::fromReal(origin.y());
    auto justification = [&](int i) {
        return QFixed::fromFixed(glyphs.justifications[i].space_18d6);
    };
    if (rightToLeft) {
        for (int i = 0; i < glyphs.numGlyphs; ++i)
            if (!glyphs.attributes[i].dontPrint) x += glyphs.advances[i] + justification(i);
    }
    for (int i = 0; i < glyphs.numGlyphs; ++i) {
        if (glyphs.attributes[i].dontPrint) continue;
        if (rightToLeft) x -= glyphs.advances[i];
        QFontEngine* font = engineOf(glyphs.glyphs[i]);
        const uint32_t glyph = glyphOf(glyphs.glyphs[i]);
        if (font && (runs.empty() || font != runEngine || runs.back().missing != (glyph == 0))) {
            runs.push_back({engineFont(font), glyph == 0, rightToLeft, {}, nullptr, nullptr, {}});
            runEngine = font;
        }
        if (font)
            runs.back().glyphs.push_back({glyph, (x + glyphs.offsets[i].x).toReal(),
                                          (y + glyphs.offsets[i].y).toReal(),
                                          glyphs.advances[i].toReal(), texts[size_t(i)]});
        if (rightToLeft)
            x -= justification(i);
        else
            x += glyphs.advances[i] + justification(i);
    }
    // Each run's characters, the runs side by side from the item's first character to its last
    // (spaces Qt does not draw too), so that held pieces join up again as one text.
    for (size_t k = 0; k < runs.size(); ++k) {
        ShapedRun& run = runs[k];
        run.begin = run.end = k == 0 ? item.chars : runs[k - 1].end;
        for (const ShapedRun::Glyph& g : run.glyphs)
            if (!g.text.isEmpty()) run.end = std::max(run.end, g.text.data() + g.text.size());
    }
    if (!runs.empty() && item.chars)
        runs.back().end = std::max(runs.back().begin, item.chars + item.num_chars);
    if (!runs.empty()) runs.front().builtTexts = std::move(built); // the buffer stays put
    return runs;
}

QPainterPath outlineOf(const ShapedRun& run) {
    auto* engine = static_cast<QFontEngine*>(const_cast<void*>(run.font.source.identity));
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (!engine || run.glyphs.empty()) return path;
    std::vector<glyph_t> glyphs;
    std::vector<QFixedPoint> positions;
    for (const ShapedRun::Glyph& g : run.glyphs) {
        glyphs.push_back(g.glyph);
        positions.push_back({QFixed::fromReal(g.x), QFixed::fromReal(g.y)});
    }
    engine->addGlyphsToPath(glyphs.data(), positions.data(), int(glyphs.size()), &path, {});
    return path;
}

std::optional<EngineFont> primaryFont(const QFont& font, QStringView text) {
    // The font Qt would draw the text's script with, as it would choose it.
    QChar::Script script = QChar::Script_Common;
    for (const QChar c : text)
        if (c.script() > QChar::Script_Inherited) {
            script = c.script();
            break;
        }
    QFontEngine* engine = QFontPrivate::get(font)->engineForScript(script);
    if (engine && engine->type() == QFontEngine::Multi)
        engine = static_cast<QFontEngineMulti*>(engine)->engine(0);
    if (!engine) return std::nullopt;
    return engineFont(engine);
}

} // namespace palvex::pdf
