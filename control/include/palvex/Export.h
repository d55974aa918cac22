#pragma once

// The library is built with hidden symbols; what a host may use is marked for export, and what
// the library's own programs and tests share stays hidden from the installed package.
#define PALVEX_EXPORT __attribute__((visibility("default")))
#define PALVEX_INTERNAL __attribute__((visibility("hidden")))
