#include "CidKeyedCff.h"

#include <map>
#include <optional>

namespace palvex::pdf {

namespace {

// Operators of a DICT, two-byte ones as 1200 + the second byte.
constexpr int FontBBox = 5, Charset = 15, CharStrings = 17, Private = 18, Subrs = 19;
constexpr int FontMatrix = 1207, Ros = 1230, CidCount = 1234, FdArray = 1236, FdSelect = 1237;
constexpr int CustomStrings = 391; // the first string id after the standard strings

// The data of a CFF, read with bounds checks: anything out of range makes the font unreadable.
class Reader {
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}
    bool ok() const { return m_ok; }
    int byte(qsizetype at) {
        if (at < 0 || at >= m_data.size()) return fail();
        return uint8_t(m_data[at]);
    }
    uint32_t number(qsizetype at, int size) {
        uint32_t value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | uint32_t(byte(at + i));
        return value;
    }
    QByteArrayView slice(qsizetype at, qsizetype length) {
        if (at < 0 || length < 0 || at + length > m_data.size()) {
            fail();
            return {};
        }
        return m_data.sliced(at, length);
    }

    // An INDEX at `at`: its items, and where it ends.
    struct Index {
        std::vector<QByteArrayView> items;
        qsizetype end = 0;
    };
    Index index(qsizetype at) {
        Index result;
        const uint32_t count = number(at, 2);
        if (count == 0) {
            result.end = at + 2;
            return result;
        }
        const int offSize = byte(at + 2);
        if (offSize < 1 || offSize > 4) {
            fail();
            return result;
        }
        const qsizetype offsets = at + 3, data = offsets + qsizetype(count + 1) * offSize - 1;
        uint32_t previous = number(offsets, offSize);
        for (uint32_t i = 1; i <= count && m_ok; ++i) {
            const uint32_t next = number(offsets + qsizetype(i) * offSize, offSize);
            if (next < previous) fail();
            result.items.push_back(slice(data + previous, qsizetype(next - previous)));
            previous = next;
        }
        result.end = data + previous;
        return result;
    }

private:
    int fail() {
        m_ok = false;
        return 0;
    }
    QByteArrayView m_data;
    bool m_ok = true;
};

// A DICT's entries: each operator with its operands as they were written.
using Dict = std::map<int, QByteArrayView>;

std::optional<Dict> parseDict(QByteArrayView dict) {
    Dict entries;
    qsizetype operands = 0;
    for (qsizetype i = 0; i < dict.size();) {
        const int b = uint8_t(dict[i]);
        if (b <= 21) {
            int op = b;
            qsizetype next = i + 1;
            if (b == 12) {
                if (i + 1 >= dict.size()) return std::nullopt;
                op = 1200 + uint8_t(dict[i + 1]);
                next = i + 2;
            }
            entries[op] = dict.sliced(operands, i - operands);
            i = operands = next;
        } else if (b == 28) {
            i += 3;
        } else if (b == 29) {
            i += 5;
        } else if (b == 30) {
            ++i;
            while (i < dict.size() && (uint8_t(dict[i]) & 0x0F) != 0x0F &&
                   (uint8_t(dict[i]) & 0xF0) != 0xF0)
                ++i;
            ++i;
        } else if (b >= 32 && b <= 246) {
            i += 1;
        } else if (b >= 247 && b <= 254) {
            i += 2;
        } else {
            return std::nullopt;
        }
        if (i > dict.size()) return std::nullopt;
    }
    return entries;
}

// The integer operands of an entry (reals are not offsets or sizes, and are not read).
std::vector<int64_t> integers(QByteArrayView operands) {
    std::vector<int64_t> values;
    for (qsizetype i = 0; i < operands.size();) {
        const int b = uint8_t(operands[i]);
        auto at = [&](qsizetype k) { return int(uint8_t(operands[i + k])); };
        if (b >= 32 && b <= 246) {
            values.push_back(b - 139);
            i += 1;
        } else if (b >= 247 && b <= 250 && i + 1 < operands.size()) {
            values.push_back((b - 247) * 256 + at(1) + 108);
            i += 2;
        } else if (b >= 251 && b <= 254 && i + 1 < operands.size()) {
            values.push_back(-(b - 251) * 256 - at(1) - 108);
            i += 2;
        } else if (b == 28 && i + 2 < operands.size()) {
            values.push_back(int16_t(at(1) << 8 | at(2)));
            i += 3;
        } else if (b == 29 && i + 4 < operands.size()) {
            values.push_back(int32_t(uint32_t(at(1)) << 24 | at(2) << 16 | at(3) << 8 | at(4)));
            i += 5;
        } else {
            return {};
        }
    }
    return values;
}

void appendNumber(QByteArray& out, uint32_t value, int size) {
    for (int i = size - 1; i >= 0; --i)
        out.append(char(value >> (8 * i)));
}

// An integer operand in the five-byte form, so a DICT's size does not depend on its offsets.
void appendFixed(QByteArray& out, int64_t value) {
    out.append(char(29));
    appendNumber(out, uint32_t(int32_t(value)), 4);
}

void appendOperator(QByteArray& out, int op) {
    if (op >= 1200)
        out.append(char(12)).append(char(op - 1200));
    else
        out.append(char(op));
}

QByteArray indexOf(const std::vector<QByteArrayView>& items) {
    QByteArray out;
    appendNumber(out, uint32_t(items.size()), 2);
    if (items.empty()) return out;
    uint32_t total = 1;
    for (const QByteArrayView& item : items)
        total += uint32_t(item.size());
    const int offSize = total < 0x100 ? 1 : total < 0x10000 ? 2 : total < 0x1000000 ? 3 : 4;
    out.append(char(offSize));
    uint32_t offset = 1;
    appendNumber(out, offset, offSize);
    for (const QByteArrayView& item : items) {
        offset += uint32_t(item.size());
        appendNumber(out, offset, offSize);
    }
    for (const QByteArrayView& item : items)
        out.append(item);
    return out;
}

// A private DICT and its local subroutines, as they were.
struct PrivateData {
    Dict dict;
    QByteArrayView subrs; // the whole INDEX, or empty
};

std::optional<PrivateData> readPrivate(Reader& cff, QByteArrayView entry) {
    const std::vector<int64_t> sizeAndOffset = integers(entry);
    if (sizeAndOffset.size() != 2) return std::nullopt;
    const std::optional<Dict> dict = parseDict(cff.slice(sizeAndOffset[1], sizeAndOffset[0]));
    if (!dict || !cff.ok()) return std::nullopt;
    PrivateData data{*dict, {}};
    if (const auto subrs = dict->find(Subrs); subrs != dict->end()) {
        const std::vector<int64_t> offset = integers(subrs->second);
        if (offset.size() != 1) return std::nullopt;
        const qsizetype at = sizeAndOffset[1] + offset[0];
        const Reader::Index index = cff.index(at);
        data.subrs = cff.slice(at, index.end - at);
        data.dict.erase(Subrs);
    }
    if (!cff.ok()) return std::nullopt;
    return data;
}

// The private DICT written again, its subroutines right after it.
QByteArray privateBlock(const PrivateData& data) {
    QByteArray dict;
    for (const auto& [op, operands] : data.dict) {
        dict.append(operands);
        appendOperator(dict, op);
    }
    if (!data.subrs.isEmpty()) {
        appendFixed(dict, dict.size() + 6); // this entry is six bytes
        appendOperator(dict, Subrs);
    }
    return dict + data.subrs.toByteArray();
}

} // namespace

