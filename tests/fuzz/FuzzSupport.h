#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

/**
 * What the fuzz targets share: one Qt application on the offscreen platform, a private folder for the files
 * an input is written to, and a check that stops the run with a message when a promise of the code under test
 * is broken (libFuzzer then keeps the input that broke it).
 */

/** Starts Qt once, with the configuration and runtime folders inside the private folder. */
void StartFuzzing();

/** The private folder of this run, removed when the run ends. */
QString FuzzFolder();

/** Stops the run with the message when the condition does not hold. */
void FuzzCheck(bool condition, const char* what);

/** The input as bytes (copied, so the code under test cannot hold on to libFuzzer's buffer). */
QByteArray InputBytes(const std::uint8_t* data, std::size_t size);

/** Writes the bytes to the file, replacing it; stops the run when that fails. */
void WriteFuzzFile(const QString& fileName, const QByteArray& bytes);

/** The file's bytes; stops the run when it cannot be read. */
QByteArray ReadFuzzFile(const QString& fileName);

/** Whether a terminal would act on the character rather than show it (controls, separators, direction marks).
 */
bool TerminalWouldAct(char32_t code);
