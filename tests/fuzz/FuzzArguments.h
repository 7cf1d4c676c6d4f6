#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

/** The input as a program's arguments: split at zero bytes, each decoded as local 8-bit text as main() does.
 */
QStringList InputArguments(const std::uint8_t* data, std::size_t size);

/** Whether the text holds nothing a terminal would act on rather than show. */
bool ShowsAsIs(const QString& text);
