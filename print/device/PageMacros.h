#pragma once

// Fills the page number, date and time into the header and footer texts of every printed page.

#include <QString>

/**
 * Expands the header and footer macros of a band text: the first "@Pages" becomes the page count text, the
 * first "@Page" (that is not "@Pages") the page number, then the first "@Date" the date text and the first
 * "@Time" the time text. Matching ignores letter case; the rest of the text keeps its case, and later
 * occurrences stay as written.
 */
QString ExpandPageMacros(const QString& text, int pageNumber, const QString& pageCountText,
                         const QString& dateText, const QString& timeText);

class QLocale;

/** The locale's long time format without the time zone Qt appends to it: hours, minutes, seconds (and AM/PM).
 */
QString LongTimeFormat(const QLocale& locale);

/**
 * ExpandPageMacros with today's date in the system's short format and the time in its long format. The page
 * count is not known while a page is recorded: "@Pages" becomes PageCountMark, filled in where the page
 * plays.
 */
QString ExpandPageMacrosNow(const QString& text, int pageNumber);
