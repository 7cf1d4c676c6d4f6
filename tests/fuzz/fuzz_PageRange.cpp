// Page selections as typed into the print options ("1,2,5,7-14,21"): any text either tells each page in or
// out, entry by entry, or fails with EConvertError; and a selection of plain numbers selects exactly what it
// says.
#include "platform/SysUtils.h"
#include "print/shared/PageRange.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QList>
#include <cstring>

namespace {
// Walks the selection for one page as the preview's printing does. Every entry taken shortens the rest.
void WalkSelection(int page, const QString& selection) {
  QString remaining = selection;
  bool selected = false;
  try {
    for (;;) {
      const qsizetype length = remaining.size();
      const TRangeEntryResult result = NextRangeEntry(page, remaining);
      if (result == reNothingLeft) {
        FuzzCheck(length == 0, "nothing is left only of an empty selection");
        break;
      }
      FuzzCheck(result == reInEntry || result == reNotInEntry, "an entry either holds the page or not");
      FuzzCheck(remaining.size() < length, "each entry shortens the selection");
      selected = selected || result == reInEntry;
    }
  } catch (const EConvertError&) {
    return;
  }
  FuzzCheck(PageInRange(page, selection) == selected, "PageInRange agrees with the entries");
}

// Ranges written by the harness itself from the input's numbers: the page is selected when one holds it.
void CheckWrittenRanges(const QByteArray& input) {
  // Bounds are not negative: an entry that starts with "-" has an empty lower bound, which is no number.
  QList<int> numbers;
  for (qsizetype at = 0; at + 2 <= input.size() && numbers.size() < 9; at += 2) {
    quint16 number = 0;
    std::memcpy(&number, input.constData() + at, sizeof(number));
    numbers.append(number);
  }
  if (numbers.isEmpty()) return;
  const int page = numbers.takeFirst() - 100;
  QStringList entries;
  bool expected = false;
  for (qsizetype index = 0; index + 1 < numbers.size(); index += 2) {
    const int low = numbers.at(index);
    const int high = numbers.at(index + 1);
    entries.append(low == high ? QString::number(low) : QStringLiteral("%1-%2").arg(low).arg(high));
    expected = expected || (low <= page && page <= high);
  }
  if (entries.isEmpty()) return;
  FuzzCheck(PageInRange(page, entries.join(QLatin1Char(','))) == expected,
            "a selection of plain numbers selects the pages it names");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const QByteArray input = InputBytes(data + 1, size - 1);
  if (data[0] % 2 == 0) {
    const QString selection = QString::fromUtf8(input);
    for (const int page : {1, 2, 7, 14, 21, -1, 0, 2147483647}) WalkSelection(page, selection);
  } else {
    CheckWrittenRanges(input);
  }
  return 0;
}
