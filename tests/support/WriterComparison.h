#pragma once

#include <QString>
#include <QStringList>
#include <functional>

/**
 * The pixels of a page rasterized at 100 dpi that may differ between the program's own PDF writer and Qt's
 * by more than a quarter of the grey scale: a glyph's edge falls on the other side of a pixel when the two
 * place it a fraction of a printer pixel apart, or hint it differently. A rule or a word moved by a
 * pixel would cost thousands of pixels.
 */
constexpr double DifferingPixelsAllowed = 0.002;

/**
 * Compares a document written by the program's own PDF writer with the same pages written by Qt's: the same
 * pages of the same size, the same words in the same order (words matching `varying`, such as a print's
 * time, left out), pages that look alike rasterized at 100 dpi, every font embedded as a subset, and a file
 * qpdf finds sound. Returns what differs, a line each; nothing when they agree.
 */
QStringList CompareWithQtWriter(const QString& own, const QString& qt, const QString& varying = QString());

/**
 * Prints a document twice into PDF files of the folder, once through each writer (print is given the file to
 * print into), and compares them as CompareWithQtWriter does.
 */
QStringList PrintThroughBothWriters(const QString& folder, const std::function<void(const QString&)>& print,
                                    const QString& varying = QString());
