#include "print/controls/Qv_lab.h"

#include "platform/DrawingContext.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {
constexpr TColor OutlineGrey = 0x808080;

void Outline(DrawingContext& context, const QColor& color, std::initializer_list<QPoint> corners) {
  context.SelectPen(QPen(color, 1));
  const QPoint* first = corners.begin();
  context.MoveTo(first->x(), first->y());
  for (const QPoint* corner = first + 1; corner != corners.end(); ++corner)
    context.LineTo(corner->x(), corner->y());
}
}  // namespace

TQV_Label::TQV_Label(QWidget* parent) : TLabel(parent) {
  TFont font = Font();
  font.SetName(QStringLiteral("Arial"));
  SetFont(font);
  SetTransparent(true);
}

void TQV_Label::SetStyle(TStyle style) {
  style_ = style;
  update();
}

void TQV_Label::SetShadowOffset(int offset) {
  shadowOffset_ = offset;
  update();
}

void TQV_Label::SetShadowColor(TColor color) {
  shadowColor_ = color;
  repaint();
}

void TQV_Label::SetPrintBkColor(TColor color) {
  printBkColor_ = color;
  repaint();
}

QString TQV_Label::PaddedCaption() const { return QLatin1Char(' ') + Caption() + QLatin1Char(' '); }

void TQV_Label::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawingContext context(painter);
  context.SetBackgroundMode(TBackgroundMode::Transparent);
  QRect client = rect();
  if (!Transparent()) painter.fillRect(client, ToQColor(Color()));

  int flags = static_cast<int>(ToQtAlignment(Alignment())) | Qt::TextExpandTabs;
  if (WordWrap()) flags |= Qt::TextWordWrap;
  if (ShowAccelChar()) flags |= Qt::TextShowMnemonic;
  painter.setFont(font());
  const QColor fontColor = ToQColor(Font().Color());
  const QColor enabledColor = Enabled() ? fontColor : ToQColor(clGrayText);
  const QColor shadowColor = ToQColor(shadowColor_);
  const auto draw = [&painter, flags](const QRect& area, int offset, const QColor& color,
                                      const QString& text) {
    painter.setPen(color);
    painter.drawText(area.translated(offset, offset), flags, text);
  };

  switch (style_) {
    case stNormal: draw(client, 0, fontColor, Caption()); return;
    case stShadow:
      draw(client, shadowOffset_, shadowColor, Caption());
      draw(client, 0, enabledColor, Caption());
      return;
    case stRaised:
      draw(client, 1, shadowColor, Caption());
      draw(client, -1, fontColor, Caption());
      return;
    case stSunken:
      draw(client, 1, ToQColor(clBtnHighlight), Caption());
      draw(client, -1, fontColor, Caption());
      return;
    case stBlockShadow:
    case stButton: break;
  }

  const QString text = PaddedCaption();
  const QFontMetrics metrics = painter.fontMetrics();
  const QRect needed = metrics.boundingRect(QRect(), flags & ~Qt::TextWordWrap, text);
  int textWidth = 0;
  for (const QString& line : (ShowAccelChar() ? WithoutAccelMarks(text) : text).split(QLatin1Char('\n')))
    textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
  if (textWidth > Width()) {
    SetWidth(textWidth);
    client.setWidth(textWidth);
  }
  const int left = client.left();
  const int top = client.top();
  int right = left + client.width();
  int bottom = top + client.height();
  // The text stands in the middle of the box by the framework's halving, toward zero.
  const auto drawCentred = [&](int boxLeft, int boxRight, int boxBottom) {
    const int textTop = (boxBottom - needed.height()) / 2;
    draw(QRect(boxLeft, textTop, boxRight - boxLeft, boxBottom - textTop), 0, enabledColor, text);
  };

  if (style_ == stBlockShadow) {
    const int offset = shadowOffset_;
    painter.fillRect(QRect(QPoint(left + offset, top + offset), QPoint(right - 1, bottom - 1)), shadowColor);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - offset - 1, bottom - offset - 1)),
                     ToQColor(Color()));
    drawCentred(left, right - offset, bottom - offset);
    Outline(context, ToQColor(OutlineGrey),
            {{left, top},
             {right - offset, top},
             {right - offset, bottom - offset},
             {left, bottom - offset},
             {left, top}});
    return;
  }

  painter.fillRect(client, ToQColor(Color()));
  drawCentred(left, right, bottom);
  --right;
  --bottom;
  Outline(context, ToQColor(OutlineGrey),
          {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}});
  Outline(context, Qt::white, {{left + 1, bottom - 1}, {left + 1, top + 1}, {right - 1, top + 1}});
  Outline(context, ToQColor(OutlineGrey),
          {{right - 1, top + 1}, {right - 1, bottom - 1}, {left + 1, bottom - 1}});
}
