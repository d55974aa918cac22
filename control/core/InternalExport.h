#pragma once

// The library's own programs (palvex-run, PalvexDemo) link the shared library as hosts do, and
// use a few of its parts besides: those are marked with this and exported under a version node
// of their own, PALVEX_INTERNAL (palvex.map), apart from what hosts use. Only headers that are
// never installed carry the mark, and the programs must come from the same build as the library.
#define PALVEX_INTERNAL_EXPORT __attribute__((visibility("default")))
