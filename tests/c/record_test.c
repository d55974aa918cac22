/* A C program driving the control through the C interface alone: it records a Hebrew line and
   a rule, exports the report as PDF and checks what came back, as a C host would. */
#define _POSIX_C_SOURCE 200809L

#include <palvex/palvex_c.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

static int failures = 0;

static void fail(const char* what, int status) {
    fprintf(stderr, "FAILED: %s (status %d: %s)\n", what, status, palvex_status_text(status));
    ++failures;
}

static int expect_ok(const char* what, int status) {
    if (status != PALVEX_OK) fail(what, status);
    return status == PALVEX_OK;
}

static int call(palvex_control* control, const char* name, palvex_variant* args, int nargs) {
    return palvex_invoke(control, name, PALVEX_METHOD, args, nargs, NULL);
}

static int put(palvex_control* control, const char* name, palvex_variant value) {
    int status = palvex_invoke(control, name, PALVEX_PROPERTY_PUT, &value, 1, NULL);
    palvex_variant_clear(&value);
    return status;
}

/* printLine raises a draw width below 1 to 1 and hands it back through its reference. */
static void draw_width_comes_back(palvex_control* control) {
    palvex_variant line[9];
    int i, status;
    line[0] = palvex_single(0);
    line[1] = palvex_single(600);
    line[2] = palvex_single(4000);
    line[3] = palvex_single(600);
    line[4] = palvex_i32(0);
    line[5] = palvex_i32(13);
    line[6] = palvex_i32(0);
    line[7] = palvex_i16(0);
    line[8] = palvex_i32(0);
    status = call(control, "printLine", line, 9);
    if (expect_ok("printLine", status) && (line[7].type != PALVEX_I16 || line[7].v.i16 != 1)) {
        fprintf(stderr, "FAILED: the draw width came back as type %d value %d, not 1\n",
                line[7].type, line[7].v.i16);
        ++failures;
    }
    for (i = 0; i < 9; ++i)
        palvex_variant_clear(&line[i]);
}

static void pdf_is_written(palvex_control* control, const char* path) {
    palvex_variant args[3];
    char head[5] = {0};
    FILE* file;
    args[0] = palvex_string(path);
    args[1] = palvex_missing();
    args[2] = palvex_missing();
    if (!expect_ok("ExportPdf", call(control, "ExportPdf", args, 3))) return;
    file = fopen(path, "rb");
    if (!file || fread(head, 1, 4, file) != 4 || strcmp(head, "%PDF") != 0) {
        fprintf(stderr, "FAILED: %s is not a PDF file\n", path);
        ++failures;
    }
    if (file) fclose(file);
}

static void unknown_member_is_refused(palvex_control* control) {
    int32_t id = 0;
    int status = call(control, "noSuchMemberHere", NULL, 0);
    if (status != PALVEX_NO_SUCH_MEMBER) fail("an unknown member name was not 438", status);
    if (palvex_id_of_name(control, "noSuchMemberHere", &id) != PALVEX_NO_SUCH_MEMBER || id != -1)
        fail("palvex_id_of_name found an unknown name", 0);
    if (palvex_status_text(PALVEX_NO_SUCH_MEMBER)[0] == '\0')
        fail("status 438 has no text", PALVEX_NO_SUCH_MEMBER);
}

/* Counts the pages the preview showed, as a C host following the preview would. */
static void count_pages_shown(void* context, int event, int32_t number, const char* text) {
    (void)number;
    (void)text;
    if (event == PALVEX_EVENT_PAGE_SHOWN) ++*(int*)context;
}

int main(int argc, char** argv) {
    /* The report's files go under the folder given, or /tmp, in a new folder of their own. */
    char folder[4096];
    char pdf[sizeof folder + 16];
    palvex_control* control = NULL;
    palvex_variant text[2];
    int pages_shown = 0;

    if (palvex_version() >> 16 != PALVEX_C_VERSION_MAJOR) fail("another interface version", 0);
    if (!expect_ok("palvex_app_ensure", palvex_app_ensure(argc, argv))) return 1;
    if (argc > 1) mkdir(argv[1], 0777); /* an existing folder is fine */
    snprintf(folder, sizeof folder, "%s/palvex-c-XXXXXX", argc > 1 ? argv[1] : "/tmp");
    if (!mkdtemp(folder)) {
        perror("mkdtemp");
        return 1;
    }
    snprintf(pdf, sizeof pdf, "%s/report.pdf", folder);
    if (!expect_ok("palvex_create", palvex_create(&control))) return 1;
    /* Nothing is on screen yet, so there is nothing to wait for. */
    expect_ok("palvex_app_exec", palvex_app_exec());

    expect_ok("WorkingFolder", put(control, "WorkingFolder", palvex_string(folder)));
    expect_ok("palvex_set_event_handler",
              palvex_set_event_handler(control, count_pages_shown, &pages_shown));
    expect_ok("StartPalvexPrintPreview", call(control, "StartPalvexPrintPreview", NULL, 0));
    expect_ok("FontName", put(control, "FontName", palvex_string("David CLM")));
    text[0] = palvex_string("שלום");
    text[1] = palvex_i32(2);
    expect_ok("printText", call(control, "printText", text, 2));
    palvex_variant_clear(&text[0]);
    palvex_variant_clear(&text[1]);
    draw_width_comes_back(control);
    expect_ok("printLastPage", call(control, "printLastPage", NULL, 0));
    if (pages_shown != 1) {
        fprintf(stderr, "FAILED: the handler saw %d pages shown, not 1\n", pages_shown);
        ++failures;
    }
    pdf_is_written(control, pdf);
    unknown_member_is_refused(control);

    expect_ok("palvex_destroy", palvex_destroy(control));

    if (failures) {
        fprintf(stderr, "%d check(s) failed; the files are in %s\n", failures, folder);
        return 1;
    }
    printf("ok: %s\n", pdf);
    return 0;
}
