#pragma once

// The groundwork every part of the program leans on: its exceptions, numbers as text, careful file reads.

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>
#include <exception>
#include <string>

/** The root of the program's exceptions: carries a user-facing message, shown by the application's handler.
 */
class Exception : public std::exception {
public:
  explicit Exception(QString message) : message_(std::move(message)), utf8_(WhatText(message_)) {}
  const QString& Message() const { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

private:
  // The message as what() gives it: a character 0 is shown as \x00, since every reader of a C string would
  // stop there and lose the rest of the message.
  static std::string WhatText(const QString& message);
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
/**
 * Whether two names lead to one file (the same device and inode, so a relative name, a symbolic or a hard
 * link count); false when either does not exist.
 */
bool SameFile(const QString& first, const QString& second);

/** The system's words for an error number (errno). */
QString SystemErrorText(int error);

/**
 * Whether a terminal would act on the character rather than show it: control characters (an escape sequence
 * could recolour, move or retitle the terminal), line and paragraph separators, and the marks that turn the
 * direction of text.
 */
bool ActsOnTerminal(char32_t code);
/** Such a character written as an escape: "\\x1b" below 256, else "\\u202e". */
QString ControlEscape(char32_t code);

/** The longest outside text (a file name, an argument) a message repeats whole; a longer one is cut. */
constexpr qsizetype MaximumShownLength = 200;

/**
 * A file name or other outside text as a message repeats it: every character a terminal or a message box
 * would act on rather than show (control characters, line and paragraph separators, direction marks) written
 * as an escape (\x1b, \u202e), and a text longer than MaximumShownLength characters cut there with "…".
 */
QString ShownName(const QString& text);

/**
 * A text as long as a space of that many pixels could ever show: one far longer (a note of megabytes) is cut
 * to a few characters per pixel and ends in "…", so measuring, eliding and drawing it cost what the space
 * shows rather than what the text holds. A text that could fit is returned as it is.
 */
QString CutToShow(const QString& text, int pixels);

/**
 * The separators and the money format that number formatting uses. The program-wide settings come from the
 * system locale (QLocale::system()) the first time they are read: its decimal and group separators for
 * FormatFloat, and the same locale's currency format, always with two decimals, for FormatMoney.
 */
struct TFormatSettings {
  QChar DecimalSeparator = QLatin1Char('.');
  QChar ThousandSeparator = QLatin1Char(',');
  /** The locale whose currency symbol, symbol position and negative form the money format follows. */
  QLocale CurrencyLocale = QLocale::c();
  int CurrencyDecimals = 2;

  /** The settings a locale gives: its separators and its currency format with two decimals. */
  static TFormatSettings FromLocale(const QLocale& locale);
};

/** The program-wide format settings (see TFormatSettings). */
const TFormatSettings& FormatSettings();
/** Replaces the program-wide format settings, for a program that wants fixed separators. */
void SetFormatSettings(const TFormatSettings& settings);

/**
 * The framework's number pattern language. A pattern holds up to three sections separated by ";": for
 * positive values, for negative values (printed without a minus sign of their own) and for zero; an empty or
 * missing section falls back to the first. In a section "0" is a digit that is always printed, "#" a digit
 * printed only when significant, the first "." the decimal separator, any "," asks for thousands separators,
 * "E+", "E-", "e+", "e-" followed by zeros ask for scientific notation, and text in single or double quotes
 * (like every other character) is copied. The value is first taken to 15 significant digits and then rounded
 * half away from zero to the pattern's decimals, so 1.005 with "0.00" gives "1.01". An empty pattern gives
 * the general format of FloatToStr.
 */
QString FormatFloat(const QString& format, double value, const TFormatSettings& settings = FormatSettings());

/**
 * The platform money format ("%m"): the value in the currency format of the settings' CurrencyLocale,
 * with its currency symbol and CurrencyDecimals decimals (for the United States locale 1234.5 gives
 * "$1,234.50" and -1234.5 "($1,234.50)").
 */
QString FormatMoney(double value, const TFormatSettings& settings = FormatSettings());
