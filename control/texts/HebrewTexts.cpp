// UTF-8 source: the texts are Hebrew as they stand.

#include "WindowTextSet.h"

namespace palvex {

namespace {

QString he(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// "300 נק׳ לאינץ׳" and so on: the resolutions the quality entries from 4 on stand for.
QString dotsPerInch(int dpi) {
    return QString::number(dpi) + he(" נק׳ לאינץ׳");
}

WindowTextSet make() {
    WindowTextSet t;
    t.buttons = {{he("סגור"), he("הדפס"), he("ראשון"), he("קודם"), he("הבא"), he("אחרון"),
                  he("חיפוש"), he("המשך חיפוש")}};
    // Without the key's name, as the other Hebrew captions are.
    t.toolTips = {he("סגירת התצוגה המקדימה"), he("הגדלה"), he("הקטנה"),
                  he("הצגה או הסתרה של העמודים")};
    t.thumbnailsButton = he("עמודים");
    t.moreOptions = {he("אפשרויות נוספות"), he("הגדרת שוליים"),     he("אפשרויות הגדלה"),
                     he("מרכוז עמוד זה"),   he("מרכוז כל העמודים"), he("שינוי צבע רקע")};
    t.margins = {he("הגדרת שוליים"), he("שמאל (ס״מ)"), he("ימין (ס״מ)"), he("עליון (ס״מ)"),
                 he("תחתון (ס״מ)")};
    t.zoomOptions = {he("אפשרויות הגדלה"), he("הגדלה יחסית של:"), he("המיקום האופקי"),
                     he("גובה השטח"),      he("רוחב השטח"),       he("לרוחב"),
                     he("עמוד שלם")};
    t.defaultMargins = he("קבע כברירת מחדל");
    t.ok = he("אישור");
    t.cancel = he("ביטול");

    t.printerFrame = he("הגדרות מדפסת");
    t.printerName = he("מדפסת");
    t.copies = he("עותקים");
    t.quality = he("איכות");
    t.printZoom = he("הגדלה בהדפסה");
    t.fromPage = he("מעמוד");
    t.toPage = he("עד עמוד");
    t.printSetup = he("הגדרות הדפסה");
    t.exportFile = he("ייצוא...");
    t.exportFailed = he("הקובץ לא נשמר:");
    t.qualityEntries = {he("טיוטה"), he("נמוכה"), he("בינונית"), he("גבוהה")};
    for (size_t i = 4; i < t.qualityEntries.size(); ++i)
        t.qualityEntries[i] = dotsPerInch(int(i - 3) * 300);
    t.printZoomEntries = {he("ללא הגדלה"), he("כהגדלת התצוגה")};

    t.searchFrame = he("חיפוש טקסט");
    t.searchPrompt = he("הקלד את הטקסט לחיפוש (אותיות גדולות וקטנות נבדלות)");
    t.searchButton = he("חפש");

    t.pageCaption = he("עמוד ");
    t.formattingCaption = he("מכין עמוד ");
    t.centringWait = he("נא להמתין, כל העמודים ממורכזים");
    t.cancelPrinting = he("בטל הדפסה");
    t.messages = {{he("נא לרשום מספר עותקים, 1 ומעלה"), he("האם מספר העותקים נכון?"),
                   he("לא נמצאו מופעים נוספים"),
                   he("בעיה במדפסת!\nנא לבדוק שמדפסת מחוברת למחשב\nושהיא מוכנה להדפסה")}};

    t.accessible.buttons = {{he("סגירת התצוגה המקדימה"), he("פתיחת הגדרות המדפסת"),
                             he("מעבר לעמוד הראשון"), he("מעבר לעמוד הקודם"), he("מעבר לעמוד הבא"),
                             he("מעבר לעמוד האחרון"), he("פתיחת חיפוש טקסט"),
                             he("מעבר למופע הבא של הטקסט")}};
    t.accessible.thumbnailsButton = he("הצגה או הסתרה של עמודת העמודים");
    t.accessible.thumbnails = he("עמודים");
    t.accessible.pageList = he("עמוד");
    t.accessible.zoomList = he("רמת הגדלה");
    t.accessible.page = he("עמוד %1 מתוך %2");
    t.accessible.pageText = he("טקסט העמוד בסדר הקריאה");
    return t;
}

} // namespace

const WindowTextSet& hebrewTexts() {
    static const WindowTextSet texts = make();
    return texts;
}

} // namespace palvex
