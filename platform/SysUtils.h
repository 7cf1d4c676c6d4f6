#pragma once

#include <QByteArray>
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

/** The spellings a whole-number conversion accepts. */
enum class TIntegerSyntax {
  /**
   * The framework's everyday conversion: leading blanks, one sign and a "$" or "0x" hexadecimal prefix (a
   * hexadecimal text may spell a negative number through its 32-bit pattern, "$FFFFFFFF" is -1).
   */
  Framework,
  /** Decimal digits with an optional leading "-" and nothing else: no blank, no "+", no hexadecimal. */
  StrictDecimal,
};

/**
 * Converts a whole number written in the given syntax. Anything else, a trailing blank, an empty text or a
 * value outside 32 bits fails with EConvertError "'<text>' is not a valid integer value".
 */
int StrToInt(const QString& text, TIntegerSyntax syntax = TIntegerSyntax::Framework);

/** Like StrToInt, but gives the fallback instead of failing. */
int StrToIntDef(const QString& text, int fallback, TIntegerSyntax syntax = TIntegerSyntax::Framework);

/** A double as general text with up to 15 significant digits, no exponent for ordinary values (100.0 gives
 * "100"). */
QString FloatToStr(double value);

/** Rounds to the nearest integer, ties to the even neighbour (2.5 gives 2, 3.5 gives 4); saturates far out of
 * range. */
long long RoundHalfEven(double value);

/** What became of reading a file whole (ReadRegularFile). */
enum class TFileRead {
  Read,       /**< the content was read */
  Missing,    /**< there is no such file */
  NotRegular, /**< a folder, a pipe, a device or anything else that is not a plain file */
  TooLarge,   /**< larger than the limit */
  Failed,     /**< it could not be opened or read; the reason says why */
};

/**
 * Reads a plain file whole, taking at most sizeLimit bytes. What the name leads to is checked on the opened
 * file itself, so a pipe does not block, a device such as /dev/zero is not read without end and a file that
 * grows while it is read is still refused. On any outcome but Read the content is empty, and for Failed the
 * reason holds the system's words.
 */
TFileRead ReadRegularFile(const QString& fileName, qint64 sizeLimit, QByteArray& content,
                          QString* reason = nullptr);
