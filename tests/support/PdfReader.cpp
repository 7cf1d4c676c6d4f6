#include "tests/support/PdfReader.h"

#include <QProcess>
#include <QSet>
#include <poppler-qt6.h>

namespace {
// Poppler reports what it finds odd in a file (cups-pdf's re-encoded glyphs, for one) on standard error; the
// tests judge the pages themselves.
bool QuietPoppler() {
  Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
  return true;
}
}  // namespace

PdfReader::PdfReader(const QString& fileName) {
  static const bool quiet = QuietPoppler();
  Q_UNUSED(quiet);
  document_ = Poppler::Document::load(fileName);
  if (document_ && document_->isLocked()) document_.reset();
}

PdfReader::~PdfReader() = default;

int PdfReader::PageCount() const { return document_ ? document_->numPages() : 0; }

QSizeF PdfReader::PageSize(int page) const {
  if (!document_ || page < 0 || page >= document_->numPages()) return QSizeF();
  const std::unique_ptr<Poppler::Page> pdfPage = document_->page(page);
  return pdfPage ? pdfPage->pageSizeF() : QSizeF();
}

QList<PdfWord> PdfReader::Words(int page) const {
  QList<PdfWord> words;
  if (!document_ || page < 0 || page >= document_->numPages()) return words;
  const std::unique_ptr<Poppler::Page> pdfPage = document_->page(page);
  if (!pdfPage) return words;
  for (const std::unique_ptr<Poppler::TextBox>& box : pdfPage->textList())
    words.append(PdfWord{box->text(), box->boundingBox()});
  return words;
}

QString PdfReader::Text(int page) const {
  QStringList texts;
  for (const PdfWord& word : Words(page)) texts.append(word.Text);
  return texts.join(QLatin1Char(' '));
}

QRectF PdfReader::Find(int page, const QString& text) const {
  for (const PdfWord& word : Words(page)) {
    if (word.Text == text) return word.Box;
  }
  return QRectF();
}

QRectF PdfReader::FindPhrase(int page, const QString& phrase) const {
  const QStringList wanted = phrase.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  const QList<PdfWord> words = Words(page);
  for (qsizetype first = 0; !wanted.isEmpty() && first + wanted.size() <= words.size(); ++first) {
    QRectF box;
    qsizetype matched = 0;
    while (matched < wanted.size() && words[first + matched].Text == wanted[matched])
      box |= words[first + matched++].Box;
    if (matched == wanted.size()) return box;
  }
  return QRectF();
}

QImage PdfReader::Render(int page, double dotsPerInch, const QRect& area) const {
  if (!document_ || page < 0 || page >= document_->numPages()) return QImage();
  const std::unique_ptr<Poppler::Page> pdfPage = document_->page(page);
  if (!pdfPage) return QImage();
  document_->setRenderHint(Poppler::Document::Antialiasing, false);
  document_->setRenderHint(Poppler::Document::TextAntialiasing, false);
  const QImage image = area.isNull() ? pdfPage->renderToImage(dotsPerInch, dotsPerInch)
                                     : pdfPage->renderToImage(dotsPerInch, dotsPerInch, area.x(), area.y(),
                                                              area.width(), area.height());
  return image.convertToFormat(QImage::Format_RGB32);
}

QImage PdfReader::RenderSmooth(int page, double dotsPerInch) const {
  if (!document_ || page < 0 || page >= document_->numPages()) return QImage();
  const std::unique_ptr<Poppler::Page> pdfPage = document_->page(page);
  if (!pdfPage) return QImage();
  document_->setRenderHint(Poppler::Document::Antialiasing, true);
  document_->setRenderHint(Poppler::Document::TextAntialiasing, true);
  const QImage image = pdfPage->renderToImage(dotsPerInch, dotsPerInch);
  return image.convertToFormat(QImage::Format_RGB32);
}

QList<PdfFont> PdfReader::Fonts() const {
  QList<PdfFont> fonts;
  if (!document_) return fonts;
  for (const Poppler::FontInfo& font : document_->fonts())
    fonts.append(PdfFont{font.name(), font.isEmbedded(), font.isSubset()});
  return fonts;
}

QString PdfReader::Information(const QString& key) const {
  return document_ ? document_->info(key) : QString();
}

namespace {
void AddOutline(const Poppler::Document& document, const QVector<Poppler::OutlineItem>& items, int level,
                QList<PdfOutlineEntry>& entries) {
  for (const Poppler::OutlineItem& item : items) {
    PdfOutlineEntry entry{item.name(), level, -1, 0};
    if (const QSharedPointer<const Poppler::LinkDestination> destination = item.destination()) {
      entry.Page = destination->pageNumber() - 1;
      const std::unique_ptr<Poppler::Page> page = document.page(entry.Page);
      if (page && destination->isChangeTop()) entry.Top = destination->top() * page->pageSizeF().height();
    }
    entries.append(entry);
    AddOutline(document, item.children(), level + 1, entries);
  }
}
}  // namespace

