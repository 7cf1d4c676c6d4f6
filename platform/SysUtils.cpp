#include "platform/SysUtils.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <limits>
#include <vector>

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

bool TryStrToInt(const QString& text, TIntegerSyntax syntax, int& result) {
  const bool framework = syntax == TIntegerSyntax::Framework;
  int position = 0;
  const int length = static_cast<int>(text.size());
  if (framework) {
    while (position < length && text.at(position) == QLatin1Char(' ')) ++position;
  }
  bool negative = false;
  if (position < length &&
      (text.at(position) == QLatin1Char('-') || (framework && text.at(position) == QLatin1Char('+')))) {
    negative = text.at(position) == QLatin1Char('-');
    ++position;
  }
  int base = 10;
  if (framework && position < length && text.at(position) == QLatin1Char('$')) {
    base = 16;
    ++position;
  } else if (framework && position + 1 < length && text.at(position) == QLatin1Char('0') &&
             (text.at(position + 1) == QLatin1Char('x') || text.at(position + 1) == QLatin1Char('X'))) {
    base = 16;
    position += 2;
  }
  if (position >= length) return false;
  // The magnitude is capped at 32 bits while it is gathered, so no text is long enough to overflow it.
  long long magnitude = 0;
  for (; position < length; ++position) {
    const int digit = DigitValue(text.at(position), base);
    if (digit < 0) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFLL) return false;
  }
  long long value = negative ? -magnitude : magnitude;
  if (base == 16 && !negative && value > std::numeric_limits<int>::max()) value -= 0x100000000LL;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return false;
  result = static_cast<int>(value);
  return true;
}
}  // namespace

int StrToInt(const QString& text, TIntegerSyntax syntax) {
  int result = 0;
  if (!TryStrToInt(text, syntax, result)) throw NotAnInteger(text);
  return result;
}

int StrToIntDef(const QString& text, int fallback, TIntegerSyntax syntax) {
  int result = 0;
  return TryStrToInt(text, syntax, result) ? result : fallback;
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

bool SameFile(const QString& first, const QString& second) {
  struct stat firstStatus {};
  struct stat secondStatus {};
  return ::stat(QFile::encodeName(first).constData(), &firstStatus) == 0 &&
         ::stat(QFile::encodeName(second).constData(), &secondStatus) == 0 &&
         firstStatus.st_dev == secondStatus.st_dev && firstStatus.st_ino == secondStatus.st_ino;
}

QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

std::string Exception::WhatText(const QString& message) {
  if (!message.contains(QChar(0))) return message.toStdString();
  QString shown = message;
  return shown.replace(QChar(0), QStringLiteral("\\x00")).toStdString();
}

bool ActsOnTerminal(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) || code == 0x200E ||
         code == 0x200F || code == 0x061C;
}

