#include "Type1Program.h"

#include <cstdint>

namespace palvex::pdf {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A .pfb file: segments of text (1) and binary (2), each behind a six-byte header, until 3.
std::optional<Type1Program> fromSegments(const QByteArray& file) {
    Type1Program program;
    qsizetype at = 0;
    while (at + 2 <= file.size() && uchar(file[at]) == 0x80) {
        const int type = uchar(file[at + 1]);
        if (type == 3) break;
        if (at + 6 > file.size()) return std::nullopt;
        const auto byte = [&](int i) { return uint32_t(uchar(file[at + 2 + i])); };
        const qsizetype length = qsizetype(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
        at += 6;
        if (length > file.size() - at) return std::nullopt;
        if (type == 1 && program.encrypted.isEmpty())
            program.cleartext.append(file.constData() + at, length);
        else if (type == 2)
            program.encrypted.append(file.constData() + at, length);
        else if (type != 1) // text after the encrypted part is the trailer
            return std::nullopt;
        at += length;
    }
    return program;
}

// The encrypted part, from hexadecimal digits when the first four are hexadecimal (as in a .pfa;
// binary otherwise), up to the trailer's "cleartomark" at the latest.
QByteArray encryptedPart(const QByteArray& file, qsizetype at) {
    bool hex = at + 4 <= file.size();
    for (qsizetype i = at; hex && i < at + 4; ++i)
        hex = hexValue(file[i]) >= 0;
    if (!hex) return file.mid(at);
    QByteArray binary;
    binary.reserve((file.size() - at) / 2);
    int high = -1;
    for (; at < file.size(); ++at) {
        const char c = file[at];
        if (isSpace(c)) continue;
        const int value = hexValue(c);
        if (value < 0) break;
        if (high < 0) {
            high = value;
        } else {
            binary.append(char(high << 4 | value));
            high = -1;
        }
    }
    return binary;
}

// How much of an encrypted part the program reads: up to and including the "closefile" that
// ends it, found by decrypting (eexec's key, 55665).
qsizetype programLength(const QByteArray& encrypted) {
    static constexpr char End[] = "closefile";
    constexpr int EndLength = sizeof End - 1;
    uint16_t key = 55665;
    int matched = 0;
    for (qsizetype i = 0; i < encrypted.size(); ++i) {
        const uchar cipher = uchar(encrypted[i]);
        const char plain = char(cipher ^ (key >> 8));
        key = uint16_t((cipher + key) * 52845u + 22719u);
        matched = plain == End[matched] ? matched + 1 : plain == End[0] ? 1 : 0;
        if (matched == EndLength) return i + 1;
    }
    return -1;
}

} // namespace

std::optional<Type1Program> type1Program(const QByteArray& file) {
    std::optional<Type1Program> program;
    if (file.startsWith('\x80')) {
        program = fromSegments(file);
    } else if (file.startsWith("%!")) {
        const qsizetype eexec = file.indexOf("eexec");
        if (eexec < 0) return std::nullopt;
        qsizetype at = eexec + 5;
        // The line end after "eexec" belongs to the cleartext: "\r", "\n" or "\r\n".
        if (at < file.size() && file[at] == '\r') ++at;
        if (at < file.size() && file[at] == '\n') ++at;
        if (at == eexec + 5) return std::nullopt;
        program = Type1Program{file.left(at), encryptedPart(file, at)};
    }
    if (!program || program->cleartext.isEmpty()) return std::nullopt;
    const qsizetype length = programLength(program->encrypted);
    if (length < 0) return std::nullopt;
    program->encrypted.truncate(length);
    return program;
}

} // namespace palvex::pdf
