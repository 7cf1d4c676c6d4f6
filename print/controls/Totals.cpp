#include "print/controls/Totals.h"

#include "platform/data/DBGrids.h"

#include <QDate>
#include <QLocale>
#include <QPainter>
#include <QTime>
#include <algorithm>

QString TotalsDateText() { return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat); }

QString TotalsTimeText() { return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat); }

TShowTotal::TShowTotal(QWidget* parent)
    : QWidget(parent), TControl(clBtnFace, false, taRightJustify, bsNone) {
  // A font of its own, so the parent's no longer applies; among Qt's stock widgets it is the font of the
  // words beside it, so a value and its label print alike.
  TFont font = Font();
  font.SetName(QStringLiteral("Arial"));
  if (parent != nullptr && dynamic_cast<TControl*>(parent) == nullptr) font = FromQFont(parent->font());
  SetFont(font);
  resize(100, 29);
  ApplyColorAndFont();
}

void TShowTotal::SetSourceGrid(QAbstractItemView* grid) { sourceGrid_ = grid; }

void TShowTotal::SetTotalType(TTotals type) {
  totalType_ = type;
  update();
}

void TShowTotal::SetText(const QString& text) {
  text_ = text;
  update();
}

void TShowTotal::SetShowOnForm(bool show) {
  showOnForm_ = show;
  update();
}

QString TShowTotal::ScreenText() const {
  switch (totalType_) {
    case tDate: return TotalsDateText();
    case tTime: return TotalsTimeText();
    default: return text_;
  }
}

QSize TShowTotal::sizeHint() const {
  const QFontMetrics metrics(Font().ToQFont());
  int width = metrics.horizontalAdvance(ScreenText());
  if (totalType_ == tPageTotal || totalType_ == tAccTotal) {
    const QString format = displayFormat_.isEmpty() ? QStringLiteral("#,##0.00") : displayFormat_;
    width = std::max(width, metrics.horizontalAdvance(FormatFloat(format, 9999999.99)));
  }
  if (totalType_ == tPageNumber) width = std::max(width, metrics.horizontalAdvance(QStringLiteral("9999")));
  // The text stands 5 pixels from the left or 10 from the right, 2 or more from the top and bottom.
  return {width + 15, metrics.height() + 6};
}

void TShowTotal::paintEvent(QPaintEvent*) {
  if (!showOnForm_) return;
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(Color()));
  if (BorderStyle() == bsSingle) {
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  const TFont font = Font();
  painter.setFont(font.ToQFont());
  painter.setPen(ToQColor(font.Color()));
  const QString text = ScreenText();
  const int textWidth = painter.fontMetrics().horizontalAdvance(text);
  int x = 5;
  if (Alignment() == taRightJustify) x = width() - textWidth - 10;
  if (Alignment() == taCenter) x = (width() - textWidth) / 2;
  // On the box's middle line, as on paper.
  const QFontMetrics& metrics = painter.fontMetrics();
  painter.drawText(std::max(0, x), std::max(2, (height() - metrics.height()) / 2) + metrics.ascent(), text);
}
