#pragma once

// The one way a C caller's call reaches a member: palvex_invoke, palvex_invoke_id and each call
// of palvex_invoke_batch take it.

#include "capi/Handle.h"
#include <palvex/Status.h>
#include <palvex/palvex_c.h>

namespace palvex::capi {

// Calls member `id` of the control behind `handle` (null: 5) on the application's thread, as
// palvex_invoke_id describes; a refusal's words go to the handle. May throw (out of memory);
// the caller's C entry point turns that into a status.
Status invokeMember(ControlHandle* handle, DispId id, int kind, palvex_variant* args, int nargs,
                    palvex_variant* result);

} // namespace palvex::capi