QList<PdfOutlineEntry> PdfReader::Outline() const {
  QList<PdfOutlineEntry> entries;
  if (document_) AddOutline(*document_, document_->outline(), 0, entries);
  return entries;
}

QList<PdfLink> PdfReader::Links(int page) const {
  QList<PdfLink> links;
  if (!document_ || page < 0 || page >= document_->numPages()) return links;
  const std::unique_ptr<Poppler::Page> pdfPage = document_->page(page);
  if (!pdfPage) return links;
  const QSizeF size = pdfPage->pageSizeF();
  for (const std::unique_ptr<Poppler::Link>& link : pdfPage->links()) {
    if (link->linkType() != Poppler::Link::Browse) continue;
    const QRectF area = link->linkArea().normalized();
    links.append({QRectF(area.left() * size.width(), area.top() * size.height(), area.width() * size.width(),
                         area.height() * size.height()),
                  static_cast<const Poppler::LinkBrowse&>(*link).url()});
  }
  return links;
}

QString QpdfProblems(const QString& fileName) {
  QProcess check;
  check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), fileName});
  if (!check.waitForFinished(60000)) return QStringLiteral("qpdf did not finish");
  const QString output = QString::fromLocal8Bit(check.readAllStandardOutput() + check.readAllStandardError());
  // Exit status 0 is sound, 3 sound with warnings, 2 errors.
  return check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0 ? QString() : output;
}

QByteArray QpdfDecoded(const QString& fileName) {
  QProcess qpdf;
  qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"),
                                      fileName, QStringLiteral("-")});
  qpdf.waitForFinished(60000);
  return qpdf.readAllStandardOutput();
}

QStringList UnmarkedPainting(const QString& fileName) {
  static const QSet<QByteArray> painting = {"Tj", "TJ", "'",  "\"", "f",  "F",  "f*", "S",
                                            "s",  "B",  "B*", "b",  "b*", "Do", "sh", "BI"};
  const QByteArray decoded = QpdfDecoded(fileName);
  QStringList unmarked;
  qsizetype at = 0;
  int page = 0;
  while ((at = decoded.indexOf("%% Contents for page ", at)) >= 0) {
    ++page;
    const qsizetype start = decoded.indexOf("stream\n", at) + 7;
    const qsizetype end = decoded.indexOf("endstream", start);
    int depth = 0;
    for (const QByteArray& token : decoded.mid(start, end - start).simplified().split(' ')) {
      if (token == "BDC" || token == "BMC") ++depth;
      if (token == "EMC") --depth;
      if (depth == 0 && painting.contains(token))
        unmarked << QStringLiteral("%1 on page %2").arg(QString::fromLatin1(token)).arg(page);
    }
    at = end;
  }
  if (page == 0) unmarked << QStringLiteral("no page read");
  return unmarked;
}

QStringList StructureText(const QString& fileName) {
  QProcess pdfinfo;
  pdfinfo.start(QStringLiteral("pdfinfo"), {QStringLiteral("-struct-text"), fileName});
  pdfinfo.waitForFinished(120000);
  QStringList lines;
  for (const QString& line :
       QString::fromUtf8(pdfinfo.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
    lines << line.simplified();
  return lines;
}

QString TaggingProblems(const QString& fileName) {
  QStringList problems;
  if (const QString qpdf = QpdfProblems(fileName); !qpdf.isEmpty()) problems << qpdf;
  problems << UnmarkedPainting(fileName);
  const QByteArray decoded = QpdfDecoded(fileName);
  for (const char* needed : {"/Lang (", "/StructTreeRoot", "/Marked true", "/DisplayDocTitle true",
                             "<pdfuaid:part>1</pdfuaid:part>", "/ParentTree"}) {
    if (!decoded.contains(needed)) problems << QStringLiteral("no %1").arg(QString::fromLatin1(needed));
  }
  // qpdf writes every object on its own, its dictionary's entries a line each.
  for (const PdfFont& font : PdfReader(fileName).Fonts()) {
    if (!font.Embedded) problems << QStringLiteral("the font %1 is not embedded").arg(font.Name);
  }
  QByteArray flat = decoded;
  flat.replace('\n', ' ');
  for (qsizetype start = 0, end = 0; (end = flat.indexOf("endobj", start)) >= 0; start = end + 6) {
    const QByteArray object = flat.mid(start, end - start);
    if (object.contains("/S /Figure") && !object.contains("/Alt "))
      problems << QStringLiteral("a figure without alternate text");
    if (object.contains("/Subtype /Link") &&
        (!object.contains("/StructParent ") || !object.contains("/Contents ")))
      problems << QStringLiteral("a link outside the structure or without a description");
  }
  return problems.join(QLatin1Char('\n'));
}
