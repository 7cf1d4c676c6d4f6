#include "platform/ExtCtrls.h"

#include <QButtonGroup>
#include <QEvent>
#include <QPainter>
#include <QRadioButton>
#include <QResizeEvent>
#include <algorithm>

namespace {
Qt::PenStyle ToQtPenStyle(TPenStyle style) {
  switch (style) {
    case psSolid: return Qt::SolidLine;
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    case psInsideFrame: return Qt::SolidLine;
  }
  return Qt::SolidLine;
}

Qt::BrushStyle ToQtBrushStyle(TBrushStyle style) {
  switch (style) {
    case bsSolid: return Qt::SolidPattern;
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

void DrawHorizontal(QPainter& painter, int left, int right, int y, const QColor& color) {
  if (right >= left) painter.fillRect(QRect(left, y, right - left + 1, 1), color);
}

void DrawVertical(QPainter& painter, int x, int top, int bottom, const QColor& color) {
  if (bottom >= top) painter.fillRect(QRect(x, top, 1, bottom - top + 1), color);
}

// A bevel outline whose corners belong to the colours as the framework draws them: the top right and bottom
// left corner pixels go to the second colour.
void DrawBevelRect(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight) {
  DrawVertical(painter, rect.left(), rect.top(), rect.bottom() - 1, topLeft);
  DrawHorizontal(painter, rect.left(), rect.right() - 1, rect.top(), topLeft);
  DrawVertical(painter, rect.right(), rect.top(), rect.bottom(), bottomRight);
  DrawHorizontal(painter, rect.left(), rect.right(), rect.bottom(), bottomRight);
}

void BevelColors(TPanelBevel bevel, const QColor& face, QColor& topLeft, QColor& bottomRight) {
  const QColor highlight = ToQColor(clBtnHighlight);
  const QColor shadow = ToQColor(clBtnShadow);
  switch (bevel) {
    case bvLowered:
      topLeft = shadow;
      bottomRight = highlight;
      break;
    case bvRaised:
      topLeft = highlight;
      bottomRight = shadow;
      break;
    case bvNone:
    case bvSpace:
      topLeft = face;
      bottomRight = face;
      break;
  }
}
}  // namespace

QRect DrawFrame3D(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight,
                  int width) {
  QRect edge = rect;
  for (int ring = 0; ring < width && edge.width() > 0 && edge.height() > 0; ++ring) {
    DrawBevelRect(painter, edge, topLeft, bottomRight);
    edge.adjust(1, 1, -1, -1);
  }
  return edge;
}

TCustomPanel::TCustomPanel(QWidget* parent) : QWidget(parent), TControl(clBtnFace, false, taCenter, bsNone) {
  ApplyColorAndFont();
}

TPanel::TPanel(QWidget* parent) : TCustomPanel(parent) {}

void TCustomPanel::SetBevelOuter(TPanelBevel bevel) {
  bevelOuter_ = bevel;
  update();
}

void TCustomPanel::SetBevelInner(TPanelBevel bevel) {
  bevelInner_ = bevel;
  update();
}

void TCustomPanel::SetBevelWidth(int width) {
  bevelWidth_ = std::max(1, width);
  update();
}

void TCustomPanel::SetBorderWidth(int width) {
  borderWidth_ = std::max(0, width);
  update();
}

QRect TCustomPanel::InnerRect() const {
  int inset = borderWidth_ + (BorderStyle() == bsSingle ? 1 : 0);
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  return rect().adjusted(inset, inset, -inset, -inset);
}

void TCustomPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor face = ToQColor(Color());
  QRect area = rect();
  QColor topLeft;
  QColor bottomRight;
  if (BorderStyle() == bsSingle) {
    const QColor frame = ToQColor(clWindowFrame);
    area = DrawFrame3D(painter, area, frame, frame, 1);
  }
  if (bevelOuter_ == bvLowered && bevelWidth_ > 1) {
    // A wide sunken edge darkens towards its outside, so it reads as sunk into any surface, also a light one.
    BevelColors(bevelOuter_, face, topLeft, bottomRight);
    const QColor dark = ToQColor(cl3DDkShadow);
    for (int line = 0; line < bevelWidth_; ++line) {
      const double share = static_cast<double>(line) / bevelWidth_;
      const QColor shade = QColor::fromRgbF(dark.redF() + (topLeft.redF() - dark.redF()) * share,
                                            dark.greenF() + (topLeft.greenF() - dark.greenF()) * share,
                                            dark.blueF() + (topLeft.blueF() - dark.blueF()) * share);
      area = DrawFrame3D(painter, area, shade, bottomRight, 1);
    }
  } else if (bevelOuter_ != bvNone) {
    BevelColors(bevelOuter_, face, topLeft, bottomRight);
    area = DrawFrame3D(painter, area, topLeft, bottomRight, bevelWidth_);
  }
  area = DrawFrame3D(painter, area, face, face, borderWidth_);
  if (bevelInner_ != bvNone) {
    BevelColors(bevelInner_, face, topLeft, bottomRight);
    area = DrawFrame3D(painter, area, topLeft, bottomRight, bevelWidth_);
  }
  painter.fillRect(area, face);
  if (!Caption().isEmpty()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(area, static_cast<int>(ToQtAlignment(Alignment(), tlCenter)) | Qt::TextSingleLine,
                     Caption());
  }
}

TImage::TImage(QWidget* parent) : QWidget(parent), TControl(clBtnFace, true, taLeftJustify, bsNone) {
  ApplyColorAndFont();
}

void TImage::SetPicture(const TPicture& picture) {
  picture_ = picture;
  update();
}

void TImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void TImage::SetCenter(bool center) {
  center_ = center;
  update();
}

QRect TImage::PictureRect() const { return picture_.PlacedIn(rect(), stretch_, center_); }

void TImage::paintEvent(QPaintEvent*) {
  if (picture_.Empty()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, stretch_);
  painter.setClipRect(rect());
  picture_.Draw(painter, PictureRect());
}

TShape::TShape(QWidget* parent) : QWidget(parent), TControl(clBtnFace, true, taLeftJustify, bsNone) {
  ApplyColorAndFont();
}

void TShape::SetShape(TShapeType shape) {
  shape_ = shape;
  update();
}

void TShape::SetPen(const TPen& pen) {
  pen_ = pen;
  update();
}

void TShape::SetBrush(const TBrush& brush) {
  brush_ = brush;
  update();
}

QRect TShape::FigureRect() const {
  const int penWidth = std::max(0, pen_.Width);
  int x = penWidth / 2;
  int y = x;
  int w = width() - penWidth + 1;
  int h = height() - penWidth + 1;
  if (penWidth == 0) {
    --w;
    --h;
  }
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    const int side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = side;
    h = side;
  }
  return QRect(x, y, std::max(0, w), std::max(0, h));
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect figure = FigureRect();
  if (figure.isEmpty()) return;
  QPen pen(ToQColor(pen_.Color));
  pen.setStyle(ToQtPenStyle(pen_.Style));
  pen.setWidth(std::max(1, pen_.Width));
  pen.setJoinStyle(Qt::MiterJoin);
  pen.setCapStyle(Qt::SquareCap);
  painter.setPen(pen);
  painter.setBrush(QBrush(ToQColor(brush_.Color), ToQtBrushStyle(brush_.Style)));
  // The outline runs through the centres of the figure's edge pixels, so a 1-pixel pen covers exactly the
  // edge pixels and a wider pen grows to both sides of them.
  const QRectF outline(figure.left() + 0.5, figure.top() + 0.5, figure.width() - 1.0, figure.height() - 1.0);
  switch (shape_) {
    case stRectangle:
    case stSquare: painter.drawRect(outline); break;
    case stRoundRect:
    case stRoundSquare: {
      const double radius = std::min(figure.width(), figure.height()) / 4 / 2.0;
      painter.drawRoundedRect(outline, radius, radius);
      break;
    }
    case stEllipse:
    case stCircle: painter.drawEllipse(outline); break;
  }
}

