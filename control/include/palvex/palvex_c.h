/* The control for programs written in C, or in any language that calls C: every member by name
   or dispatch identifier, with values in a small tagged union.

   Rules that hold for every function here:
   - The return value is a status: 0 for success, otherwise the same error number the C++ API
     reports (palvex_status_text gives its text). Nothing here throws or aborts.
   - A NULL handle or a NULL pointer where one is required is status 5 (invalid procedure call).
     So is a handle already destroyed: handles are checked, never followed blindly, and a line on
     standard error names the function called through it.
   - Every call is made on the thread that created the application (see palvex_app_ensure);
     from any other thread a call does nothing and returns 5. Exceptions: palvex_destroy (the
     control is then deleted on the application's thread) and the functions that touch no
     control (palvex_version, palvex_status_text, palvex_variant_clear and the description of
     members and enumerations), which work on any thread.
   - Strings are UTF-8. Strings the caller passes in are borrowed: the library reads them during
     the call and neither keeps, changes nor frees them. Strings the library hands back (results
     and written-back arguments) are its own allocations, marked PALVEX_OWNED, and are released
     with palvex_variant_clear and nothing else. */
#ifndef PALVEX_PALVEX_C_H
#define PALVEX_PALVEX_C_H

#include <stddef.h>
#include <stdint.h>

#include "Export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The interface these declarations describe. A minor version only adds functions and
   constants; a major version may change what exists. palvex_version() is the interface the
   loaded library provides, encoded as PALVEX_C_VERSION is. */
#define PALVEX_C_VERSION_MAJOR 1
#define PALVEX_C_VERSION_MINOR 4
#define PALVEX_C_VERSION ((PALVEX_C_VERSION_MAJOR << 16) | PALVEX_C_VERSION_MINOR)

PALVEX_EXPORT uint32_t palvex_version(void);

/* Status numbers a C caller most often tests; any other is described by palvex_status_text. */
enum {
    PALVEX_OK = 0,
    PALVEX_INVALID_CALL = 5,
    PALVEX_OVERFLOW = 6,
    PALVEX_OUT_OF_MEMORY = 7,
    PALVEX_TYPE_MISMATCH = 13,
    PALVEX_NO_SUCH_MEMBER = 438,
    PALVEX_ARGUMENT_NOT_OPTIONAL = 449
};

/* The fixed English text of a status number; "" for a number the control never reports.
   Never NULL; the text is static and must not be freed. */
PALVEX_EXPORT const char* palvex_status_text(int status);

/* ---- Values ------------------------------------------------------------------------------- */

typedef enum palvex_type {
    PALVEX_EMPTY = 0,   /* no value: as an argument, the declared type's zero, False or "" */
    PALVEX_MISSING = 1, /* an omitted optional argument */
    PALVEX_BOOL = 2,    /* v.b: nonzero is true; the library writes 1 or 0 */
    PALVEX_I16 = 3,     /* v.i16: the automation Integer */
    PALVEX_I32 = 4,     /* v.i32: Long and the enumerations */
    PALVEX_SINGLE = 5,  /* v.f32 */
    PALVEX_DOUBLE = 6,  /* v.f64 */
    PALVEX_STRING = 7   /* v.str: UTF-8, NUL-terminated; NULL counts as "" */
} palvex_type;

/* Set in palvex_variant.flags on a value whose string the library allocated. */
#define PALVEX_OWNED 1u
/* Set in palvex_variant.flags on an argument the library wrote back (the member changed it, or
   it came in another type than declared); an argument without it is as the caller passed it. */
#define PALVEX_WRITTEN 2u

typedef struct palvex_variant {
    int type; /* a palvex_type */
    unsigned flags;
    union {
        int b;
        int16_t i16;
        int32_t i32;
        float f32;
        double f64;
        char* str;
    } v;
} palvex_variant;

/* Releases what the library allocated for the value (nothing for a borrowed string) and leaves
   it PALVEX_EMPTY. Safe on any initialised value and on NULL. */
PALVEX_EXPORT void palvex_variant_clear(palvex_variant* value);

