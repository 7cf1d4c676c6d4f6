#include "print/device/WordWrap.h"

#include <algorithm>

namespace {
constexpr int WordMargin = 10;

QString FirstWord(const QString& text) {
  const QChar blank(QLatin1Char(' '));
  const qsizetype first = text.indexOf(blank);
  if (first < 0) return text;
  if (first == 0) {
    const qsizetype second = text.indexOf(blank, 1);
    return second < 0 ? text : text.left(second);
  }
  return text.left(first);
}

qsizetype FittingPrefixLength(const QString& word, int limit, const TextWidthMeasure& width) {
  qsizetype length = 0;
  while (length < word.size() && width(word.left(length + 1)) <= limit) ++length;
  return length;
}
}  // namespace

QString TakeWrappedLine(QString& remaining, int boxWidth, const TextWidthMeasure& width, TLongWord longWord) {
  QString line;
  while (!remaining.isEmpty()) {
    const QString word = FirstWord(remaining);
    if (width(word) > boxWidth - WordMargin) {
      if (line.isEmpty()) {
        const qsizetype length = longWord == TLongWord::Whole
                                     ? word.size()
                                     : FittingPrefixLength(word, boxWidth - WordMargin, width);
        line = word.left(length);
        remaining.remove(0, std::min(remaining.size(), length + (longWord == TLongWord::Whole ? 1 : 0)));
      }
      break;
    }
    const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (width(candidate) > boxWidth) break;
    line = candidate;
    remaining.remove(0, word.size() + 1);
  }
  if (line.isEmpty()) {
    line = remaining;
    remaining.clear();
  }
  return line;
}

QString ExpandTabs(const QString& text) {
  constexpr int LastStop = 73;
  QString result = text;
  for (qsizetype index = result.indexOf(QLatin1Char('\t')); index >= 0;
       index = result.indexOf(QLatin1Char('\t'))) {
    const qsizetype position = index + 1;
    result.remove(index, 1);
    if (position < LastStop) {
      const qsizetype nextStop = ((position - 1) / 8 + 1) * 8 + 1;
      result.insert(index, QString(nextStop - position, QLatin1Char(' ')));
    }
  }
  return result;
}

QString TrimBlanks(const QString& text) {
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) --end;
  qsizetype start = 0;
  while (start < end && text.at(start) == QLatin1Char(' ')) ++start;
  return text.mid(start, end - start);
}
