#include "print/device/PageMacros.h"

#include "platform/PageRecording.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace {
// Upper-cases a to z only, so that every position in the result is the same position in the text.
QString AsciiUpper(const QString& text) {
  QString upper = text;
  for (QChar& character : upper) {
    if (character >= QLatin1Char('a') && character <= QLatin1Char('z')) {
      character = QChar(character.unicode() - u'a' + u'A');
    }
  }
  return upper;
}

// Replaces the first occurrence of the macro that does not go on with the letter next (so "@Page" leaves the
// "@Pages" alone).
void ReplaceFirst(QString& text, const QString& macro, const QString& value, QChar next = QChar()) {
  const QString upper = AsciiUpper(text);
  qsizetype position = upper.indexOf(macro);
  while (position >= 0 && !next.isNull() && position + macro.size() < upper.size() &&
         upper.at(position + macro.size()) == next) {
    position = upper.indexOf(macro, position + 1);
  }
  if (position >= 0) text.replace(position, macro.size(), value);
}
}  // namespace

QString ExpandPageMacros(const QString& text, int pageNumber, const QString& pageCountText,
                         const QString& dateText, const QString& timeText) {
  QString result = text;
  ReplaceFirst(result, QStringLiteral("@PAGES"), pageCountText);
  ReplaceFirst(result, QStringLiteral("@PAGE"), QString::number(pageNumber), QLatin1Char('S'));
  ReplaceFirst(result, QStringLiteral("@DATE"), dateText);
  ReplaceFirst(result, QStringLiteral("@TIME"), timeText);
  return result;
}

QString LongTimeFormat(const QLocale& locale) {
  // Qt's long time format ends in the time zone; the system's long time format of the desktop the page
  // layouts come from has hours, minutes and seconds only.
  // Compiled once: every page's footer asks for the time.
  static const QRegularExpression timeZone(QStringLiteral("\\s*(?<![A-Za-z'])t+(?![A-Za-z'])"));
  QString format = locale.timeFormat(QLocale::LongFormat);
  format.remove(timeZone);
  return format.trimmed();
}

QString ExpandPageMacrosNow(const QString& text, int pageNumber) {
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  return ExpandPageMacros(text, pageNumber, QString(QChar(PageCountMark)),
                          locale.toString(now.date(), QLocale::ShortFormat),
                          locale.toString(now.time(), LongTimeFormat(locale)));
}
