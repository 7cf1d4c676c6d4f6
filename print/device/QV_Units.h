#pragma once

// The print library's lengths in inches or centimetres, turned into the selected printer's pixels and back.

/**
 * The print library's unit conversions. Lengths are in inches or centimetres (one library-wide flag, set by
 * each job); the page device draws in printer pixels of the printer currently selected on the program-wide
 * printer object. Rounding is to the nearest integer with ties to the even neighbour.
 */

/** Sets the library-wide units: centimetres when true, inches otherwise. It stays until the next call. */
void SetUnits(bool centimetres);
/** True while lengths are in centimetres. */
bool UnitsAreCentimetres();

/** A length (inches or centimetres) in printer pixels, rounded; 0 for a length below 0 or above 35000. */
int ToDevice(bool vertical, double value);
/** The same as ToDevice without the rounding. */
double ToDeviceF(bool vertical, double value);
/** Printer pixels as a length in the current units; never negative (a negative result gives 0.0). */
double FromDevice(int pixels, bool vertical);

/** Screen pixels to printer pixels, horizontally or vertically; the sign of the value is dropped. */
int ScreenToDeviceX(int value);
int ScreenToDeviceY(int value);

/**
 * A position moved by an amount in 1/300 inch, in printer pixels; on a text-only printer the position is
 * returned unchanged.
 */
int OffsetX(int position, int amount);
int OffsetY(int position, int amount);

/** True when the selected printer's name begins with "Generic" (case-sensitive): a text-only printer. */
bool IsTextOnlyPrinter();