static inline palvex_variant palvex_empty(void) {
    palvex_variant value;
    value.type = PALVEX_EMPTY;
    value.flags = 0;
    value.v.f64 = 0;
    return value;
}
static inline palvex_variant palvex_missing(void) {
    palvex_variant value = palvex_empty();
    value.type = PALVEX_MISSING;
    return value;
}
static inline palvex_variant palvex_bool(int b) {
    palvex_variant value = palvex_empty();
    value.type = PALVEX_BOOL;
    value.v.b = b != 0;
    return value;
}
static inline palvex_variant palvex_i16(int16_t i16) {
    palvex_variant value = palvex_empty();
    value.type = PALVEX_I16;
    value.v.i16 = i16;
    return value;
}
static inline palvex_variant palvex_i32(int32_t i32) {
    palvex_variant value = palvex_empty();
    value.type = PALVEX_I32;
    value.v.i32 = i32;
    return value;
}
static inline palvex_variant palvex_single(float f32) {
    palvex_variant value = palvex_empty();
    value.type = PALVEX_SINGLE;
    value.v.f32 = f32;
    return value;
}
static inline palvex_variant palvex_double(double f64) {
    palvex_variant value = palvex_empty();
    value.type = PALVEX_DOUBLE;
    value.v.f64 = f64;
    return value;
}
/* Borrows `utf8`: it must stay valid until the call that takes the value returns. */
static inline palvex_variant palvex_string(const char* utf8) {
    palvex_variant value = palvex_empty();
    value.type = PALVEX_STRING;
    value.v.str = (char*)utf8;
    return value;
}

/* ---- The application ------------------------------------------------------------------------ */

/* Creates the Qt application when the process has none, from argc/argv (copied; argc 0 or a
   NULL argv gives the program the name "palvex"). The application lives until the process
   ends. Where no display can be opened it runs on the offscreen platform instead of ending the
   process (see palvex_app_without_display). A process that already runs a widget application
   keeps it, whatever its platform; one that runs an application without widgets is status 5,
   as controls cannot be made there. */
PALVEX_EXPORT int palvex_app_ensure(int argc, char** argv);

/* Runs the event loop while any control's preview is on screen, and returns when the last one
   closes (its Close button, the window's own close, or palvex_destroy). Returns at once, with
   0, when none is shown, so a program that only exports never waits here; also at once where
   nothing shown can be seen (the offscreen platform), with 5 when the application runs
   without a display (palvex_app_without_display), since the preview cannot be shown. */
PALVEX_EXPORT int palvex_app_exec(void);

/* As palvex_app_exec, for at most `milliseconds` (negative: no limit). *showing, when not NULL,
   is set to 1 when a control's preview is still on screen afterwards, else 0. A host that must
   act now and then while a preview is shown (Python, for Ctrl+C) calls it in a loop. */
PALVEX_EXPORT int palvex_app_exec_for(int milliseconds, int* showing);

/* 1 when the application runs without a display: palvex_app_ensure made it where none could be
   opened (no DISPLAY or WAYLAND_DISPLAY, or the display refused), on the offscreen platform, and
   said so once on standard error. Recording, exporting, printing and saving work there; showing
   a preview does not. 0 otherwise, also for an application the host made itself. */
PALVEX_EXPORT int palvex_app_without_display(void);

/* ---- Controls ----------------------------------------------------------------------------- */

typedef struct palvex_control palvex_control;

/* A new control, on the desktop's screen, printers and message boxes, in *out (NULL on
   failure). Needs the application: without one it is status 5. The control is a window of its
   own: StartPalvexPrintPreview shows it, and its preview's Close hides it. */
PALVEX_EXPORT int palvex_create(palvex_control** out);

/* Destroys the control and closes its window. NULL does nothing; a handle destroyed already is
   status 5. Called on another thread (a
   garbage collector's), it returns 0 and the control is destroyed on the application's thread
   when that thread's event loop next runs. */
PALVEX_EXPORT int palvex_destroy(palvex_control* control);

/* The control's QWidget, in *widget, for a host that builds its windows with Qt itself (in C++,
   or through a binding such as PyQt6 that loads the same Qt libraries). The host may put it into
   a layout or a tab and set Embedded; the control remains the handle's. If the host's window
   destroys it, later calls on the handle return 5; palvex_destroy still releases the handle. */
