// The program's own PDF writer against Qt's: recorded pages played into a real PDF file by the printer
// object, read back with Poppler, checked with qpdf.
#include "platform/PagePicture.h"
#include "platform/PageRecording.h"
#include "platform/Printers.h"
#include "platform/RecordPlayer.h"
#include "platform/pdf/PdfFile.h"
#include "tests/platform/PrinterTestSupport.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WriterComparison.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QXmlStreamReader>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>
#include <functional>

namespace {

constexpr int Dpi = 300;

class PdfWriterTest : public ::testing::Test {
protected:
  void SetUp() override { UseTestPrinter({TPrinter::PdfPrinterName()}, 0, Dpi); }
  void TearDown() override {
    if (Printer().Printing()) Printer().Abort();
    Printer().RefreshPrinters();
  }

  /** Prints the pages, each drawn by its routine onto a recorded page, into the file. */
  static void PrintPages(const QString& file, const std::vector<std::function<void(QPainter&)>>& pages) {
    Printer().SetPdfOutput(file, Dpi);
    Printer().BeginDoc(QStringLiteral("Writer test"));
    for (std::size_t index = 0; index < pages.size(); ++index) {
      if (index > 0) Printer().NewPage();
      PagePicture page;
      QPainter& painter = page.BeginRecording();
      pages[index](painter);
      page.EndRecording();
      Printer().DrawPage(page);
    }
    Printer().EndDoc();
  }

