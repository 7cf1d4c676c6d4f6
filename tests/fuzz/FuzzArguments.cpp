#include "tests/fuzz/FuzzArguments.h"

#include "tests/fuzz/FuzzSupport.h"

#include <QByteArray>

QStringList InputArguments(const std::uint8_t* data, std::size_t size) {
  QStringList arguments;
  for (const QByteArray& argument : InputBytes(data, size).split('\0'))
    arguments.append(QString::fromLocal8Bit(argument));
  return arguments;
}

bool ShowsAsIs(const QString& text) {
  for (const char32_t code : text.toUcs4()) {
    if (TerminalWouldAct(code)) return false;
  }
  return true;
}
