#pragma once

#include <QString>

/** Pixels per inch of the screen the program runs on (96 under the offscreen platform). */
int ScreenPixelsPerInch();

/** Size of the primary screen in pixels, and in millimetres as the windowing system reports it. */
int ScreenWidthPixels();
int ScreenHeightPixels();
double ScreenWidthMillimetres();
double ScreenHeightMillimetres();

/**
 * Registers the Windows face names the program uses ("Arial", "MS Sans Serif", "System", "Courier New",
 * "Times New Roman") as substitutions for metric-compatible faces, so text measured on Linux has the widths
 * the layouts were designed for. Safe to call more than once.
 */
void RegisterFontSubstitutions();
