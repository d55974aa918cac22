/* A report job as a server runs it: no display anywhere (the test runs it with DISPLAY,
   WAYLAND_DISPLAY and QT_QPA_PLATFORM removed). The application comes up offscreen instead of
   ending the process; recording, exporting, printing and saving work; showing the preview is
   refused at once; a handle destroyed is refused, not followed. */
#define _POSIX_C_SOURCE 200809L

#include <palvex/palvex_c.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

static int failures = 0;

static void expect(const char* what, int status, int wanted) {
    if (status != wanted) {
        fprintf(stderr, "FAILED: %s: status %d (%s), not %d\n", what, status,
                palvex_status_text(status), wanted);
        ++failures;
    }
}

static int call(palvex_control* control, const char* name, palvex_variant* args, int nargs) {
    return palvex_invoke(control, name, PALVEX_METHOD, args, nargs, NULL);
}

static int put(palvex_control* control, const char* name, palvex_variant value) {
    return palvex_invoke(control, name, PALVEX_PROPERTY_PUT, &value, 1, NULL);
}

static long file_size(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 ? (long)st.st_size : -1;
}

int main(int argc, char** argv) {
    char pdf[4096], printout[4096], xlsx[4096], csv[4096];
    palvex_control* control = NULL;
    palvex_variant args[3];
    int showing = -1;

    if (argc < 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    snprintf(pdf, sizeof pdf, "%s/report.pdf", argv[1]);
    snprintf(printout, sizeof printout, "%s/report.prn", argv[1]);
    snprintf(xlsx, sizeof xlsx, "%s/report.xlsx", argv[1]);
    snprintf(csv, sizeof csv, "%s/report.csv", argv[1]);

    expect("palvex_app_ensure", palvex_app_ensure(argc, argv), PALVEX_OK);
    expect("palvex_app_ensure again", palvex_app_ensure(argc, argv), PALVEX_OK);
    if (palvex_app_without_display() != 1) {
        fprintf(stderr, "FAILED: the application does not say it runs without a display\n");
        ++failures;
    }
    expect("palvex_create", palvex_create(&control), PALVEX_OK);
    expect("WorkingFolder", put(control, "WorkingFolder", palvex_string(argv[1])), PALVEX_OK);
    expect("MessagesToHost", put(control, "MessagesToHost", palvex_bool(1)), PALVEX_OK);
    expect("StartPalvexPrintPreview", call(control, "StartPalvexPrintPreview", NULL, 0), PALVEX_OK);
    args[0] = palvex_string(printout);
    args[1] = palvex_bool(1);
    expect("SavePrint", call(control, "SavePrint", args, 2), PALVEX_OK);
    if (args[1].type != PALVEX_BOOL || args[1].v.b != 0) {
        fprintf(stderr, "FAILED: SavePrint cancelled\n");
        ++failures;
    }
    palvex_variant_clear(&args[0]);
    palvex_variant_clear(&args[1]);
    args[0] = palvex_string("report on a server");
    args[1] = palvex_i32(2);
    expect("printText", call(control, "printText", args, 2), PALVEX_OK);
    expect("printLastPage", call(control, "printLastPage", NULL, 0), PALVEX_OK);
    args[0] = palvex_string(pdf);
    expect("ExportPdf", call(control, "ExportPdf", args, 1), PALVEX_OK);
    palvex_variant_clear(&args[0]);
    /* The report's lines for a spreadsheet: nothing of them needs a display either. */
    args[0] = palvex_string(xlsx);
    expect("ExportXlsx", call(control, "ExportXlsx", args, 1), PALVEX_OK);
    palvex_variant_clear(&args[0]);
    args[0] = palvex_string(csv);
    expect("ExportCsv", call(control, "ExportCsv", args, 1), PALVEX_OK);
    palvex_variant_clear(&args[0]);
    /* The built-in PDF device, the current printer here, writes palvex-print.pdf. */
    expect("PrintReport", call(control, "PrintReport", NULL, 0), PALVEX_OK);

    /* The preview waits to be shown, and cannot be: refused at once, never waited for. */
    expect("palvex_app_exec", palvex_app_exec(), PALVEX_INVALID_CALL);
    expect("palvex_app_exec_for", palvex_app_exec_for(60000, &showing), PALVEX_INVALID_CALL);
    if (showing != 0) {
        fprintf(stderr, "FAILED: palvex_app_exec_for says a preview is still showing\n");
        ++failures;
    }

    expect("palvex_destroy", palvex_destroy(control), PALVEX_OK);
    expect("a call through the destroyed handle", call(control, "About", NULL, 0),
           PALVEX_INVALID_CALL);
    expect("palvex_destroy twice", palvex_destroy(control), PALVEX_INVALID_CALL);
    expect("palvex_app_exec with no control", palvex_app_exec(), PALVEX_OK);

    if (file_size(pdf) <= 0) {
        fprintf(stderr, "FAILED: no %s\n", pdf);
        ++failures;
    }
    if (file_size("palvex-print.pdf") <= 0) {
        fprintf(stderr, "FAILED: PrintReport wrote no palvex-print.pdf\n");
        ++failures;
    }
    if (file_size(xlsx) <= 0 ||
        file_size(csv) != (long)strlen("\xEF\xBB\xBFreport on a server\r\n")) {
        fprintf(stderr,
                "FAILED: the workbook or the CSV file is missing or not the report's line\n");
        ++failures;
    }
    if (file_size(printout) <= 0) {
        fprintf(stderr, "FAILED: the printout %s is empty or missing\n", printout);
        ++failures;
    }
    if (failures) return 1;
    printf("ok\n");
    return 0;
}
