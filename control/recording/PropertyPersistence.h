#pragma once

#include <QFont>

namespace palvex {

struct ReportState;
class PropertyBag;

// The control's properties as the host's form saves and loads them: keys, order and defaults.
// `ambientFont` is the default of the font keys.
void saveProperties(const ReportState& report, PropertyBag& bag, const QFont& ambientFont);
// Reads every key into the kept properties and the page-number line without applying anything;
// BackColor is applied by the caller.
void loadProperties(ReportState& report, PropertyBag& bag, const QFont& ambientFont);

} // namespace palvex
