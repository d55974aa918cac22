#pragma once

#include <QString>
#include <QStringView>

namespace palvex::demo {

// Formats a number with a picture of the kind report writers use: "#" a digit when there is
// one, "0" a digit always, "," groups thousands, "." the decimal point; characters before and
// after the picture are kept ("(#,###)"). Digits only where the picture has places: 0 with
// "####" is empty. A negative value gets "-" in front.
QString formatNumber(double value, QStringView picture);

} // namespace palvex::demo
