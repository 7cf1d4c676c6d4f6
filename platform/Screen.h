#pragma once

// What the program needs to know of the screen it runs on, and whether anyone can see its windows at all.

#include <QCursor>
#include <QString>
#include <optional>

/** Pixels per inch of the screen the program runs on (96 under the offscreen platform). */
int ScreenPixelsPerInch();

/** Size of the primary screen in pixels, and in millimetres as the windowing system reports it. */
int ScreenWidthPixels();
int ScreenHeightPixels();
double ScreenWidthMillimetres();
double ScreenHeightMillimetres();

/**
 * Whether a window the program shows can be seen by anyone: not on the offscreen or minimal platform (a
 * program printing from a script or a service), where a dialog would be built and shown for no one.
 */
bool WindowsCanBeSeen();
/**
 * Overrides what WindowsCanBeSeen() answers (std::nullopt: the platform's answer again), for programs that
 * drive their windows without a screen, such as tests of a status dialog.
 */
void SetWindowsCanBeSeen(std::optional<bool> seen);

/**
 * Registers the Windows face names the program uses ("Arial", "MS Sans Serif", "System", "Courier New",
 * "Times New Roman") as substitutions for metric-compatible faces, so text measured on Linux has the widths
 * the layouts were designed for. Safe to call more than once.
 */
void RegisterFontSubstitutions();

/**
 * A cursor by number, as the framework numbers them: its own shapes are 0 and below, the program's own are
 * registered from 1 on.
 */
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crSQLWait = -17;

/** The cursor of that number; a number without a shape or a registration gives the arrow. */
QCursor ScreenCursor(TCursor number);
/** Registers the program's own cursor under a number from 1 on (lower numbers are the framework's shapes). */
void SetScreenCursor(TCursor number, const QCursor& cursor);
