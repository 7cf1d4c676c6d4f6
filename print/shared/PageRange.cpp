#include "print/shared/PageRange.h"

#include "platform/SysUtils.h"

namespace {
constexpr int EntryLength = 255;
constexpr int HighBoundLength = 20;
}  // namespace

TRangeEntryResult NextRangeEntry(int page, QString& remaining) {
  if (remaining.isEmpty()) return reNothingLeft;
  QString entry;
  const qsizetype comma = remaining.indexOf(QLatin1Char(','));
  if (comma < 0) {
    entry = remaining;
    remaining.clear();
  } else {
    entry = remaining.left(comma);
    remaining.remove(0, comma + 1);
  }
  entry.truncate(EntryLength);
  int low = 0;
  int high = 0;
  const qsizetype dash = entry.indexOf(QLatin1Char('-'));
  if (dash >= 0) {
    low = StrToInt(entry.left(dash), TIntegerSyntax::Framework);
    high = StrToInt(entry.mid(dash + 1, HighBoundLength), TIntegerSyntax::Framework);
  } else {
    low = high = StrToInt(entry, TIntegerSyntax::Framework);
  }
  return low <= page && page <= high ? reInEntry : reNotInEntry;
}

bool PageInRange(int page, const QString& selection) {
  QString remaining = selection;
  for (;;) {
    switch (NextRangeEntry(page, remaining)) {
      case reNothingLeft: return false;
      case reInEntry: return true;
      case reNotInEntry: break;
    }
  }
}
