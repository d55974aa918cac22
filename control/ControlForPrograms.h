#pragma once

#include "core/InternalExport.h"
#include "platform/Platform.h"

class QWidget;

namespace palvex {

class Palvex;
class PropertyBag;

// What the library's own programs need of a control beyond the public surface: a control on a
// platform of their choosing (scripted boxes and dialogs, a fixed screen, their own printers),
// and the host form's properties loaded into it and saved from it.

// A new control, owned by `parent` as any child widget is (by the caller when there is none).
PALVEX_INTERNAL_EXPORT Palvex* newControl(Platform platform, const Ambient& ambient,
                                          QWidget* parent);
PALVEX_INTERNAL_EXPORT void loadFormProperties(Palvex& control, PropertyBag& bag);
PALVEX_INTERNAL_EXPORT void saveFormProperties(Palvex& control, PropertyBag& bag);

} // namespace palvex