QByteArray cidKeyedCff(QByteArrayView data, const std::vector<uint32_t>& glyphOf) {
    Reader cff(data);
    if (glyphOf.empty() || cff.byte(0) != 1) return {};
    const Reader::Index names = cff.index(cff.byte(2));
    const Reader::Index topDicts = cff.index(names.end);
    const Reader::Index strings = cff.index(topDicts.end);
    const Reader::Index globalSubrs = cff.index(strings.end);
    if (!cff.ok() || names.items.size() != 1 || topDicts.items.size() != 1) return {};
    const std::optional<Dict> top = parseDict(topDicts.items[0]);
    if (!top || !top->count(CharStrings)) return {};
    const std::vector<int64_t> charStringsAt = integers(top->at(CharStrings));
    if (charStringsAt.size() != 1) return {};
    const Reader::Index charStrings = cff.index(charStringsAt[0]);
    if (!cff.ok() || charStrings.items.empty()) return {};

    // Each glyph's font DICT: one for a font keyed by name, the font's own for a CID font.
    std::vector<PrivateData> privates;
    std::vector<QByteArrayView> fontMatrices;
    std::vector<int> fdOf(charStrings.items.size(), 0);
    if (top->count(Ros)) {
        const std::vector<int64_t> fdArrayAt =
            integers(top->count(FdArray) ? top->at(FdArray) : QByteArrayView());
        const std::vector<int64_t> fdSelectAt =
            integers(top->count(FdSelect) ? top->at(FdSelect) : "");
        if (fdArrayAt.size() != 1 || fdSelectAt.size() != 1) return {};
        for (const QByteArrayView& fontDict : cff.index(fdArrayAt[0]).items) {
            const std::optional<Dict> fd = parseDict(fontDict);
            if (!fd || !fd->count(Private)) return {};
            std::optional<PrivateData> p = readPrivate(cff, fd->at(Private));
            if (!p) return {};
            privates.push_back(std::move(*p));
            fontMatrices.push_back(fd->count(FontMatrix) ? fd->at(FontMatrix) : QByteArrayView());
        }
        const qsizetype at = fdSelectAt[0];
        const int format = cff.byte(at);
        if (format == 0) {
            for (size_t g = 0; g < fdOf.size(); ++g)
                fdOf[g] = cff.byte(at + 1 + qsizetype(g));
        } else if (format == 3) {
            const uint32_t ranges = cff.number(at + 1, 2);
            for (uint32_t r = 0; r < ranges && cff.ok(); ++r) {
                const qsizetype range = at + 3 + qsizetype(r) * 3;
                const uint32_t first = cff.number(range, 2), next = cff.number(range + 3, 2);
                const int fd = cff.byte(range + 2);
                for (uint32_t g = first; g < next && g < fdOf.size(); ++g)
                    fdOf[g] = fd;
            }
        } else {
            return {};
        }
    } else {
        if (!top->count(Private)) return {};
        std::optional<PrivateData> p = readPrivate(cff, top->at(Private));
        if (!p) return {};
        privates.push_back(std::move(*p));
        fontMatrices.push_back({});
    }
    if (!cff.ok() || privates.empty()) return {};

    // The new glyphs, in the document's numbering.
    const size_t count = glyphOf.size();
    if (count > 0xFFFF) return {};
    std::vector<QByteArrayView> glyphs(count);
    QByteArray fdSelect;
    fdSelect.append(char(0)); // format 0: a font DICT for each glyph
    for (size_t n = 0; n < count; ++n) {
        const uint32_t glyph = glyphOf[n];
        if (glyph >= charStrings.items.size()) return {};
        glyphs[n] = charStrings.items[glyph];
        const int fd = fdOf[glyph];
        if (fd < 0 || size_t(fd) >= privates.size()) return {};
        fdSelect.append(char(fd));
    }
    QByteArray charset;
    charset.append(char(2)); // format 2: glyph n is CID n
    if (count > 1) {
        appendNumber(charset, 1, 2);
        appendNumber(charset, uint32_t(count - 2), 2);
    }

    // The layout: header, names, top DICT, strings, global subroutines, charset, FDSelect,
    // charstrings, font DICTs, then each private DICT with its subroutines.
    const QByteArray header("\x01\x00\x04\x04", 4);
    const QByteArray nameIndex = indexOf({names.items[0]});
    const QByteArray stringIndex = indexOf({QByteArrayView("Adobe"), QByteArrayView("Identity")});
    const QByteArrayView globalSubrIndex = data.sliced(strings.end, globalSubrs.end - strings.end);
    const QByteArray charStringIndex = indexOf(glyphs);
    std::vector<QByteArray> privateBlocks;
    for (const PrivateData& p : privates)
        privateBlocks.push_back(privateBlock(p));

    auto topDict = [&](int64_t charsetAt, int64_t fdSelectAt, int64_t charStringsAt,
                       int64_t fdArrayAt) {
        QByteArray dict;
        appendFixed(dict, CustomStrings);
        appendFixed(dict, CustomStrings + 1);
        appendFixed(dict, 0);
        appendOperator(dict, Ros);
        appendFixed(dict, int64_t(count));
        appendOperator(dict, CidCount);
        for (int op : {FontBBox, FontMatrix})
            if (top->count(op)) {
                dict.append(top->at(op));
                appendOperator(dict, op);
            }
        appendFixed(dict, charsetAt);
        appendOperator(dict, Charset);
        appendFixed(dict, charStringsAt);
        appendOperator(dict, CharStrings);
        appendFixed(dict, fdArrayAt);
        appendOperator(dict, FdArray);
        appendFixed(dict, fdSelectAt);
        appendOperator(dict, FdSelect);
        return dict;
    };
    auto fontDicts = [&](int64_t firstPrivateAt) {
        std::vector<QByteArray> dicts;
        int64_t at = firstPrivateAt;
        for (size_t i = 0; i < privates.size(); ++i) {
            QByteArray dict;
            if (!fontMatrices[i].isEmpty()) {
                dict.append(fontMatrices[i]);
                appendOperator(dict, FontMatrix);
            }
            const int64_t dictSize = privateBlocks[i].size() - privates[i].subrs.size();
            appendFixed(dict, dictSize);
            appendFixed(dict, at);
            appendOperator(dict, Private);
            dicts.push_back(dict);
            at += privateBlocks[i].size();
        }
        return dicts;
    };
    auto fontDictIndex = [&](int64_t firstPrivateAt) {
        const std::vector<QByteArray> dicts = fontDicts(firstPrivateAt);
        return indexOf(std::vector<QByteArrayView>(dicts.begin(), dicts.end()));
    };

    const qsizetype topIndexSize = indexOf({topDict(0, 0, 0, 0)}).size();
    const int64_t charsetAt = header.size() + nameIndex.size() + topIndexSize + stringIndex.size() +
                              globalSubrIndex.size();
    const int64_t fdSelectAt = charsetAt + charset.size();
    const int64_t newCharStringsAt = fdSelectAt + fdSelect.size();
    const int64_t fdArrayAt = newCharStringsAt + charStringIndex.size();
    const int64_t firstPrivateAt = fdArrayAt + fontDictIndex(0).size();

    QByteArray out = header + nameIndex +
                     indexOf({topDict(charsetAt, fdSelectAt, newCharStringsAt, fdArrayAt)}) +
                     stringIndex;
    out.append(globalSubrIndex);
    out += charset + fdSelect + charStringIndex + fontDictIndex(firstPrivateAt);
    for (const QByteArray& block : privateBlocks)
        out += block;
    return out;
}

} // namespace palvex::pdf