PALVEX_EXPORT int palvex_widget(palvex_control* control, void** widget);

/* ---- Events ----------------------------------------------------------------------------- */

/* What a control tells its host as it happens. */
enum {
    PALVEX_EVENT_PAGE_SHOWN = 1, /* number: the page the preview shows, as numbered on it */
    PALVEX_EVENT_PRINTED = 2,    /* number: the pages of a job that went to the printer */
    PALVEX_EVENT_CLOSED = 3,     /* the preview's Close was chosen */
    PALVEX_EVENT_MESSAGE = 4,    /* number: the box's style flags; text: the message (while
                                    MessagesToHost is set, instead of the box) */
    PALVEX_EVENT_PROPERTY = 5    /* text: the name of a saved property that changed */
};

/* `text` is UTF-8 ("" when the event has none) and valid only during the call. */
typedef void (*palvex_event_handler)(void* context, int event, int32_t number, const char* text);

/* Calls `handler(context, ...)` for each event of the control, on the application's thread:
   inside palvex_app_exec or the host's own event loop, or inside the call that caused it. One
   handler a control; another replaces it, NULL removes it. The handler may call the control,
   and may destroy it: the control is then hidden at once and deleted when the event loop next
   runs, after the code that sent the event has returned. */
PALVEX_EXPORT int palvex_set_event_handler(palvex_control* control, palvex_event_handler handler,
                                           void* context);

/* ---- Calling members ---------------------------------------------------------------------- */

/* How a member is called; a property is read with PALVEX_PROPERTY_GET (or PALVEX_METHOD) and
   set with PALVEX_PROPERTY_PUT. Font is the exception: it has no C value, so reading it is
   status 13; it is set with PALVEX_PROPERTY_PUTREF from a Qt font description string
   ("David CLM,12,-1,5,700,0,0,0,0,0"), and anything else is 13. */
enum {
    PALVEX_METHOD = 1,
    PALVEX_PROPERTY_GET = 2,
    PALVEX_PROPERTY_PUT = 4,
    PALVEX_PROPERTY_PUTREF = 8
};

/* The dispatch identifier of a member, by its name in any case, in *id; an unknown name is
   status 438 and *id is -1. Identifiers are the same for every control and every run. */
PALVEX_EXPORT int palvex_id_of_name(palvex_control* control, const char* name, int32_t* id);

/* Calls a member, by name or by dispatch identifier, with `nargs` arguments in declared order.
   A by-reference argument whose value the member changed comes back in `args`, in the member's
   declared type, marked PALVEX_WRITTEN. A function's or property's value goes to `result`,
   which may be NULL and is overwritten without being freed: PALVEX_EMPTY first, whatever the
   status, then the value on success. Without the application (a host's that is already gone)
   a call is 5. After the call, whatever its status, release every argument and the result
   with palvex_variant_clear; borrowed strings are left alone by it. */
PALVEX_EXPORT int palvex_invoke(palvex_control* control, const char* name, int kind,
                                palvex_variant* args, int nargs, palvex_variant* result);
PALVEX_EXPORT int palvex_invoke_id(palvex_control* control, int32_t id, int kind,
                                   palvex_variant* args, int nargs, palvex_variant* result);

/* Runs many calls with one crossing into the library: a host that records a report in hundreds
   of thousands of calls (where each crossing costs more than the control's own work) packs them
   into a buffer and sends a buffer at a time. The calls run in order, each exactly as
   palvex_invoke_id runs it with a NULL result: checked, refused and explained the same way,
   raising its events as usual (an event handler may call the control meanwhile, and its calls
   run at once, between the buffer's; a handler that destroys the control has the next call of
   the buffer refused with 5). What a call returns or writes back is dropped, so a buffer
   is for calls without a value: methods that return nothing, and properties set.

   `buffer` holds `size` bytes of calls, one after the other with nothing between them or their
   fields, every number little-endian:
     int32 dispatch identifier, uint8 kind (PALVEX_METHOD ...), uint8 argument count,
     then each argument: uint8 palvex_type, then its value:
       EMPTY, MISSING nothing; BOOL uint8 (nonzero is true); I16 int16; I32 int32;
       SINGLE IEEE float32; DOUBLE IEEE float64;
       STRING uint32 byte count, then that many bytes of UTF-8, without a NUL (and none after).
   The whole buffer is read before any call runs: one that ends inside a call, names a type
   that is none of these or holds a NUL inside a text is status 5 with nothing run, and
   palvex_last_error_detail names the call and byte at fault ("palvex_invoke_batch: call 2
   ends past the buffer's 40 bytes: a text at byte 36 needs 9"); nothing past `size` is read.
   A call refused stops the run: its status is returned, the calls after it do not run, and
   palvex_last_error_detail says why, as for that call alone. *done, when not NULL, is the
   number of calls that ran: all of them on success, else the index of the refused call (0 for
   a buffer refused whole). A NULL buffer of 0 bytes runs nothing and is 0. Since interface
   1.4. */