QString ControlEscape(char32_t code) {
  if (code < 0x100) return QStringLiteral("\\x%1").arg(static_cast<uint>(code), 2, 16, QLatin1Char('0'));
  return QStringLiteral("\\u%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0'));
}

QString ShownName(const QString& text) {
  QString shown;
  shown.reserve(std::min(text.size(), MaximumShownLength) + 2);
  qsizetype characters = 0;
  for (const char32_t code : text.toUcs4()) {
    if (++characters > MaximumShownLength) {
      shown += QChar(0x2026);
      break;
    }
    shown += ActsOnTerminal(code) ? ControlEscape(code) : QString::fromUcs4(&code, 1);
  }
  return shown;
}

QString CutToShow(const QString& text, int pixels) {
  // No visible character is narrower than a pixel; marks that take no room of their own get as much again.
  const qsizetype most = 2 * static_cast<qsizetype>(std::max(0, pixels)) + 64;
  if (text.size() <= most) return text;
  qsizetype cut = most;
  if (text.at(cut - 1).isHighSurrogate()) --cut;
  return text.left(cut) + QChar(0x2026);
}

TFileRead ReadRegularFile(const QString& fileName, qint64 sizeLimit, QByteArray& content, QString* reason) {
  content.clear();
  const auto failed = [reason](int error) {
    if (reason != nullptr) *reason = SystemErrorText(error);
    return TFileRead::Failed;
  };
  // Non-blocking, so opening a pipe returns at once instead of waiting for a writer.
  const int descriptor =
      ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return errno == ENOENT ? TFileRead::Missing : failed(errno);
  struct Closer {
    int descriptor;
    ~Closer() { ::close(descriptor); }
  } closer{descriptor};

  struct stat status {};
  if (::fstat(descriptor, &status) != 0) return failed(errno);
  if (!S_ISREG(status.st_mode)) return TFileRead::NotRegular;
  if (status.st_size > sizeLimit) return TFileRead::TooLarge;

  // One byte beyond the limit tells a file that grew since it was measured.
  QByteArray buffer(static_cast<qsizetype>(status.st_size) + 1, Qt::Uninitialized);
  qsizetype filled = 0;
  for (;;) {
    if (filled == buffer.size()) {
      if (filled > sizeLimit) return TFileRead::TooLarge;
      buffer.resize(std::min<qsizetype>(buffer.size() * 2, static_cast<qsizetype>(sizeLimit) + 1));
    }
    const ssize_t count =
        ::read(descriptor, buffer.data() + filled, static_cast<size_t>(buffer.size() - filled));
    if (count < 0) {
      if (errno == EINTR) continue;
      return failed(errno);
    }
    if (count == 0) break;
    filled += count;
  }
  if (filled > sizeLimit) return TFileRead::TooLarge;
  buffer.truncate(filled);
  content = std::move(buffer);
  return TFileRead::Read;
}

namespace {

// One section of a number pattern, read once: the digit placeholders, separators and literal texts in order.
struct PatternToken {
  enum Kind { Literal, OptionalDigit, RequiredDigit, Point, Exponent };
  Kind kind = Literal;
  QString text;             // a literal's text; for an exponent its letter
  bool signAlways = false;  // exponent: "+" prints a sign for positive exponents too
  int exponentDigits = 0;   // exponent: the least number of digits
};

struct Pattern {
  std::vector<PatternToken> tokens;
  bool thousands = false;
  bool scientific = false;
  bool hasPoint = false;
  int integerPlaceholders = 0;
  int minimumIntegerDigits = 0;  // placeholders from the first "0" of the integer part to the point
  int decimals = 0;              // placeholders after the point
  int requiredDecimals = 0;      // up to and including the last "0" after the point
};

QStringList SplitSections(const QString& format) {
  QStringList sections;
  QString current;
  QChar quote;
  for (const QChar character : format) {
    if (!quote.isNull()) {
      if (character == quote) quote = QChar();
    } else if (character == QLatin1Char('\'') || character == QLatin1Char('"')) {
      quote = character;
    } else if (character == QLatin1Char(';')) {
      sections.append(current);
      current.clear();
      continue;
    }
    current.append(character);
  }
  sections.append(current);
  return sections;
}

Pattern ParsePattern(const QString& section) {
  Pattern pattern;
  const auto literal = [&pattern](const QString& text) {
    if (!pattern.tokens.empty() && pattern.tokens.back().kind == PatternToken::Literal)
      pattern.tokens.back().text += text;
    else
      pattern.tokens.push_back({PatternToken::Literal, text});
  };
  bool afterPoint = false;
  bool seenRequired = false;
  int position = 0;
  const int length = static_cast<int>(section.size());
  while (position < length) {
    const QChar character = section.at(position);
    if (character == QLatin1Char('\'') || character == QLatin1Char('"')) {
      const int close = static_cast<int>(section.indexOf(character, position + 1));
      const int end = close < 0 ? length : close;
      literal(section.mid(position + 1, end - position - 1));
      position = end + 1;
      continue;
    }
    if ((character == QLatin1Char('E') || character == QLatin1Char('e')) && !pattern.scientific &&
        position + 1 < length &&
        (section.at(position + 1) == QLatin1Char('+') || section.at(position + 1) == QLatin1Char('-'))) {
      PatternToken exponent{PatternToken::Exponent, QString(character)};
      exponent.signAlways = section.at(position + 1) == QLatin1Char('+');
      position += 2;
      while (position < length && section.at(position) == QLatin1Char('0')) {
        ++exponent.exponentDigits;
        ++position;
      }
      pattern.tokens.push_back(exponent);
      pattern.scientific = true;
      continue;
    }
    ++position;
    if (pattern.scientific && (character == QLatin1Char('0') || character == QLatin1Char('#'))) {
      continue;  // digits after the exponent belong to it
    }
    if (character == QLatin1Char('0') || character == QLatin1Char('#')) {
      const bool required = character == QLatin1Char('0');
      pattern.tokens.push_back({required ? PatternToken::RequiredDigit : PatternToken::OptionalDigit, {}});
      if (afterPoint) {
        ++pattern.decimals;
        if (required) pattern.requiredDecimals = pattern.decimals;
      } else {
        ++pattern.integerPlaceholders;
        if (required) seenRequired = true;
        if (seenRequired) ++pattern.minimumIntegerDigits;
      }
    } else if (character == QLatin1Char('.') && !afterPoint && !pattern.scientific) {
      pattern.tokens.push_back({PatternToken::Point, {}});
      pattern.hasPoint = true;
      afterPoint = true;
    } else if (character == QLatin1Char(',')) {
      pattern.thousands = true;
    } else {
      literal(QString(character));
    }
  }
  return pattern;
}

// A non-negative value as decimal digits: the digits without leading or trailing zeros (empty for zero) and
// the number of digits before the point (value = 0.digits × 10^integerDigits).
struct Decimal {
  QString digits;
  int integerDigits = 0;
};

Decimal ToDecimal(double magnitude) {
  Decimal decimal;
  if (magnitude == 0.0) return decimal;
  // Fifteen significant digits are what a double holds reliably, so sums such as 0.1 + 0.2 read as typed.
  const QString text = QString::number(magnitude, 'e', 14);
  const qsizetype exponent = text.indexOf(QLatin1Char('e'));
  decimal.digits = text.left(exponent);
  decimal.digits.remove(QLatin1Char('.'));
  decimal.integerDigits = text.mid(exponent + 1).toInt() + 1;
  while (decimal.digits.endsWith(QLatin1Char('0'))) decimal.digits.chop(1);
  return decimal;
}

// Keeps `kept` digits of the decimal, rounding half away from zero.
Decimal RoundDigits(Decimal decimal, int kept) {
  if (kept >= decimal.digits.size()) return decimal;
  if (kept < 0) return {};
  const bool up = decimal.digits.at(kept) >= QLatin1Char('5');
  decimal.digits.truncate(kept);
  if (up) {
    int index = kept - 1;
    while (index >= 0 && decimal.digits.at(index) == QLatin1Char('9')) {
      decimal.digits[index] = QLatin1Char('0');
      --index;
    }
    if (index >= 0) {
      decimal.digits[index] = QChar(decimal.digits.at(index).unicode() + 1);
    } else {
      decimal.digits.prepend(QLatin1Char('1'));
      ++decimal.integerDigits;
    }
  }
  while (decimal.digits.endsWith(QLatin1Char('0'))) decimal.digits.chop(1);
  if (decimal.digits.isEmpty()) decimal.integerDigits = 0;
  return decimal;
}

QChar DigitAt(const Decimal& decimal, int index) {
  return index >= 0 && index < decimal.digits.size() ? decimal.digits.at(index) : QLatin1Char('0');
}

// The digits a pattern prints for a magnitude: integer digits, all decimals, and the exponent when
// scientific.
struct Rendered {
  QString integer;
  QString fraction;
  int exponent = 0;
  bool zero = true;
};

Rendered RenderDigits(const Pattern& pattern, double magnitude) {
  Rendered rendered;
  Decimal decimal = ToDecimal(magnitude);
  if (pattern.scientific) {
    decimal = RoundDigits(decimal, 1 + pattern.decimals);
    rendered.zero = decimal.digits.isEmpty();
    rendered.exponent = rendered.zero ? 0 : decimal.integerDigits - 1;
    rendered.integer = QString(DigitAt(decimal, 0));
    for (int index = 1; index <= pattern.decimals; ++index) rendered.fraction += DigitAt(decimal, index);
    return rendered;
  }
  decimal = RoundDigits(decimal, decimal.integerDigits + pattern.decimals);
  rendered.zero = decimal.digits.isEmpty();
  for (int index = 0; index < decimal.integerDigits; ++index) rendered.integer += DigitAt(decimal, index);
  for (int index = 0; index < pattern.decimals; ++index)
    rendered.fraction += DigitAt(decimal, decimal.integerDigits + index);
  return rendered;
}

QString RenderPattern(const Pattern& pattern, const Rendered& rendered, const TFormatSettings& settings) {
  QString integer = rendered.integer;
  while (integer.size() < pattern.minimumIntegerDigits) integer.prepend(QLatin1Char('0'));
  if (pattern.scientific && integer.isEmpty()) integer = QStringLiteral("0");
  QString fraction = rendered.fraction;
  while (fraction.size() > pattern.requiredDecimals && fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);

  QString result;
  const int digitCount = static_cast<int>(integer.size());
  const auto emitIntegerDigit = [&](int index) {
    result += integer.at(index);
    const int following = digitCount - 1 - index;
    if (pattern.thousands && following > 0 && following % 3 == 0) result += settings.ThousandSeparator;
  };
  // Integer digits fill the placeholders from the right; the first placeholder takes every digit left over.
  int integerPlaceholder = 0;
  int fractionPlaceholder = 0;
  bool afterPoint = false;
  const bool integerWithoutPlaceholders = pattern.integerPlaceholders == 0;
  for (const PatternToken& token : pattern.tokens) {
    switch (token.kind) {
      case PatternToken::Literal: result += token.text; break;
      case PatternToken::OptionalDigit:
      case PatternToken::RequiredDigit:
        if (afterPoint) {
          if (fractionPlaceholder < fraction.size()) result += fraction.at(fractionPlaceholder);
          ++fractionPlaceholder;
        } else {
          const int own = digitCount - (pattern.integerPlaceholders - integerPlaceholder);
          const int from = integerPlaceholder == 0 ? 0 : own;
          for (int index = std::max(0, from); index <= own; ++index) emitIntegerDigit(index);
          ++integerPlaceholder;
        }
        break;
      case PatternToken::Point:
        if (integerWithoutPlaceholders) {
          for (int index = 0; index < digitCount; ++index) emitIntegerDigit(index);
        }
        if (!fraction.isEmpty()) result += settings.DecimalSeparator;
        afterPoint = true;
        break;
      case PatternToken::Exponent: {
        QString digits = QString::number(std::abs(rendered.exponent));
        while (digits.size() < token.exponentDigits) digits.prepend(QLatin1Char('0'));
        result += token.text;
        if (rendered.exponent < 0)
          result += QLatin1Char('-');
        else if (token.signAlways)
          result += QLatin1Char('+');
        result += digits;
        break;
      }
    }
  }
  return result;
}

TFormatSettings& ProgramFormatSettings() {
  static TFormatSettings settings = TFormatSettings::FromLocale(QLocale::system());
  return settings;
}

}  // namespace

TFormatSettings TFormatSettings::FromLocale(const QLocale& locale) {
  TFormatSettings settings;
  const QString decimal = locale.decimalPoint();
  const QString group = locale.groupSeparator();
  if (decimal.size() == 1) settings.DecimalSeparator = decimal.at(0);
  if (group.size() == 1) settings.ThousandSeparator = group.at(0);
  settings.CurrencyLocale = locale;
  return settings;
}

const TFormatSettings& FormatSettings() { return ProgramFormatSettings(); }

void SetFormatSettings(const TFormatSettings& settings) { ProgramFormatSettings() = settings; }

QString FormatFloat(const QString& format, double value, const TFormatSettings& settings) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  if (format.isEmpty()) {
    QString text = FloatToStr(value);
    text.replace(QLatin1Char('.'), settings.DecimalSeparator);
    return text;
  }
  const QStringList sections = SplitSections(format);
  const bool negative = value < 0;
  const double magnitude = std::abs(value);
  const Pattern positive = ParsePattern(sections.at(0));
  const bool ownNegative = negative && sections.size() >= 2 && !sections.at(1).isEmpty();
  Pattern chosen = ownNegative ? ParsePattern(sections.at(1)) : positive;
  Rendered rendered = RenderDigits(chosen, magnitude);
  if (rendered.zero && sections.size() >= 3 && !sections.at(2).isEmpty()) {
    chosen = ParsePattern(sections.at(2));
    rendered = RenderDigits(chosen, 0.0);
    return RenderPattern(chosen, rendered, settings);
  }
  QString text = RenderPattern(chosen, rendered, settings);
  // A value that rounds to zero prints without a minus sign.
  if (negative && !ownNegative && !rendered.zero) text.prepend(QLatin1Char('-'));
  return text;
}

QString FormatMoney(double value, const TFormatSettings& settings) {
  const QLocale& locale = settings.CurrencyLocale;
  // An amount that rounds to nothing is no debt: it prints as zero, not as a negative zero.
  if (std::abs(value) < 0.5 * std::pow(10.0, -settings.CurrencyDecimals)) value = 0.0;
  return locale.toCurrencyString(value, locale.currencySymbol(QLocale::CurrencySymbol),
                                 settings.CurrencyDecimals);
}
