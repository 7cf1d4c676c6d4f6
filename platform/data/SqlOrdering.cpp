#include "platform/data/SqlOrdering.h"

QString WithSqliteOrderingWords(const QString& statement) {
  QString result;
  result.reserve(statement.size());
  const int size = static_cast<int>(statement.size());
  const auto copyQuoted = [&](int& at, QChar close) {
    const int start = at++;
    while (at < size) {
      if (statement[at] == close) {
        // A doubled closing mark stands for itself inside the quotes.
        if (close != QLatin1Char(']') && at + 1 < size && statement[at + 1] == close) {
          at += 2;
          continue;
        }
        ++at;
        break;
      }
      ++at;
    }
    result += QStringView(statement).mid(start, at - start);
  };
  int at = 0;
  while (at < size) {
    const QChar c = statement[at];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
      copyQuoted(at, c);
    } else if (c == QLatin1Char('[')) {
      copyQuoted(at, QLatin1Char(']'));
    } else if (c == QLatin1Char('-') && at + 1 < size && statement[at + 1] == QLatin1Char('-')) {
      const int end = statement.indexOf(QLatin1Char('\n'), at);
      const int stop = end < 0 ? size : end;
      result += QStringView(statement).mid(at, stop - at);
      at = stop;
    } else if (c == QLatin1Char('/') && at + 1 < size && statement[at + 1] == QLatin1Char('*')) {
      const int end = statement.indexOf(QStringLiteral("*/"), at + 2);
      const int stop = end < 0 ? size : end + 2;
      result += QStringView(statement).mid(at, stop - at);
      at = stop;
    } else if (c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$')) {
      const int start = at;
      while (at < size && (statement[at].isLetterOrNumber() || statement[at] == QLatin1Char('_') ||
                           statement[at] == QLatin1Char('$')))
        ++at;
      const QStringView word = QStringView(statement).mid(start, at - start);
      if (word.compare(QLatin1String("ASCENDING"), Qt::CaseInsensitive) == 0) {
        result += QStringLiteral("ASC");
      } else if (word.compare(QLatin1String("DESCENDING"), Qt::CaseInsensitive) == 0) {
        result += QStringLiteral("DESC");
      } else {
        result += word;
      }
    } else {
      result += c;
      ++at;
    }
  }
  return result;
}
