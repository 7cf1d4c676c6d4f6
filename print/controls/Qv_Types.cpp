#include "print/controls/Qv_Types.h"

#include "platform/DrawingContext.h"

#include <QPainter>

namespace {
constexpr TColor BevelGrey = 0x808080;

// The downward arrow of the title bar, as columns from one y to the next (the lower end left out).
struct ArrowColumn {
  int X;
  int FromY;
  int ToY;
};
constexpr ArrowColumn Arrow[] = {{5, 10, 11}, {6, 10, 12},  {7, 4, 13},  {8, 4, 14},
                                 {9, 4, 13},  {10, 10, 12}, {11, 10, 11}};
}  // namespace

TQVCustom::TQVCustom(QWidget* parent) : TCustomPanel(parent) { SetCaption(QString()); }

QRect TQVCustom::ClientRect() const { return QRect(QPoint(0, 19), QPoint(width() - 1, height() - 1)); }

void TQVCustom::paintEvent(QPaintEvent* event) {
  SetCaption(QString());
  TCustomPanel::paintEvent(event);

  QPainter painter(this);
  DrawingContext context(painter);
  context.SetBackgroundMode(TBackgroundMode::Transparent);
  const int w = width();
  const int h = height();
  context.SelectPen(QPen(Qt::black, 1));
  context.SelectBrush(QBrush(ToQColor(Color())));
  context.Rectangle(0, 0, w, h);
  context.SelectBrush(QBrush(ToQColor(clSilver)));
  context.Rectangle(0, 0, w, TitleHeight);

  TFont font;
  font.SetName(QStringLiteral("MS Sans Serif"));
  font.SetSize(7);
  context.SelectFont(font.ToQFont());
  context.SetTextColor(Qt::black);
  context.TextOut(15, 2, Name());

  context.SelectPen(QPen(Qt::white, 1));
  context.MoveTo(1, 18);
  context.LineTo(1, 1);
  context.LineTo(w - 1, 1);
  context.SelectPen(QPen(ToQColor(BevelGrey), 1));
  context.LineTo(w - 1, 18);
  context.LineTo(2, 18);

  context.SelectPen(QPen(Qt::black, 1));
  for (const ArrowColumn& column : Arrow) {
    context.MoveTo(column.X, column.FromY);
    context.LineTo(column.X, column.ToY);
  }
}
