#include "platform/PageRecording.h"

#include "platform/DrawingContext.h"
#include "tests/platform/PixelTestSupport.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>
#include <QWidget>
#include <functional>
#include <limits>
#include <gtest/gtest.h>

namespace {

using Scene = std::function<void(QPainter&)>;

QImage Direct(const Scene& scene, int dotsPerInch = 96) {
  QImage image = WhiteImage(640, 480);
  image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
  QPainter painter(&image);
  scene(painter);
  return image;
}

QByteArray Record(const Scene& scene) {
  TPageRecorder recorder;
  {
    QPainter painter(&recorder);
    scene(painter);
  }
  return recorder.TakeRecording();
}

QImage Played(const QByteArray& recording, int dotsPerInch = 96, bool* whole = nullptr) {
  QImage image = WhiteImage(640, 480);
  image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
  QPainter painter(&image);
  const bool played = PlayRecording(painter, recording);
  if (whole != nullptr) *whole = played;
  return image;
}

// Every kind of drawing the painter hands its device, with the state that shapes it: pens and brushes of
// every kind (pattern, gradient, texture, dashes of its own).
void Shapes(QPainter& painter) {
  painter.fillRect(10, 10, 60, 30, QColor(200, 30, 30));
  painter.setPen(QPen(Qt::blue, 3, Qt::DashLine));
  painter.drawLine(10, 50, 200, 60);
  painter.setBrush(QBrush(Qt::darkGreen, Qt::DiagCrossPattern));
  painter.drawRect(80, 10, 60, 30);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.drawEllipse(QRectF(150.5, 10.25, 50, 30));
  QPainterPath path;
  path.moveTo(220, 10);
  path.cubicTo(260, 0, 280, 60, 320, 20);
  path.lineTo(320, 50);
  path.closeSubpath();
  painter.drawPath(path);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QPoint star[] = {{350, 10}, {380, 60}, {330, 25}, {390, 25}, {340, 60}};
  painter.setBrush(Qt::yellow);
  painter.drawPolygon(star, 5, Qt::OddEvenFill);
  painter.drawPolyline(star, 5);
  painter.setPen(QPen(Qt::black, 4));
  const QPointF dots[] = {{410, 10}, {420, 20}, {430.5, 30.5}};
  painter.drawPoints(dots, 3);

  QPixmap pixmap(16, 12);
  pixmap.fill(Qt::magenta);
  painter.drawPixmap(QRect(10, 80, 32, 24), pixmap);
  painter.drawTiledPixmap(QRect(50, 80, 70, 40), pixmap, QPoint(3, 2));
  QBitmap mask(8, 8);
  mask.fill(Qt::color0);
  {
    QPainter maskPainter(&mask);
    maskPainter.fillRect(2, 2, 4, 4, Qt::color1);
  }
  painter.setPen(Qt::darkCyan);
  painter.drawPixmap(130, 80, mask);
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(QColor(20, 120, 220));
  painter.drawImage(QRectF(150, 80, 40, 40), image, QRectF(5, 5, 10, 10));

  painter.save();
  // A clip reaching far beyond any page still covers it once played.
  painter.setClipRect(
      QRect(-(1 << 30), -(1 << 30), std::numeric_limits<int>::max(), std::numeric_limits<int>::max()));
  painter.fillRect(470, 130, 40, 40, Qt::darkYellow);
  painter.restore();
  painter.save();
  painter.setClipRect(200, 80, 40, 40);
  painter.fillRect(180, 70, 100, 100, Qt::darkRed);
  painter.restore();
  painter.save();
  painter.translate(300, 100);
  painter.rotate(30);
  painter.fillRect(0, 0, 50, 20, Qt::darkBlue);
  painter.setOpacity(0.5);
  painter.fillRect(0, 30, 50, 20, Qt::darkBlue);
  painter.restore();
  QLinearGradient linear(0, 150, 100, 150);
  linear.setColorAt(0, Qt::red);
  linear.setColorAt(1, Qt::blue);
  painter.fillRect(10, 140, 100, 30, linear);
  QRadialGradient radial(QPointF(160, 155), 30, QPointF(150, 150));
  radial.setColorAt(0, Qt::white);
  radial.setColorAt(1, Qt::darkGreen);
  radial.setSpread(QGradient::ReflectSpread);
  painter.fillRect(120, 140, 80, 30, radial);
  painter.fillRect(210, 140, 60, 30, QConicalGradient(240, 155, 45));
  painter.fillRect(280, 140, 60, 30, QBrush(image));
  QPen dashes(QBrush(Qt::darkMagenta), 5, Qt::CustomDashLine, Qt::RoundCap, Qt::SvgMiterJoin);
  dashes.setDashPattern({1, 2, 4, 2});
  dashes.setDashOffset(1.5);
  painter.setPen(dashes);
  painter.setBrush(Qt::NoBrush);
  const QPoint zigzag[] = {{350, 150}, {370, 170}, {390, 140}, {410, 170}};
  painter.drawPolyline(zigzag, 4);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::yellow);
  painter.fillRect(400, 80, 60, 40, QBrush(Qt::black, Qt::Dense5Pattern));
}

