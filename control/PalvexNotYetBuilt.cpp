#include "Palvex.h"

// Members whose behaviour is not built yet answer "not supported yet".

namespace palvex {

Status Palvex::SavePrint(QString&, bool&) {
    return Status::NotSupportedYet;
}
Status Palvex::ReadPrint(QString&) {
    return Status::NotSupportedYet;
}

} // namespace palvex
