#include "platform/SysUtils.h"

#include <cmath>
#include <limits>

namespace {
EConvertError NotAnInteger(const QString& text) {
  return EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

int DigitValue(QChar character, int base) {
  const char16_t code = character.unicode();
  int value = -1;
  if (code >= u'0' && code <= u'9')
    value = code - u'0';
  else if (code >= u'a' && code <= u'f')
    value = code - u'a' + 10;
  else if (code >= u'A' && code <= u'F')
    value = code - u'A' + 10;
  return value < base ? value : -1;
}

bool TryStrToInt(const QString& text, int& result) {
  int position = 0;
  const int length = static_cast<int>(text.size());
  while (position < length && text.at(position) == QLatin1Char(' ')) ++position;
  bool negative = false;
  if (position < length && (text.at(position) == QLatin1Char('-') || text.at(position) == QLatin1Char('+'))) {
    negative = text.at(position) == QLatin1Char('-');
    ++position;
  }
  int base = 10;
  if (position < length && text.at(position) == QLatin1Char('$')) {
    base = 16;
    ++position;
  } else if (position + 1 < length && text.at(position) == QLatin1Char('0') &&
             (text.at(position + 1) == QLatin1Char('x') || text.at(position + 1) == QLatin1Char('X'))) {
    base = 16;
    position += 2;
  }
  if (position >= length) return false;
  long long magnitude = 0;
  for (; position < length; ++position) {
    const int digit = DigitValue(text.at(position), base);
    if (digit < 0) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFLL) return false;
  }
  long long value = negative ? -magnitude : magnitude;
  // Hexadecimal texts may spell a negative number through its 32-bit pattern ($FFFFFFFF is -1).
  if (base == 16 && !negative && value > std::numeric_limits<int>::max()) value -= 0x100000000LL;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return false;
  result = static_cast<int>(value);
  return true;
}
}  // namespace

int StrToInt(const QString& text) {
  int result = 0;
  if (!TryStrToInt(text, result)) throw NotAnInteger(text);
  return result;
}

int StrToIntDef(const QString& text, int fallback) {
  int result = 0;
  return TryStrToInt(text, result) ? result : fallback;
}

QString FloatToStr(double value) {
  QString text = QString::number(value, 'g', 15);
  // The framework writes exponents as "1E15" and "1E-5", not "1e+15" and "1e-05".
  const qsizetype exponent = text.indexOf(QLatin1Char('e'));
  if (exponent >= 0) {
    const int power = text.mid(exponent + 1).toInt();
    text = text.left(exponent) + QLatin1Char('E') + QString::number(power);
  }
  return text;
}

long long RoundHalfEven(double value) {
  // Out-of-range values saturate instead of overflowing the conversion.
  if (std::isnan(value)) return 0;
  constexpr double limit = 9.2e18;
  if (value >= limit) return static_cast<long long>(limit);
  if (value <= -limit) return -static_cast<long long>(limit);
  return static_cast<long long>(std::nearbyint(value));
}
