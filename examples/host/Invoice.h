#pragma once

#include <palvex/Palvex.h>

#include <QString>

// Records a one-page Hebrew invoice into a control, through the C++ report writer, and ends it so
// that the preview shows it. The first failing call's status is returned.
palvex::Status recordInvoice(palvex::Palvex& control);

// The status as "error N: description", for the window's status bar.
QString describeStatus(palvex::Status status);
