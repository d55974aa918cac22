/* The small report of docs/guide.md through the C interface: small_report OUT.pdf
   The report store and definitions file go to the current folder. */
#include <palvex/palvex_c.h>

#include <stdio.h>
#include <stdlib.h>

/* The enumeration values this report uses, as the member listing gives them. */
enum { A1_StayWhereYouAre = 1, A2_JumpToNextLine = 2, A2_AlignCenter = 2 };

static palvex_control* r;

/* Every function returns a status; the first one that is not 0 ends the report, with the
   control's own words for why ("printLastPage: the report ..."). */
static void check(int status, const char* call) {
    if (status == PALVEX_OK) return;
    fprintf(stderr, "%s: %d %s\n", call, status,
            r ? palvex_last_error_detail(r) : palvex_status_text(status));
    exit(1);
}

static void put(const char* property, palvex_variant value) {
    check(palvex_invoke(r, property, PALVEX_PROPERTY_PUT, &value, 1, NULL), property);
}

static void call(const char* method, palvex_variant* args, int nargs) {
    int i, status = palvex_invoke(r, method, PALVEX_METHOD, args, nargs, NULL);
    for (i = 0; i < nargs; ++i)
        palvex_variant_clear(&args[i]); /* frees what the call wrote back, if anything */
    check(status, method);
}

static void text(const char* method, const char* utf8, int32_t after) {
    palvex_variant args[2];
    args[0] = palvex_string(utf8);
    args[1] = palvex_i32(after);
    call(method, args, 2);
}

static void line(float x1, float y1, float x2, float y2, int32_t color, int32_t mode, int32_t style,
                 int16_t width, int32_t align) {
    palvex_variant args[9];
    args[0] = palvex_single(x1);
    args[1] = palvex_single(y1);
    args[2] = palvex_single(x2);
    args[3] = palvex_single(y2);
    args[4] = palvex_i32(color);
    args[5] = palvex_i32(mode);
    args[6] = palvex_i32(style);
    args[7] = palvex_i16(width);
    args[8] = palvex_i32(align);
    call("printLine", args, 9);
}

int main(int argc, char** argv) {
    palvex_variant pdf;
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUT.pdf\n", argv[0]);
        return 2;
    }
    check(palvex_app_ensure(argc, argv), "palvex_app_ensure");
    check(palvex_create(&r), "palvex_create");

    /* A warning goes to LastMessage instead of a box that waits for a person. */
    put("MessagesToHost", palvex_bool(1));
    call("StartPalvexPrintPreview", NULL, 0);
    put("FontName", palvex_string("David CLM"));
    put("FontSize", palvex_single(16));
    put("FontBold", palvex_bool(1));
    text("centerIT", "דוח קטן", A2_JumpToNextLine);
    put("FontSize", palvex_single(12));
    put("FontBold", palvex_bool(0));
    text("RightIT", "שלום, זו השורה הראשונה של הדוח.", A2_JumpToNextLine);
    text("RightIT", "בשורה הזאת מילה אחת באנגלית: Palvex", A2_JumpToNextLine);
    line(0, 2000, 6000, 2000, 0, 13, 0, 1, A2_AlignCenter);
    put("CurrentY", palvex_single(2100));
    text("RightIT", "הכנסות: 1,234.50", A1_StayWhereYouAre);
    text("LeftIT", "הוצאות: 987.65", A2_JumpToNextLine);
    call("printLastPage", NULL, 0);
    pdf = palvex_string(argv[1]);
    call("ExportPdf", &pdf, 1);

    check(palvex_destroy(r), "palvex_destroy");
    return 0;
}
