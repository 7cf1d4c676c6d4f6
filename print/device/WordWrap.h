#pragma once

#include <QString>
#include <functional>

/** Measures the printed width of a text in pixels. */
using TextWidthMeasure = std::function<int(const QString&)>;

/**
 * Takes the next printed line off the front of a text for a box boxWidth pixels wide. Words (a leading
 * blank belongs to the word that follows it) are added, one blank apart, while the line stays within
 * boxWidth; a word wider than boxWidth - 10 that starts a line is cut after its last character within that
 * width. A line that would otherwise be empty takes all of the rest, so every call makes progress.
 */
QString TakeWrappedLine(QString& remaining, int boxWidth, const TextWidthMeasure& width);

/**
 * Replaces each tab by blanks up to the next tab stop (columns 9, 17, ..., 73); a tab in the first column
 * gives 8 blanks and a tab at column 73 or beyond is dropped.
 */
QString ExpandTabs(const QString& text);

/** Removes the blanks at the end, then those at the start. */
QString TrimBlanks(const QString& text);
