#include "ControlForPrograms.h"

#include <palvex/Palvex.h>

#include <utility>

namespace palvex {

Palvex* newControl(Platform platform, const Ambient& ambient, QWidget* parent) {
    return new Palvex(std::move(platform), ambient, parent);
}

void loadFormProperties(Palvex& control, PropertyBag& bag) {
    control.loadProperties(bag);
}

void saveFormProperties(Palvex& control, PropertyBag& bag) {
    control.saveProperties(bag);
}

} // namespace palvex