// Text as the page device and the rich-text rule draw it: at a point in a pixel-sized and a point-sized
// font, underlined, turned, and a justified paragraph.
void Texts(QPainter& painter) {
  QFont pixels(QStringLiteral("Liberation Sans"));
  pixels.setPixelSize(24);
  painter.setFont(pixels);
  painter.drawText(QPointF(10, 30), QStringLiteral("Total: 422 AVAWAY"));
  QFont points(QStringLiteral("Liberation Serif"));
  points.setPointSize(14);
  points.setUnderline(true);
  painter.setFont(points);
  painter.drawText(QPointF(10, 70), QStringLiteral("Marie Curie, underlined"));
  painter.save();
  painter.translate(500, 200);
  painter.rotate(-90);
  painter.setFont(pixels);
  painter.drawText(QPointF(0, 0), QStringLiteral("Turned"));
  painter.restore();
  QTextDocument document;
  document.setDefaultFont(pixels);
  document.setTextWidth(400);
  document.setHtml(QStringLiteral(
      "<p align=justify>The numbers of a name are added letter by letter, and the total is read in its "
      "hundreds, tens and units; each part has a meaning of its own and the reading joins them.</p>"));
  painter.translate(10, 100);
  document.drawContents(&painter);
}

// The left and right ends of the ink on each row: where text and its spacing stand.
std::vector<std::pair<int, int>> InkEnds(const QImage& image) {
  std::vector<std::pair<int, int>> ends;
  for (int y = 0; y < image.height(); ++y) {
    const std::vector<int> columns = InkColumns(image, y);
    ends.emplace_back(columns.empty() ? -1 : columns.front(), columns.empty() ? -1 : columns.back());
  }
  return ends;
}

TEST(PageRecording, ShapesPlayPixelForPixelAsThePainterDrewThem) {
  bool whole = false;
  const QImage played = Played(Record(Shapes), 96, &whole);
  EXPECT_TRUE(whole);
  EXPECT_EQ(played, Direct(Shapes));
}

TEST(PageRecording, TextPlaysWhereItWasDrawnAtItsSizeAndWidthOnADeviceOfAnyResolution) {
  const QImage direct = Direct(Texts);
  const std::vector<std::pair<int, int>> expected = InkEnds(direct);
  const QByteArray recording = Record(Texts);
  for (const int dotsPerInch : {96, 600}) {
    SCOPED_TRACE(dotsPerInch);
    const std::vector<std::pair<int, int>> ends = InkEnds(Played(recording, dotsPerInch));
    for (int y = 0; y < direct.height(); ++y) {
      EXPECT_NEAR(ends[y].first, expected[y].first, 1) << "row " << y;
      EXPECT_NEAR(ends[y].second, expected[y].second, 1) << "row " << y;
    }
  }
}

// Texts recorded by their characters alone, as the drawing context records them, between every kind of
// state change a page makes before a text: a new pen, a clip, a turn undone by a restore, opacity. The
// painter must hand each change to the recording before the text, and only once.
void TextsAmongStateChanges(QPainter& painter,
                            const std::function<void(const QPointF&, const QString&)>& text) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(20);
  painter.setFont(font);
  for (int round = 0; round < 2; ++round) {  // the second round plays texts met before
    const int top = round * 220;
    painter.setPen(Qt::red);
    text(QPointF(10, top + 30), QStringLiteral("Total 422 AVAWAY"));
    painter.setPen(QPen(Qt::blue, 3));
    painter.drawLine(10, top + 40, 300, top + 40);
    painter.setPen(Qt::darkGreen);
    text(QPointF(10, top + 70), QStringLiteral("after a line"));
    painter.save();
    painter.setClipRect(QRect(10, top + 80, 60, 40));
    text(QPointF(10, top + 110), QStringLiteral("clipped to its column"));
    painter.translate(400, top + 200);
    painter.rotate(-90);
    text(QPointF(0, 0), QStringLiteral("Turned"));
    painter.restore();
    text(QPointF(10, top + 150), QStringLiteral("unclipped and upright again"));
    painter.setOpacity(0.5);
    text(QPointF(10, top + 180), QStringLiteral("half seen"));
    painter.setOpacity(1);
  }
}

