#pragma once

// Page selections as the print options dialog and the print dialog take them ("1,3-4"), read by every layer
// that chooses pages: the page device, the preview and the command lines.

#include <QString>

/** What NextRangeEntry found in the entry it took off the selection. */
enum TRangeEntryResult { reNothingLeft = 0, reInEntry = 1, reNotInEntry = 2 };

/**
 * Takes the next entry (up to the first ",") off the remaining selection and tells whether the page lies in
 * it. An entry is a page number or two joined by "-", each converted with the framework's lax conversion
 * (leading blanks, one sign, "$" hexadecimal); only the first 255 characters of an entry and the first 20
 * after its "-" count. Fails with EConvertError "'<text>' is not a valid integer value" for a number that is
 * none (a trailing blank, an empty bound, a value beyond 32 bits).
 */
TRangeEntryResult NextRangeEntry(int page, QString& remaining);

/** Whether the page is selected by the selection text, entry by entry; fails like NextRangeEntry. */
bool PageInRange(int page, const QString& selection);
