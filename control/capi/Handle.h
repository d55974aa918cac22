#pragma once

// What a C caller's handle stands for: one control and its late-bound entry.

#include <palvex/Dispatch.h>
#include <palvex/Palvex.h>
#include <palvex/palvex_c.h>

#include <memory>

struct palvex_control {
    std::unique_ptr<palvex::Palvex> control = std::make_unique<palvex::Palvex>();
    palvex::Dispatch dispatch{*control};
};
