#pragma once

// The calls of a palvex_invoke_batch buffer, read field by field (the layout is described with
// the function in palvex_c.h).

#include <palvex/palvex_c.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace palvex::capi {

class CallBuffer {
public:
    struct Call {
        int32_t id = 0;
        int kind = 0;
        // Strings point into the buffer's own copies, valid until the next call is read.
        std::vector<palvex_variant> args;
    };

    // Borrows `size` bytes at `data`; nothing is read yet.
    CallBuffer(const void* data, size_t size);

    // Reads the whole buffer, keeping nothing, and returns how many calls it holds. A buffer
    // that ends inside a call, holds a type it does not know or a NUL inside a text is refused
    // (palvex::refuse, status 5) with the call and the byte at fault; nothing is ever read past
    // its end. Only a buffer this accepted is given to next().
    size_t check();

    // The next call, read from where the last one ended. The caller may clear its arguments
    // (palvex_variant_clear) once it has run.
    Call& next();

private:
    // Reads one call at m_position into `into`, or only steps over it when `into` is null.
    void read(Call* into);
    const unsigned char* take(size_t bytes, const char* what);

    const unsigned char* m_data;
    size_t m_size;
    size_t m_position = 0;
    size_t m_index = 0; // the call being read, for the words of a refusal
    Call m_call;
    // One text for each argument, kept between calls so that their storage is reused.
    std::vector<std::string> m_texts;
};

} // namespace palvex::capi
