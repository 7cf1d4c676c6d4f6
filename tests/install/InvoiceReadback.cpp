// Reads the invoice example's PDF back with Poppler and says what is wrong with it, if anything: every line
// printed once, each page's total and the running total right, the first-page part on page 1 only, the
// table running on from the top of page 2, and every word inside the printable area. Exit status 0 when
// all holds.
#include "tests/support/PdfReader.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <map>

namespace {
constexpr int Lines = 300;
// The printable area's margin on a PDF page, in points: a quarter of an inch.
constexpr double Margin = 18.0;

QTextStream& Err() {
  static QTextStream err(stderr);
  return err;
}

// The number printed next right of a word on its line, or NaN without one.
double NumberRightOf(const QList<PdfWord>& words, const PdfWord& label) {
  const PdfWord* nearest = nullptr;
  for (const PdfWord& other : words) {
    if (other.Box.left() <= label.Box.right() ||
        std::abs(other.Box.center().y() - label.Box.center().y()) > 3)
      continue;
    if (nearest == nullptr || other.Box.left() < nearest->Box.left()) nearest = &other;
  }
  bool ok = false;
  const double value =
      nearest != nullptr ? QString(nearest->Text).remove(QLatin1Char(',')).toDouble(&ok) : 0.0;
  return ok ? value : NAN;
}

double TopOf(const PdfReader& pdf, int page, const QString& word) { return pdf.Find(page, word).top(); }
}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    Err() << "usage: invoice_readback FILE.pdf\n";
    return 2;
  }
  const PdfReader pdf(QString::fromLocal8Bit(argv[1]));
  if (!pdf.IsValid() || pdf.PageCount() < 2) {
    Err() << "not a PDF of two pages or more: " << argv[1] << '\n';
    return 1;
  }
  int faults = 0;
  const auto fault = [&faults](const QString& what) {
    Err() << what << '\n';
    ++faults;
  };

  std::map<int, int> printed;
  double running = 0.0;
  const QRegularExpression line(QStringLiteral("Line (\\d+) of the order"));
  for (int page = 0; page < pdf.PageCount(); ++page) {
    const QString text = pdf.Text(page);
    const QString counted = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pdf.PageCount());
    if (!text.contains(counted)) fault(QStringLiteral("\"%1\" is not in the header").arg(counted));
    double pageSum = 0.0;
    for (auto match = line.globalMatch(text); match.hasNext();) {
      const int number = match.next().captured(1).toInt();
      ++printed[number];
      pageSum += number * 1.25;
    }
    running += pageSum;
    const QList<PdfWord> words = pdf.Words(page);
    // The two totals follow their words on the line: "Page total:" and "Running total:".
    QList<PdfWord> totals;
    for (const PdfWord& word : words) {
      if (word.Text == QLatin1String("total:")) totals.append(word);
    }
    if (totals.size() != 2) {
      fault(QStringLiteral("page %1 has %2 totals, not 2").arg(page + 1).arg(totals.size()));
    } else {
      std::sort(totals.begin(), totals.end(),
                [](const PdfWord& a, const PdfWord& b) { return a.Box.left() < b.Box.left(); });
      const double pageTotal = NumberRightOf(words, totals[0]);
      const double runningTotal = NumberRightOf(words, totals[1]);
      if (std::abs(pageTotal - pageSum) > 0.005)
        fault(QStringLiteral("page %1: page total %2, its lines add up to %3")
                  .arg(page + 1)
                  .arg(pageTotal)
                  .arg(pageSum));
      if (std::abs(runningTotal - running) > 0.005)
        fault(QStringLiteral("page %1: running total %2, the lines so far add up to %3")
                  .arg(page + 1)
                  .arg(runningTotal)
                  .arg(running));
    }
    // The first-page part prints on page 1 and nowhere else.
    for (const QString& firstPageOnly :
         {QStringLiteral("Bristol"), QStringLiteral("PO"), QStringLiteral("transfer")}) {
      const bool found = !pdf.Find(page, firstPageOnly).isEmpty();
      if (found != (page == 0))
        fault(QStringLiteral("\"%1\" is %2 page %3")
                  .arg(firstPageOnly, found ? "on" : "missing from")
                  .arg(page + 1));
    }
    const QSizeF size = pdf.PageSize(page);
    const QRectF printable(Margin, Margin, size.width() - 2 * Margin, size.height() - 2 * Margin);
    for (const PdfWord& word : words) {
      if (!printable.contains(word.Box))
        fault(
            QStringLiteral("page %1: \"%2\" stands outside the printable area").arg(page + 1).arg(word.Text));
    }
  }
  for (int number = 1; number <= Lines; ++number) {
    if (printed[number] != 1)
      fault(QStringLiteral("line %1 printed %2 times").arg(number).arg(printed[number]));
  }
  if (printed.size() != Lines)
    fault(QStringLiteral("%1 lines printed, not %2").arg(printed.size()).arg(Lines));

  // The table starts below the first-page part on page 1 and right under the header band on page 2.
  const double firstTop = TopOf(pdf, 0, QStringLiteral("Description"));
  const double secondTop = TopOf(pdf, 1, QStringLiteral("Description"));
  const double bandBottom = pdf.Find(1, QStringLiteral("Page")).bottom();
  if (!(firstTop > TopOf(pdf, 0, QStringLiteral("transfer"))))
    fault(QStringLiteral("the table does not start below the first-page part on page 1"));
  if (!(secondTop > bandBottom && secondTop - bandBottom < 36.0))
    fault(QStringLiteral("the table starts %1 points below the header band on page 2, not at the top")
              .arg(secondTop - bandBottom));
  return faults == 0 ? 0 : 1;
}
