// Printout files are outside bytes: any of them read into a report must neither crash nor hang.

#include "FuzzControl.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {
palvex::fuzz::FuzzControl* fuzz = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz = new palvex::fuzz::FuzzControl; // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    fuzz->control().readPrintout(in);
    fuzz->tidy();
    return 0;
}
