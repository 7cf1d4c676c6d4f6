#include "platform/SysUtils.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

TFileRead ReadRegularFile(const QString& fileName, qint64 sizeLimit, QByteArray& content, QString* reason) {
  content.clear();
  const auto failed = [reason](int error) {
    if (reason != nullptr) *reason = QString::fromLocal8Bit(std::strerror(error));
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