TBevel::TBevel(QWidget* parent) : QWidget(parent), TControl(clBtnFace, true, taLeftJustify, bsNone) {
  ApplyColorAndFont();
}

void TBevel::SetShape(TBevelShape shape) {
  shape_ = shape;
  update();
}

void TBevel::SetStyle(TBevelStyle style) {
  style_ = style;
  update();
}

void TBevel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor highlight = ToQColor(clBtnHighlight);
  const QColor shadow = ToQColor(clBtnShadow);
  const QColor first = style_ == bsLowered ? shadow : highlight;
  const QColor second = style_ == bsLowered ? highlight : shadow;
  const int right = width() - 1;
  const int bottom = height() - 1;
  switch (shape_) {
    case bsBox: DrawBevelRect(painter, rect(), first, second); break;
    case bsFrame:
      DrawBevelRect(painter, QRect(1, 1, width() - 1, height() - 1), second, second);
      DrawBevelRect(painter, QRect(0, 0, width() - 1, height() - 1), first, first);
      break;
    case bsTopLine:
      DrawHorizontal(painter, 0, right, 0, first);
      DrawHorizontal(painter, 0, right, 1, second);
      break;
    case bsBottomLine:
      DrawHorizontal(painter, 0, right, bottom - 1, first);
      DrawHorizontal(painter, 0, right, bottom, second);
      break;
    case bsLeftLine:
      DrawVertical(painter, 0, 0, bottom, first);
      DrawVertical(painter, 1, 0, bottom, second);
      break;
    case bsRightLine:
      DrawVertical(painter, right - 1, 0, bottom, first);
      DrawVertical(painter, right, 0, bottom, second);
      break;
    case bsSpacer: break;
  }
}

