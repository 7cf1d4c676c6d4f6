#pragma once

// Breaks printed text into lines that fit a box, as the page device lays out wrapped captions and memos.

#include <QString>
#include <functional>

/** Measures the printed width of a text in pixels. */
using TextWidthMeasure = std::function<int(const QString&)>;

/** What becomes of a word wider than the box that starts a line. */
enum class TLongWord {
  /** Cut after its last character within boxWidth - 10; the rest starts the next line. */
  Cut,
  /** Kept whole on its line, running past the box: a number or a name is never printed in pieces. */
  Whole,
};

/**
 * Takes the next printed line off the front of a text for a box boxWidth pixels wide. Words (a leading
 * blank belongs to the word that follows it) are added, one blank apart, while the line stays within
 * boxWidth; a word wider than boxWidth - 10 that starts a line is cut or kept whole as longWord says. A line
 * that would otherwise be empty takes all of the rest, so every call makes progress.
 */
QString TakeWrappedLine(QString& remaining, int boxWidth, const TextWidthMeasure& width,
                        TLongWord longWord = TLongWord::Cut);

/**
 * Replaces each tab by blanks up to the next tab stop (columns 9, 17, ..., 73); a tab in the first column
 * gives 8 blanks and a tab at column 73 or beyond is dropped.
 */
QString ExpandTabs(const QString& text);

/** Removes the blanks at the end, then those at the start. */
QString TrimBlanks(const QString& text);
