#include "tests/support/WriterComparison.h"

#include "platform/Printers.h"
#include "tests/support/PdfReader.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cstdlib>

namespace {
QStringList WordsOf(const PdfReader& pdf, int page, const QRegularExpression& varying) {
  QStringList words;
  for (const PdfWord& word : pdf.Words(page)) {
    // A letter and its accent are one character or two, as the font has them; they read the same.
    if (varying.pattern().isEmpty() || !varying.match(word.Text).hasMatch())
      words.append(word.Text.normalized(QString::NormalizationForm_C));
  }
  return words;
}

// The pixels of two renderings of a page that differ by more than a quarter of the grey scale.
qint64 DifferingPixels(const QImage& one, const QImage& other) {
  qint64 differing = 0;
  for (int y = 0; y < one.height(); ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(one.constScanLine(y));
    const auto* b = reinterpret_cast<const QRgb*>(other.constScanLine(y));
    for (int x = 0; x < one.width(); ++x) {
      if (std::abs(qGray(a[x]) - qGray(b[x])) > 64) ++differing;
    }
  }
  return differing;
}
}  // namespace

QStringList CompareWithQtWriter(const QString& own, const QString& qt, const QString& varying) {
  QStringList problems;
  const PdfReader ownPdf(own);
  const PdfReader qtPdf(qt);
  if (!ownPdf.IsValid() || !qtPdf.IsValid()) return {QStringLiteral("a PDF file cannot be read")};
  if (ownPdf.Information(QStringLiteral("Producer")) == qtPdf.Information(QStringLiteral("Producer")))
    problems.append(QStringLiteral("both files were written by the same writer"));
  if (ownPdf.PageCount() != qtPdf.PageCount()) {
    return problems
           << QStringLiteral("%1 pages against Qt's %2").arg(ownPdf.PageCount()).arg(qtPdf.PageCount());
  }
  const QRegularExpression varyingWords(varying);
  for (int page = 0; page < ownPdf.PageCount(); ++page) {
    if (ownPdf.PageSize(page) != qtPdf.PageSize(page))
      problems.append(QStringLiteral("page %1 has another size").arg(page + 1));
    // Where a viewer parts the words (between ideographs, say) depends on a fraction of a space; the text
    // and its order do not.
    const QString ownText = WordsOf(ownPdf, page, varyingWords).join(QString()).remove(QLatin1Char(' '));
    const QString qtText = WordsOf(qtPdf, page, varyingWords).join(QString()).remove(QLatin1Char(' '));
    if (ownText != qtText) {
      qsizetype first = 0;
      while (first < ownText.size() && first < qtText.size() && ownText[first] == qtText[first]) ++first;
      problems.append(QStringLiteral("page %1, from character %2 on, reads \"%3\" where Qt's reads \"%4\"")
                          .arg(page + 1)
                          .arg(first + 1)
                          .arg(ownText.mid(first, 40), qtText.mid(first, 40)));
    }
    const QImage ownImage = ownPdf.RenderSmooth(page, 100);
    const QImage qtImage = qtPdf.RenderSmooth(page, 100);
    if (ownImage.size() != qtImage.size()) continue;
    const qint64 differing = DifferingPixels(ownImage, qtImage);
    const auto allowed = static_cast<qint64>(DifferingPixelsAllowed * ownImage.width() * ownImage.height());
    if (differing > allowed)
      problems.append(QStringLiteral("page %1 differs in %2 pixels (%3 allowed)")
                          .arg(page + 1)
                          .arg(differing)
                          .arg(allowed));
  }
  for (const PdfFont& font : ownPdf.Fonts()) {
    if (!font.Embedded || !font.Subset)
      problems.append(QStringLiteral("the font %1 is not embedded as a subset").arg(font.Name));
  }
  const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
  if (!qpdf.isEmpty()) {
    QProcess check;
    check.start(qpdf, {QStringLiteral("--check"), own});
    if (!check.waitForFinished(60000) || check.exitCode() != 0)
      problems.append(
          QStringLiteral("qpdf --check: %1").arg(QString::fromUtf8(check.readAllStandardOutput()).trimmed()));
  }
  return problems;
}

QStringList PrintThroughBothWriters(const QString& folder, const std::function<void(const QString&)>& print,
                                    const QString& varying) {
  const QString own = QDir(folder).filePath(QStringLiteral("own-writer.pdf"));
  const QString qt = QDir(folder).filePath(QStringLiteral("qt-writer.pdf"));
  {
    const TPdfWriterScope writer(TPdfWriterKind::Own);
    print(own);
  }
  {
    const TPdfWriterScope writer(TPdfWriterKind::Qt);
    print(qt);
  }
  return CompareWithQtWriter(own, qt, varying);
}
