// The C interface takes whatever a C program or a binding passes: any member identifier (valid
// or not), call kind, argument count and value of every type (NULL and invalid UTF-8 strings,
// NaN, infinities, extremes), through a live, a destroyed, a made-up or a NULL handle. Every
// call must return a status that has a text, leave an empty result when refused, and write back
// only well-formed values, without crashing or hanging.
//
// An input is a sequence of calls; each call reads its choices from the next bytes. File names
// are kept inside the run's own folder: the fuzzer chooses names, not places.

#include <palvex/palvex_c.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// The bytes of one input, read front to back; past the end, zeros.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_at >= m_size; }
    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    template <class T> T raw() {
        T value{};
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char& b : bytes)
            b = byte();
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    // Up to 64 bytes, as they come (invalid UTF-8 included), NUL-terminated.
    std::string text() {
        std::string s;
        for (size_t n = byte() % 65; n > 0 && !done(); --n)
            if (const char c = char(byte())) s.push_back(c);
        return s;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

struct Member {
    const char* name;
    int32_t id;
    bool takesPath;
};

struct Session {
    QTemporaryDir folder;
    palvex_control* control = nullptr;
    palvex_control* destroyed = nullptr;
    std::vector<Member> members;
    int calls = 0;
};
Session* session = nullptr;

void fail(const char* what, int status) {
    std::fprintf(stderr, "fuzz-capi: %s (status %d)\n", what, status);
    std::abort();
}

void put(palvex_control* control, const char* name, palvex_variant value) {
    const int status = palvex_invoke(control, name, PALVEX_PROPERTY_PUT, &value, 1, nullptr);
    if (status != PALVEX_OK) fail(name, status);
}

void startReport() {
    const int status = palvex_invoke(session->control, "StartPalvexPrintPreview", PALVEX_METHOD,
                                     nullptr, 0, nullptr);
    if (status != PALVEX_OK) fail("StartPalvexPrintPreview: the run would fuzz no report", status);
}

// A file name the fuzzer chose, as a name inside the run's folder.
std::string confined(const std::string& chosen) {
    std::string name;
    for (const char c : chosen)
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-')
            name.push_back(c);
    if (name.empty() || name[0] == '.') name.insert(0, "f");
    return QDir(session->folder.path()).filePath(QString::fromStdString(name)).toStdString();
}

bool wellFormedUtf8(const char* text) {
    const QByteArray bytes(text);
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

void checkValue(const palvex_variant& value, const char* what) {
    if (value.type < PALVEX_EMPTY || value.type > PALVEX_STRING) fail(what, value.type);
    if (value.type == PALVEX_STRING) {
        if (!(value.flags & PALVEX_OWNED) || !value.v.str) fail(what, -1);
        if (!wellFormedUtf8(value.v.str)) fail(what, -2);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("CUPS_SERVER", "/nonexistent/palvex-fuzz.sock", 1);
    session = new Session;
    if (palvex_app_ensure(0, nullptr) != PALVEX_OK) fail("palvex_app_ensure", -1);
    if (palvex_create(&session->destroyed) != PALVEX_OK) fail("palvex_create", -1);
    palvex_destroy(session->destroyed);
    if (palvex_create(&session->control) != PALVEX_OK) fail("palvex_create", -1);
    const std::set<std::string> pathMembers = {"SavePrint", "ReadPrint", "ExportPdf",
                                               "printPicture", "WorkingFolder"};
    for (int i = 0, n = palvex_member_count(); i < n; ++i) {
        Member m{};
        palvex_member_info(i, &m.name, &m.id, nullptr, nullptr, nullptr, nullptr);
        m.takesPath = pathMembers.count(m.name) > 0;
        session->members.push_back(m);
    }
    const QByteArray folder = session->folder.path().toUtf8();
    put(session->control, "WorkingFolder", palvex_string(folder.constData()));
    put(session->control, "MessagesToHost", palvex_bool(1));
    QDir::setCurrent(session->folder.path()); // where the PDF device writes
    startReport();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    for (int call = 0; call < 16 && !in.done(); ++call) {
        // Which handle: mostly the live one.
        const uint8_t handleChoice = in.byte();
        palvex_control* handle = session->control;
        if (handleChoice == 1) handle = nullptr;
        if (handleChoice == 2) handle = session->destroyed;
        if (handleChoice == 3) handle = reinterpret_cast<palvex_control*>(uintptr_t(0x10));

        // Which member: one of the table's, or any identifier, or any name.
        const uint8_t memberChoice = in.byte();
        const Member* member = nullptr;
        int32_t id = 0;
        std::string name;
        if (memberChoice < 240) {
            member = &session->members[in.byte() % session->members.size()];
            id = member->id;
            name = member->name;
        } else if (memberChoice < 248) {
            id = in.raw<int32_t>();
        } else {
            name = in.text();
        }
        const int kind = int(in.byte() % 6) - 1; // the four kinds and two that are none
        int nargs = in.byte() % 9;
        if (nargs == 8) nargs = -1;

        std::vector<palvex_variant> args(size_t(nargs > 0 ? nargs : 0), palvex_empty());
        std::vector<std::string> strings(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            palvex_variant& a = args[i];
            switch (in.byte() % 10) {
            case 0: a = palvex_empty(); break;
            case 1: a = palvex_missing(); break;
            case 2: a = palvex_bool(in.raw<int>()); break;
            case 3: a = palvex_i16(in.raw<int16_t>()); break;
            case 4: a = palvex_i32(in.raw<int32_t>()); break;
            case 5: a = palvex_single(in.raw<float>()); break;
            case 6: a = palvex_double(in.raw<double>()); break;
            case 7: a = palvex_string(nullptr); break;
            case 8:
                strings[i] = in.text();
                if (member && member->takesPath) strings[i] = confined(strings[i]);
                a = palvex_string(strings[i].c_str());
                break;
            default: {
                // Not a type at all (a caller's string with a wild pointer would be the caller's
                // fault, not something the library can tell).
                const int beyond = int(in.byte());
                a.type = beyond % 2 ? PALVEX_STRING + 1 + beyond : -1 - beyond;
                a.v.i32 = in.raw<int32_t>();
                break;
            }
            }
        }
        const bool wantResult = in.byte() % 4 != 0;
        palvex_variant result;
        std::memset(&result, 0xA5, sizeof result); // as a caller's uninitialised variable
        palvex_variant* argv = nargs > 0 && in.byte() % 16 != 0 ? args.data() : nullptr;
        if (nargs < 0) argv = nullptr;
        const int status =
            member || name.empty()
                ? palvex_invoke_id(handle, id, kind, argv, nargs, wantResult ? &result : nullptr)
                : palvex_invoke(handle, name.c_str(), kind, argv, nargs,
                                wantResult ? &result : nullptr);

        if (status != PALVEX_OK && palvex_status_text(status)[0] == '\0')
            fail("a status without a text", status);
        if (wantResult) {
            if (status != PALVEX_OK && result.type != PALVEX_EMPTY)
                fail("a refused call left a result", status);
            checkValue(result, "the result");
            palvex_variant_clear(&result);
        }
        for (palvex_variant& a : args) {
            if (a.flags & PALVEX_WRITTEN) checkValue(a, "a written-back argument");
            palvex_variant_clear(&a);
        }
        // A report that was ended or closed makes room for a new one now and then.
        if (++session->calls % 512 == 0) startReport();
    }
    return 0;
}
