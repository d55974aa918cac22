// The definitions file is read at every start: whatever it holds, the decoded settings must be
// ones the control could have written (finite margins in range, zoom flags 0 or 1, an RGB or system
// colour).

#include "core/CodePage.h"
#include "platform/Colors.h"
#include "recording/Definitions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace palvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Definitions d = Definitions::decode(data, qsizetype(size), CodePage::system());
    for (int i = 0; i < 4; ++i)
        if (!std::isfinite(d.DefReals[size_t(i)]) || d.DefReals[size_t(i)] < 0 ||
            d.DefReals[size_t(i)] > 100)
            std::abort();
    for (int i = 0; i < 3; ++i)
        if (d.DefFlags[size_t(i)] != 0 && d.DefFlags[size_t(i)] != 1) std::abort();
    if (!isValidColor(d.DefLongs[0])) std::abort();
    Definitions::Bytes again{};
    d.encode(again, CodePage::system());
    return 0;
}
