// palvex-run scripts come from people: any text must parse into statements or a line-numbered
// error, never a crash.

#include "../tools/palvex-run/ScriptParser.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    int line = 0;
    for (const QString& l : text.split(QLatin1Char('\n'))) {
        try {
            palvex::script::parseLine(l, ++line);
        } catch (const palvex::script::ParseError&) {
        }
    }
    return 0;
}
