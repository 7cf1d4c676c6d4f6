#include "tests/ledger/LedgerPrintout.h"

#include "platform/SysUtils.h"
#include "tests/support/PdfReader.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
bool IsMoney(const QString& text) {
  static const QRegularExpression money(QStringLiteral("^-?[\\d,]+\\.\\d\\d$"));
  return money.match(text).hasMatch();
}

bool OnOneLine(const QRectF& a, const QRectF& b) { return std::abs(a.center().y() - b.center().y()) < 4; }

// The money printed on the line of the two words first + second, right of them.
QString MoneyAfter(const QList<PdfWord>& words, const QString& first, const QString& second, QRectF* line) {
  for (qsizetype index = 0; index + 1 < words.size(); ++index) {
    if (words[index].Text != first || words[index + 1].Text != second) continue;
    const QRectF label = words[index].Box.united(words[index + 1].Box);
    if (line != nullptr) *line = label;
    for (const PdfWord& word : words) {
      if (IsMoney(word.Text) && OnOneLine(word.Box, label) && word.Box.left() > label.right())
        return word.Text;
    }
    return QString();
  }
  return QString();
}
}  // namespace

QList<LedgerPage> ReadLedgerPrintout(const QString& pdfFile) {
  const PdfReader pdf(pdfFile);
  QList<LedgerPage> pages;
  for (int index = 0; index < pdf.PageCount(); ++index) {
    LedgerPage page;
    page.Size = pdf.PageSize(index);
    const QList<PdfWord> words = pdf.Words(index);
    for (const PdfWord& word : words) page.Ink = page.Ink.united(word.Box);
    page.AmountTitle = pdf.Find(index, QStringLiteral("Amount"));
    QRectF totalsLine;
    page.PageTotal = MoneyAfter(words, QStringLiteral("Page"), QStringLiteral("total:"), &totalsLine);
    page.RunningTotal = MoneyAfter(words, QStringLiteral("Running"), QStringLiteral("total:"), nullptr);
    page.Continued = pdf.Text(index).contains(QStringLiteral("continued on the next page"));
    QList<PdfWord> amounts;
    for (const PdfWord& word : words) {
      if (IsMoney(word.Text) && word.Box.top() > page.AmountTitle.bottom() &&
          (totalsLine.isNull() || word.Box.bottom() < totalsLine.top()))
        amounts.append(word);
    }
    std::sort(amounts.begin(), amounts.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.Box.top() < b.Box.top(); });
    for (const PdfWord& amount : amounts) {
      page.Amounts << amount.Text;
      page.AmountBoxes << amount.Box;
    }
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    for (qsizetype word = 0; word + 1 < words.size(); ++word) {
      if (words[word].Text == QStringLiteral("Page") && number.match(words[word + 1].Text).hasMatch())
        page.PageNumbers << words[word + 1].Text;
    }
    pages << page;
  }
  return pages;
}

QString LedgerMoney(const QStringList& amounts) {
  qint64 cents = 0;
  for (const QString& amount : amounts)
    cents += std::llround(QString(amount).remove(QLatin1Char(',')).toDouble() * 100);
  return FormatFloat(QStringLiteral("#,##0.00"), static_cast<double>(cents) / 100);
}