PALVEX_EXPORT int palvex_invoke_batch(palvex_control* control, const void* buffer, size_t size,
                                      size_t* done);

/* Why the last call through this handle that failed was refused, naming the member and the
   reason, in UTF-8: "TableRow: the row has 4 cells, the table 3 columns", "printText: argument
   TXT is not valid UTF-8". A call that succeeds leaves it as it is (read it right after a call
   that returned another status than 0); "" before any failure. The text is the handle's: valid
   until the next call through it. A handle that is not live gets a text that says so. Since
   interface 1.2. */
PALVEX_EXPORT const char* palvex_last_error_detail(palvex_control* control);

/* ---- What the library offers ------------------------------------------------------------ */

/* Every member and enumeration, for bindings that build their calls when they load (the Python
   package does). The same for every control and every run. Indexes run from 0 to the count
   less one; another index is status 5. Names are NUL-terminated, static and never freed. */

/* Added to a member's kinds for a member the listing hides (kept for older hosts). */
#define PALVEX_MEMBER_HIDDEN 0x100
/* The type of a value C has no type for (the Font property). */
#define PALVEX_NO_C_TYPE (-1)
/* Flags of a parameter. */
#define PALVEX_PARAM_BYREF 1u
#define PALVEX_PARAM_OPTIONAL 2u
/* By reference, and the member may store a value of its own there (printLine raises a draw
   width below 1 to 1); a by-reference argument without it comes back only converted to the
   declared type. Since interface 1.3. */
#define PALVEX_PARAM_SET_BY_MEMBER 4u

PALVEX_EXPORT int palvex_member_count(void);

/* Member `index`: its name, dispatch identifier, kinds (PALVEX_METHOD, or PALVEX_PROPERTY_GET
   with PALVEX_PROPERTY_PUT or PALVEX_PROPERTY_PUTREF; maybe PALVEX_MEMBER_HIDDEN), the
   palvex_type of its value (PALVEX_EMPTY for a method without one, PALVEX_NO_C_TYPE for a
   font), the enumeration its value belongs to ("" for none) and how many parameters it
   declares. Any output pointer may be NULL. */
PALVEX_EXPORT int palvex_member_info(int index, const char** name, int32_t* id, int* kinds,
                                     int* value_type, const char** value_enum, int* nparams);

/* Parameter `param` of member `index`: its name, palvex_type, flags and enumeration ("" for
   none). Any output pointer may be NULL. */
PALVEX_EXPORT int palvex_param_info(int index, int param, const char** name, int* type,
                                    unsigned* flags, const char** enum_name);

PALVEX_EXPORT int palvex_enum_count(void);

/* Enumeration `index`: its name and how many values it has. */
PALVEX_EXPORT int palvex_enum_info(int index, const char** name, int* nvalues);

/* Value `value` of enumeration `index`: its name and number. */
PALVEX_EXPORT int palvex_enum_value(int index, int value, const char** name, int32_t* number);

/* Every status the control reports, in increasing number, for bindings that name them. Since
   interface 1.3. */
PALVEX_EXPORT int palvex_status_count(void);

/* Status `index`: its number and its name as the C++ enumeration palvex::Status spells it
   ("InvalidProcedureCall"); palvex_status_text gives its text. */
PALVEX_EXPORT int palvex_status_info(int index, int32_t* number, const char** name);

#ifdef __cplusplus
}
#endif

#endif /* PALVEX_PALVEX_C_H */