TCustomRadioGroup::TCustomRadioGroup(QWidget* parent)
    : TCustomGroupBox(parent), group_(new QButtonGroup(this)) {
  connect(group_, &QButtonGroup::idClicked, this, [this](int index) {
    ItemPicked(index);
    Q_EMIT Click();
  });
}

void TCustomRadioGroup::SetItems(const QStringList& items) {
  for (QRadioButton* button : buttons_) delete button;
  buttons_.clear();
  items_ = items;
  for (int index = 0; index < items_.size(); ++index) {
    auto* button = new QRadioButton(items_.at(index), this);
    group_->addButton(button, index);
    buttons_.push_back(button);
    if (isVisible()) button->show();
  }
  itemIndex_ = -1;
  ArrangeButtons();
}

void TCustomRadioGroup::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(buttons_.size())) index = -1;
  itemIndex_ = index;
  if (index >= 0) {
    buttons_[static_cast<std::size_t>(index)]->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked; letting go of all needs the rule lifted for a moment.
  group_->setExclusive(false);
  for (QRadioButton* button : buttons_) button->setChecked(false);
  group_->setExclusive(true);
}

void TCustomRadioGroup::SetColumns(int columns) {
  columns_ = std::clamp(columns, 1, 16);
  ArrangeButtons();
}

QRadioButton* TCustomRadioGroup::Button(int index) const {
  if (index < 0 || index >= static_cast<int>(buttons_.size())) return nullptr;
  return buttons_[static_cast<std::size_t>(index)];
}

void TCustomRadioGroup::ItemPicked(int index) { itemIndex_ = index; }

void TCustomRadioGroup::resizeEvent(QResizeEvent* event) {
  TCustomGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void TCustomRadioGroup::changeEvent(QEvent* event) {
  TCustomGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  // Below the caption the items share the height in rows and the width in columns, filled column by column.
  const int count = static_cast<int>(buttons_.size());
  const int rows = (count + columns_ - 1) / columns_;
  const int top = fontMetrics().height();
  const int columnWidth = std::max(1, (width() - 10) / columns_);
  const int rowHeight = std::max(1, (height() - top - 4) / rows);
  for (int index = 0; index < count; ++index) {
    QRadioButton* button = buttons_[static_cast<std::size_t>(index)];
    const int buttonHeight = std::min(rowHeight, button->sizeHint().height());
    const int column = index / rows;
    const int row = index % rows;
    button->setGeometry(8 + column * columnWidth, top + row * rowHeight + (rowHeight - buttonHeight) / 2,
                        columnWidth - 4, buttonHeight);
  }
}

TRadioGroup::TRadioGroup(QWidget* parent) : TCustomRadioGroup(parent) {}
