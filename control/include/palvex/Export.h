#pragma once

// The library is built with hidden symbols; what a host may use is marked for export, and
// members that only the library's own tests and tools reach are marked hidden.
#define PALVEX_EXPORT __attribute__((visibility("default")))
#define PALVEX_INTERNAL __attribute__((visibility("hidden")))
