#pragma once

#include <QFont>

namespace palvex {

struct KeptProperties;
class PropertyBag;

// The control's properties as the host's form saves and loads them: keys, order and defaults.
// `ambientFont` is the default of the font keys.
void saveProperties(const KeptProperties& props, PropertyBag& bag, const QFont& ambientFont);
// Reads every key into `props` without applying anything; BackColor is applied by the caller.
void loadProperties(KeptProperties& props, PropertyBag& bag, const QFont& ambientFont);

} // namespace palvex
