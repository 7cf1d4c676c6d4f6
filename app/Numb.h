#pragma once

// The numerology itself: a name's letters added up to its total, and the oracle reading that total gives.

#include <QString>

/** Longest entry the main window takes, in characters (so a total never exceeds 35 × 700). */
constexpr int EntryMaxLength = 35;

/** The total of the most recent calculation; set by Calculate and reset by the main window's Clear. */
extern int NameTotal;

/** Upper-cases a to z only; every other character, accented letters included, stays as it is. */
QString UpperCaseLetters(const QString& text);

/**
 * The name total of an entry: each letter's value (A-I 1-9, K-S 10-90, T 100, U 200, X 300, Y 400, Z 500,
 * J 600, V 700, W and everything else 0), where H U counts 900 and H I counts 800. Text is compared in its
 * composed form, so an accented letter typed as letter plus accent counts nothing, as a precomposed one does.
 */
int TotalOfText(const QString& text);

/**
 * The oracle reading of a total: the whole-total line, or up to three lines for the hundreds, tens and units
 * of the total reduced below 1000, joined by CR LF without a final line break. Empty for 0.
 */
QString ReadingOfTotal(int total);

/**
 * Recomputes the main window from its entry field: sets NameTotal, the Total field and the reading memo.
 * Does nothing while there is no main window.
 */
void Calculate();