TEST(PageRecording, TextRecordedByItsCharactersPlaysAsThePainterDrawsItAfterEveryStateChange) {
  const QImage direct = Direct([](QPainter& painter) {
    TextsAmongStateChanges(painter,
                           [&](const QPointF& at, const QString& text) { painter.drawText(at, text); });
  });
  int recorded = 0;
  const QByteArray recording = Record([&](QPainter& painter) {
    TextsAmongStateChanges(painter, [&](const QPointF& at, const QString& text) {
      if (RecordText(painter, at, text)) {
        ++recorded;
      } else {
        painter.drawText(at, text);
      }
    });
  });
  EXPECT_EQ(recorded, 12);
  EXPECT_EQ(Played(recording), direct);

  // Only a recording takes a text this way, and only a text the painter needs no drawing of its own for.
  QImage image = WhiteImage(40, 40);
  QPainter onImage(&image);
  EXPECT_FALSE(RecordText(onImage, QPointF(5, 20), QStringLiteral("A")));
  TPageRecorder recorder;
  QPainter painter(&recorder);
  EXPECT_FALSE(RecordText(painter, QPointF(5, 20), QStringLiteral("A\tB")));
  QFont underlined = painter.font();
  underlined.setUnderline(true);
  painter.setFont(underlined);
  EXPECT_FALSE(RecordText(painter, QPointF(5, 20), QStringLiteral("A")));
}

// A widget painted into the page by QWidget::render, the way a control without a print rule of its own is
// captured: under the page's scale and offset and a clip to its place, it paints fills around a save and a
// restore of a clip of its own. Each fill lands where the widget painted it straight into an image.
class SavingWidget : public QWidget {
protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.save();
    painter.setClipRect(QRect(2, 2, 20, 20), Qt::IntersectClip);
    painter.fillRect(QRect(2, 2, 20, 20), Qt::darkRed);
    painter.restore();
    painter.fillRect(QRect(24, 24, 20, 20), Qt::darkBlue);
  }
};

TEST(PageRecording, AWidgetRenderedUnderAScaleAndAClipPlaysAsItPaintsAfterARestore) {
  SavingWidget widget;
  widget.resize(50, 50);
  const Scene captured = [&widget](QPainter& painter) {
    painter.translate(100, 60);
    painter.scale(3.125, 3.125);
    painter.setClipRect(QRect(0, 0, 50, 50));
    widget.render(&painter, QPoint(), QRegion(), QWidget::RenderFlags());
  };
  const QImage direct = Direct(captured);
  ASSERT_TRUE(ContainsColour(direct, QRect(200, 160, 40, 40), QColor(Qt::darkBlue).rgb()));
  EXPECT_EQ(Played(Record(captured)), direct);
}

// A page is recorded before its document knows how many pages it has: a text showing the count is placed
// when the page plays, at the point its alignment names, exactly where the number written out would be.
TEST(PageRecording, ATextShowingThePageCountPlaysAsTheCountWrittenOutAtEveryAlignment) {
  const auto texts = [](QPainter& painter, const QString& count) {
    DrawingContext context(painter);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(18);
    context.SelectFont(font);
    const std::vector<std::pair<TTextAlign, int>> anchors = {
        {TTextAlign::Left, 20}, {TTextAlign::Right, 600}, {TTextAlign::Center, 320}};
    int top = 20;
    for (const auto& [align, x] : anchors) {
      context.SetTextAlign(align);
      context.TextOut(x, top, "Page 2 of " + count);
      context.TextOut(x, top + 40, count + " pages");
      top += 100;
    }
  };
  const QString mark{QChar(PageCountMark)};
  const QByteArray counted = Record([&](QPainter& painter) { texts(painter, mark); });
  for (const int count : {3, 1024}) {
    SCOPED_TRACE(count);
    QImage played = WhiteImage(640, 480);
    {
      QPainter painter(&played);
      EXPECT_TRUE(PlayRecording(painter, counted, count));
    }
    EXPECT_EQ(played, Played(Record([&](QPainter& painter) { texts(painter, QString::number(count)); })));
  }
  // Played where no document is counted, the count is left out.
  EXPECT_EQ(Played(counted), Played(Record([&](QPainter& painter) { texts(painter, QString()); })));
}

// The player never trusts a list: one cut off or with a record it does not know stops where the damage is,
// having drawn what came before.
TEST(PageRecording, ADamagedListPlaysUpToTheDamageAndSaysItIsNotWhole) {
  const QByteArray recording = Record(Shapes);
  bool whole = true;
  const QImage unknown = Played(recording + QByteArray(1, '\xEE'), 96, &whole);
  EXPECT_FALSE(whole);
  EXPECT_EQ(unknown, Direct(Shapes));
  for (qsizetype length = recording.size() - 1; length > 0; length -= 13) {
    Played(recording.left(length), 96, &whole);
    if (length == recording.size() - 1) {
      EXPECT_FALSE(whole) << "the last record cut short";
    }
  }
  Played(QByteArray(), 96, &whole);
  EXPECT_TRUE(whole) << "an empty page";
}

}  // namespace