  ScratchDirectory scratch_;
};

QFont PixelFont(const QString& family, int pixels) {
  QFont font(family);
  font.setPixelSize(pixels);
  return font;
}

// Everything a page can hold but text and pictures: rules of every width and dash, fills with and without
// alpha, shapes, clips that replace and intersect, transforms that scale and turn.
void DrawShapes(QPainter& painter) {
  painter.fillRect(QRect(100, 100, 2000, 3), Qt::black);
  for (int width = 0; width <= 6; width += 2) {
    QPen pen(Qt::darkBlue, width);
    for (const Qt::PenStyle style : {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine}) {
      pen.setStyle(style);
      painter.setPen(pen);
      painter.drawLine(100, 200 + width * 40 + style * 8, 1000, 200 + width * 40 + style * 8);
    }
  }
  painter.setPen(QPen(Qt::red, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(QColor(0, 128, 0, 128));
  painter.drawRect(1200, 200, 400, 300);
  painter.drawEllipse(QRectF(1700, 200, 500, 300));
  const QPointF star[] = {{1300, 700}, {1400, 1000}, {1150, 800}, {1450, 800}, {1200, 1000}};
  painter.drawPolygon(star, 5, Qt::OddEvenFill);
  painter.drawPolyline(star, 5);
  QPainterPath path;
  path.moveTo(1700, 700);
  path.cubicTo(1900, 600, 2000, 1100, 2200, 900);
  path.lineTo(2200, 1100);
  path.closeSubpath();
  painter.drawPath(path);
  painter.setPen(QPen(Qt::black, 12));
  const QPointF dots[] = {{300, 1300}, {400, 1300}, {500, 1300}};
  painter.drawPoints(dots, 3);

  painter.save();
  painter.setClipRect(QRect(200, 1400, 600, 400));
  painter.setClipRegion(QRegion(400, 1500, 600, 600), Qt::IntersectClip);
  painter.fillRect(QRect(0, 1300, 1200, 900), QColor(200, 50, 50));
  painter.restore();
  painter.save();
  painter.translate(1600, 1600);
  painter.rotate(30);
  painter.scale(2, 2);
  painter.setPen(QPen(Qt::darkMagenta, 3));
  painter.setBrush(Qt::yellow);
  painter.drawRect(0, 0, 200, 100);
  painter.setOpacity(0.5);
  painter.fillRect(QRect(50, 50, 200, 100), Qt::blue);
  painter.restore();
}

// Pictures of every kind: with alpha, cut from a larger one, one bit deep (drawn in the pen's colour), tiled.
void DrawPictures(QPainter& painter) {
  QImage picture(40, 30, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgba(x * 6, y * 8, 100, 80 + x * 4));
  painter.drawImage(QRectF(200, 2200, 400, 300), picture);
  painter.drawPixmap(QRectF(700, 2200, 400, 300), QPixmap::fromImage(picture), QRectF(10, 5, 20, 20));
  QBitmap mask(16, 16);
  mask.fill(Qt::color0);
  {
    QPainter bits(&mask);
    bits.fillRect(4, 4, 8, 8, Qt::color1);
  }
  painter.setPen(Qt::darkGreen);
  painter.drawPixmap(QRectF(1200, 2200, 320, 320), mask, QRectF(0, 0, 16, 16));
  painter.drawTiledPixmap(QRectF(1600, 2200, 700, 500), QPixmap::fromImage(picture), QPointF(7, 3));
}

TEST_F(PdfWriterTest, ShapesAndClipsLookAsQtDrawsThem) {
  const QStringList problems =
      PrintThroughBothWriters(scratch_.Path(), [](const QString& file) { PrintPages(file, {DrawShapes}); });
  EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

// Qt's PDF writer draws pictures with alpha and one-bit pictures otherwise than its painter does on the
// screen (paler, grey); the program's writer is held to the painter.
TEST_F(PdfWriterTest, PicturesLookAsThePainterPaintsThem) {
  const QString file = scratch_.File(QStringLiteral("pictures.pdf"));
  PrintPages(file, {DrawPictures});
  const QImage printed = PdfReader(file).RenderSmooth(0, Dpi);
  QImage painted(printed.size(), QImage::Format_RGB32);
  painted.fill(Qt::white);
  {
    QPainter painter(&painted);
    // The printable area starts at the paper's margin, which the printed page shows.
    const QRect printable = Printer().QtPrinter().pageLayout().paintRectPixels(Dpi);
    painter.translate(printable.topLeft());
    DrawPictures(painter);
  }
  int compared = 0;
  // Inside the pictures, off the rows where the tiles meet (a sharp edge is a matter of a pixel's sampling).
  for (int y = 2212; y < 2700; y += 37) {
    for (int x = 210; x < 2300; x += 41) {
      const QPoint at = Printer().QtPrinter().pageLayout().paintRectPixels(Dpi).topLeft() + QPoint(x, y);
      const QColor expected = painted.pixelColor(at);
      const QColor actual = printed.pixelColor(at);
      const int difference = std::abs(expected.red() - actual.red()) +
                             std::abs(expected.green() - actual.green()) +
                             std::abs(expected.blue() - actual.blue());
      EXPECT_LE(difference, 30) << x << "," << y << " printed " << actual.name().toStdString() << " painted "
                                << expected.name().toStdString();
      ++compared;
    }
  }
  EXPECT_GT(compared, 100);
}

// The lines of text in every kind of script; each comes back from the PDF as its characters.
const QStringList ScriptLines = {
    QStringLiteral("Office affluent flow AVATAR Wave Typography"),
    QStringLiteral("Größe Straße Äpfel Übermut"),
    QStringLiteral("Ελληνικά γράμματα"),
    QStringLiteral("Кириллица и текст"),
    QStringLiteral("עברית מימין לשמאל"),
    QStringLiteral("العربية من اليمين"),
    QStringLiteral("中文汉字 日本語"),
    QStringLiteral("Cafe\u0301 na\u0308ive"),
    QStringLiteral("Latin and 中文 together"),
};

void DrawScripts(QPainter& painter) {
  painter.setPen(Qt::black);
  painter.setFont(PixelFont(QStringLiteral("Arial"), 60));
  int y = 200;
  for (const QString& line : ScriptLines) {
    // As the program draws its texts, kept by their characters; and once as the painter draws them.
    if (!RecordText(painter, QPointF(200, y), line)) painter.drawText(QPointF(200, y), line);
    painter.drawText(QPointF(200, y + 100), line);
    y += 250;
  }
}

TEST_F(PdfWriterTest, TextInEveryScriptComesBackAsItsCharacters) {
  const QString file = scratch_.File(QStringLiteral("scripts.pdf"));
  PrintPages(file, {DrawScripts});
  const PdfReader pdf(file);
  ASSERT_EQ(pdf.PageCount(), 1);
  const QString text = pdf.Text(0).normalized(QString::NormalizationForm_C);
  for (const QString& line : ScriptLines) {
    const QString normal = line.normalized(QString::NormalizationForm_C);
    // Kept by its characters, a line comes back whole and in order; drawn by the painter in pieces, each
    // word comes back (right to left, the pieces in the order they stand on the page).
    EXPECT_TRUE(text.contains(normal)) << line.toStdString() << " in " << text.toStdString();
    for (const QString& word : normal.split(QLatin1Char(' ')))
      EXPECT_GE(text.count(word), 2) << word.toStdString() << " in " << text.toStdString();
  }
  EXPECT_GE(pdf.Fonts().size(), 3)
      << "Arial's stand-in, a fallback for the scripts it lacks, one for Chinese";
  for (const PdfFont& font : pdf.Fonts())
    EXPECT_TRUE(font.Embedded && font.Subset) << font.Name.toStdString();
  EXPECT_EQ(pdf.Information(QStringLiteral("Producer")), QStringLiteral("Quenary Print"));
}

TEST_F(PdfWriterTest, TextLooksAsQtDrawsIt) {
  const QStringList problems = PrintThroughBothWriters(
      scratch_.Path(), [](const QString& file) { PrintPages(file, {DrawScripts}); },
      QStringLiteral("[\\x{0590}-\\x{06FF}\\x{FB50}-\\x{FEFF}]"));
  EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

// Drawing the writer cannot express (a composition mode PDF lacks) is never drawn wrong: on the canvas of the
// own writer, the sheet is drawn by Qt onto a picture of itself.
TEST_F(PdfWriterTest, DrawingTheWriterCannotExpressIsDrawnAsAPictureOfTheSheet) {
  const auto draw = [](QPainter& painter) {
    painter.fillRect(QRect(100, 100, 900, 600), Qt::black);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter.fillRect(QRect(400, 300, 300, 200), Qt::black);
  };
  const QString own = scratch_.File(QStringLiteral("own.pdf"));
  PrintPages(own, {draw});
  const QImage page = PdfReader(own).Render(0, Dpi);
  ASSERT_FALSE(page.isNull());
  // The ink's top left is the first fill's; the second cut a hole into it.
  QPoint corner(-1, -1);
  for (int y = 0; y < page.height() && corner.x() < 0; ++y)
    for (int x = 0; x < page.width() && corner.x() < 0; ++x)
      if (qGray(page.pixel(x, y)) < 128) corner = QPoint(x, y);
  ASSERT_GE(corner.x(), 0) << "nothing drawn";
  EXPECT_LT(qGray(page.pixel(corner + QPoint(150, 150))), 128);
  EXPECT_GT(qGray(page.pixel(corner + QPoint(450, 300))), 128) << "the hole";
  EXPECT_LT(qGray(page.pixel(corner + QPoint(850, 550))), 128);
}

}  // namespace

namespace {
// The file's own bytes: the catalogue and the information dictionary are written as plain text.
QByteArray FileBytes(const QString& file) {
  QFile pdf(file);
  return pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
}

// A PDF says what it is: the title a viewer shows as its window's title, the author and subject set, the
// language for screen readers (the program's locale unless set), and the program and version that made it.
TEST_F(PdfWriterTest, ADocumentSaysItsTitleAuthorSubjectLanguageAndMaker) {
  const QString versionBefore = QCoreApplication::applicationVersion();
  QCoreApplication::setApplicationVersion(QStringLiteral("7.8.9"));
  const TDocumentInformation before = Printer().DocumentInformation();
  const auto draw = [](QPainter& painter) { painter.fillRect(QRect(100, 100, 50, 50), Qt::black); };

  Printer().SetDocumentInformation({QStringLiteral("Ledger for 2027"), QStringLiteral("Ada Lovelace"),
                                    QStringLiteral("Household accounts"), QStringLiteral("de-DE")});
  const QString set = scratch_.File(QStringLiteral("set.pdf"));
  PrintPages(set, {draw});
  Printer().SetDocumentInformation({});
  const QString unset = scratch_.File(QStringLiteral("unset.pdf"));
  PrintPages(unset, {draw});
  Printer().SetDocumentInformation(before);
  QCoreApplication::setApplicationVersion(versionBefore);

  const PdfReader withEntries(set);
  EXPECT_EQ(withEntries.Information(QStringLiteral("Title")), QStringLiteral("Ledger for 2027"));
  EXPECT_EQ(withEntries.Information(QStringLiteral("Author")), QStringLiteral("Ada Lovelace"));
  EXPECT_EQ(withEntries.Information(QStringLiteral("Subject")), QStringLiteral("Household accounts"));
  EXPECT_TRUE(withEntries.Information(QStringLiteral("Creator")).endsWith(QStringLiteral(" 7.8.9")));
  const QByteArray bytes = FileBytes(set);
  EXPECT_TRUE(bytes.contains("/DisplayDocTitle true"));
  EXPECT_TRUE(bytes.contains("/Lang (de-DE)"));

  // Unset, the title is the document's name, the language the program's, and no empty entries stand.
  const PdfReader without(unset);
  EXPECT_EQ(without.Information(QStringLiteral("Title")), QStringLiteral("Writer test"));
  const QByteArray plain = FileBytes(unset);
  EXPECT_TRUE(plain.contains("/Lang (" + QLocale().bcp47Name().toLatin1() + ")"));
  EXPECT_FALSE(plain.contains("/Author"));
  EXPECT_FALSE(plain.contains("/Subject"));
}

// A document's outline entries lead to their pages and places, nested by their levels; its links open
// their web and mail addresses over their areas, and nothing else becomes a link.
TEST_F(PdfWriterTest, OutlineEntriesLeadToTheirPlacesByLevelAndOnlyWebAndMailLinksOpen) {
  const QString file = scratch_.File(QStringLiteral("outline.pdf"));
  PrintPages(file,
             {[](QPainter& painter) {
                EXPECT_TRUE(RecordOutlineEntry(painter, QPointF(100, 150), 0, QStringLiteral("Accounts")));
                RecordOutlineEntry(painter, QPointF(100, 600), 1, QStringLiteral("Januar – März"));
                RecordLink(painter, QRectF(300, 300, 600, 90), QStringLiteral("https://example.org/a b"));
                RecordLink(painter, QRectF(300, 500, 600, 90), QStringLiteral("mailto:ada@example.org"));
                RecordLink(painter, QRectF(300, 700, 600, 90), QStringLiteral("javascript:print()"));
                RecordLink(painter, QRectF(300, 900, 600, 90), QStringLiteral("file:///etc/passwd"));
              },
              [](QPainter& painter) {
                painter.translate(0, 300);  // recorded under the painter's transform
                RecordOutlineEntry(painter, QPointF(100, 0), 1, QStringLiteral("April"));
                RecordOutlineEntry(painter, QPointF(100, 300), 3, QStringLiteral("Week 15"));
                RecordOutlineEntry(painter, QPointF(100, 900), 0, QStringLiteral("Summary"));
              }});
  EXPECT_EQ(QpdfProblems(file), QString());
  const PdfReader pdf(file);
  const QList<PdfOutlineEntry> outline = pdf.Outline();
  QStringList read;
  for (const PdfOutlineEntry& entry : outline)
    read << QStringLiteral("%1 %2 p%3").arg(entry.Level).arg(entry.Title).arg(entry.Page + 1);
  // A level deeper than the one before nests under it.
  EXPECT_EQ(read, (QStringList{"0 Accounts p1", "1 Januar – März p1", "1 April p2", "2 Week 15 p2",
                               "0 Summary p2"}));
  ASSERT_EQ(outline.size(), 5);
  constexpr double PointsPerPixel = 72.0 / Dpi;
  EXPECT_NEAR(outline[1].Top - outline[0].Top, 450 * PointsPerPixel, 0.01);
  EXPECT_NEAR(outline[2].Top - outline[0].Top, 150 * PointsPerPixel, 0.01);

  const QList<PdfLink> links = pdf.Links(0);
  ASSERT_EQ(links.size(), 2) << "only the web and the mail address";
  EXPECT_EQ(links[0].Target, QStringLiteral("https://example.org/a%20b"));
  EXPECT_EQ(links[1].Target, QStringLiteral("mailto:ada@example.org"));
  EXPECT_NEAR(links[0].Box.width(), 600 * PointsPerPixel, 0.01);
  EXPECT_NEAR(links[1].Box.top() - links[0].Box.top(), 200 * PointsPerPixel, 0.01);
  EXPECT_NEAR(links[0].Box.top() - outline[0].Top, 150 * PointsPerPixel, 0.01);
  EXPECT_TRUE(pdf.Links(1).isEmpty());
}

// The file as qpdf writes it with every stream decoded and every object on its own, to read its dictionaries.

// The text of the first element of that name in the XMP metadata.
QString MetadataEntry(const QByteArray& decoded, const QString& name) {
  const qsizetype start = decoded.indexOf("<?xpacket begin");
  QXmlStreamReader xml(decoded.mid(start, decoded.indexOf("<?xpacket end", start) - start + 20));
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.qualifiedName() == name) {
      QString text;
      while (!(xml.readNext() == QXmlStreamReader::EndElement && xml.qualifiedName() == name) && !xml.atEnd())
        text += xml.text();
      return text.trimmed();
    }
  }
  return QStringLiteral("(none)");
}

// An archival file says so in metadata that agrees with its information, carries the sRGB profile its
// colours mean, an identifier, and fonts embedded with every glyph mapped; an ordinary file has the same
// metadata without the claim.
TEST_F(PdfWriterTest, AnArchivalFileNamesItsStandardCarriesItsColourProfileAndEmbedsItsFonts) {
  const auto draw = [](QPainter& painter) {
    painter.setFont(PixelFont(QStringLiteral("Liberation Sans"), 60));
    painter.drawText(QPointF(100, 200), QStringLiteral("Ledger <2027> & Co."));
    painter.fillRect(QRect(100, 300, 400, 100), QColor(200, 40, 40, 128));
  };
  const TDocumentInformation before = Printer().DocumentInformation();
  Printer().SetDocumentInformation(
      {QStringLiteral("Ledger <2027> & Co."), QStringLiteral("Ada"), QString(), QString()});
  const QString archival = scratch_.File(QStringLiteral("archival.pdf"));
  Printer().SetPdfArchival(true);
  PrintPages(archival, {draw});
  Printer().SetPdfArchival(false);
  const QString ordinary = scratch_.File(QStringLiteral("ordinary.pdf"));
  PrintPages(ordinary, {draw});
  Printer().SetDocumentInformation(before);

  for (const QString& file : {archival, ordinary}) {
    SCOPED_TRACE(file.toStdString());
    EXPECT_EQ(QpdfProblems(file), QString());
    const QByteArray decoded = QpdfDecoded(file);
    const PdfReader pdf(file);
    EXPECT_EQ(MetadataEntry(decoded, QStringLiteral("dc:title")), pdf.Information(QStringLiteral("Title")));
    EXPECT_EQ(MetadataEntry(decoded, QStringLiteral("dc:creator")), QStringLiteral("Ada"));
    EXPECT_EQ(MetadataEntry(decoded, QStringLiteral("xmp:CreatorTool")),
              pdf.Information(QStringLiteral("Creator")));
    EXPECT_EQ(MetadataEntry(decoded, QStringLiteral("pdf:Producer")),
              pdf.Information(QStringLiteral("Producer")));
    EXPECT_TRUE(decoded.contains("/ID ["));
    const bool archived = file == archival;
    EXPECT_EQ(MetadataEntry(decoded, QStringLiteral("pdfaid:part")), archived ? "2" : "(none)");
    EXPECT_EQ(MetadataEntry(decoded, QStringLiteral("pdfaid:conformance")), archived ? "U" : "(none)");
    EXPECT_EQ(decoded.contains("/OutputIntents"), archived);
    if (archived) {
      EXPECT_TRUE(decoded.contains("/S /GTS_PDFA1"));
      // The profile describes a display's RGB: its header says so.
      EXPECT_TRUE(decoded.contains("mntrRGB XYZ ")) << "an RGB display profile";
      for (const PdfFont& font : pdf.Fonts()) EXPECT_TRUE(font.Embedded) << font.Name.toStdString();
    }
  }
}

// A tagged document's structure reads back in the order it was drawn, with its roles, alternate text and
// title cells' scope, over pages; everything drawn outside the structure is an artifact, nothing unmarked.
TEST_F(PdfWriterTest, ATaggedDocumentsStructureReadsBackInOrderAndNothingDrawnIsUnmarked) {
  const auto text = [](QPainter& painter, int y, const QString& words) {
    painter.setFont(PixelFont(QStringLiteral("Liberation Sans"), 40));
    painter.drawText(QPointF(100, y), words);
  };
  const auto element = [](QPainter& painter, const QString& role, const std::function<void()>& inside,
                          const QString& alt = QString(), quint8 scope = 0) {
    EXPECT_TRUE(RecordStructureStart(painter, {role, alt, QString(), scope}));
    inside();
    RecordStructureEnd(painter);
  };
  const QString file = scratch_.File(QStringLiteral("tagged.pdf"));
  Printer().SetPdfTagged(true);
  PrintPages(file, {[&](QPainter& painter) {
                      // An element begun inside an artifact is the artifact's too.
                      RecordArtifactStart(painter, TArtifactKind::Pagination);
                      element(painter, "P", [&] { text(painter, 60, QStringLiteral("Running head")); });
                      RecordArtifactEnd(painter);
                      element(painter, "H1", [&] { text(painter, 150, QStringLiteral("Accounts")); });
                      painter.drawLine(100, 170, 900, 170);  // marked nowhere: a layout artifact
                      element(painter, "P", [&] {
                        text(painter, 250, QStringLiteral("First words"));
                        text(painter, 300, QStringLiteral("and more"));
                      });
                      element(painter, "Table", [&] {
                        element(painter, "TR", [&] {
                          element(
                              painter, "TH", [&] { text(painter, 400, QStringLiteral("Date")); }, {}, 1);
                        });
                        element(painter, "TR", [&] {
                          element(painter, "TD", [&] { text(painter, 450, QStringLiteral("2026-01-02")); });
                        });
                      });
                      element(
                          painter, "Figure",
                          [&] { painter.fillRect(QRect(100, 500, 100, 100), Qt::darkRed); },
                          QStringLiteral("The firm's seal"));
                    },
                    [&](QPainter& painter) {
                      element(painter, "P", [&] { text(painter, 150, QStringLiteral("Second page")); });
                    }});
  Printer().SetPdfTagged(false);

  EXPECT_EQ(QpdfProblems(file), QString());
  EXPECT_EQ(UnmarkedPainting(file), QStringList());
  const QByteArray decoded = QpdfDecoded(file);
  EXPECT_TRUE(decoded.contains("/MarkInfo") && decoded.contains("/StructTreeRoot"));
  // qpdf writes a string's hexadecimal digits in lower case.
  EXPECT_TRUE(decoded.contains("/S /Figure") &&
              decoded.contains("/Alt " + Pdf::TextString("The firm's seal").toLower()));
  const QStringList read = StructureText(file);
  // Roles and their texts in reading order, the title cell with its scope; the running head and the rule
  // are no part of it.
  const QStringList expected = {"Document",
                                "H1 (block)",
                                "\"Accounts\"",
                                "P (block)",
                                "\"First wordsand more\"",
                                "Table (block)",
                                "TR",
                                "TH:",
                                "/Scope /Column",
                                "\"Date\"",
                                "TR",
                                "TD",
                                "\"2026-01-02\"",
                                "Figure",
                                "\"\"",
                                "P (block)",
                                "\"Second page\""};
  EXPECT_EQ(read, expected) << read.join('\n').toStdString();
  EXPECT_FALSE(read.join(' ').contains(QStringLiteral("Running head")));
}

}  // namespace
