#pragma once

#include <QString>
#include <exception>
#include <string>

/** The root of the program's exceptions: carries a user-facing message, shown by the application's handler.
 */
class Exception : public std::exception {
public:
  explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
  const QString& Message() const { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

private:
  QString message_;
  std::string utf8_;
};

/** A text that had to be a number and is not. */
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

/**
 * The framework's strict whole-number conversion: leading blanks, one sign and a "$" or "0x" hexadecimal
 * prefix are accepted; anything else, a trailing blank, an empty text or a value outside 32 bits fails with
 * EConvertError "'<text>' is not a valid integer value".
 */
int StrToInt(const QString& text);

/** Like StrToInt, but gives the fallback instead of failing. */
int StrToIntDef(const QString& text, int fallback);

/** A double as general text with up to 15 significant digits, no exponent for ordinary values (100.0 gives
 * "100"). */
QString FloatToStr(double value);

/** Rounds to the nearest integer, ties to the even neighbour (2.5 gives 2, 3.5 gives 4); saturates far out of
 * range. */
long long RoundHalfEven(double value);
