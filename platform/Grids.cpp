#include "platform/Grids.h"

#include "platform/SysUtils.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace {
// How close to a title border the mouse must be to drag it.
constexpr int SizingMargin = 3;

quint64 CellKey(int col, int row) {
  return (static_cast<quint64>(static_cast<quint32>(col)) << 32) | static_cast<quint32>(row);
}
}  // namespace

TStringGrid::TStringGrid(QWidget* parent)
    : QAbstractScrollArea(parent), TControl(clWindow, false, taLeftJustify, bsSingle) {
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
  rowHeights_.assign(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  ApplyColorAndFont();
  viewport()->setAutoFillBackground(true);
  UpdateScrollBars();
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::BorderStyleChanged() {
  setFrameShape(BorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TStringGrid::SetColCount(int count) {
  count = std::max(1, count);
  if (count == colCount_) return;
  colCount_ = count;
  colWidths_.resize(static_cast<std::size_t>(count), defaultColWidth_);
  for (auto it = cells_.begin(); it != cells_.end();) {
    it = static_cast<int>(it.key() >> 32) >= count ? cells_.erase(it) : std::next(it);
  }
  fixedCols_ = std::min(fixedCols_, count - 1);
  MoveTo(std::min(col_, count - 1), row_);
  UpdateScrollBars();
}

void TStringGrid::SetRowCount(int count) {
  count = std::max(1, count);
  if (count == rowCount_) return;
  rowCount_ = count;
  rowHeights_.resize(static_cast<std::size_t>(count), defaultRowHeight_);
  for (auto it = cells_.begin(); it != cells_.end();) {
    it = static_cast<int>(it.key() & 0xFFFFFFFFu) >= count ? cells_.erase(it) : std::next(it);
  }
  fixedRows_ = std::min(fixedRows_, count - 1);
  MoveTo(col_, std::min(row_, count - 1));
  UpdateScrollBars();
}

void TStringGrid::SetFixedCols(int count) {
  fixedCols_ = std::clamp(count, 0, colCount_ - 1);
  leftCol_ = std::max(leftCol_, fixedCols_);
  MoveTo(col_, row_);
  UpdateScrollBars();
}

void TStringGrid::SetFixedRows(int count) {
  fixedRows_ = std::clamp(count, 0, rowCount_ - 1);
  topRow_ = std::max(topRow_, fixedRows_);
  MoveTo(col_, row_);
  UpdateScrollBars();
}

QString TStringGrid::Cells(int col, int row) const { return cells_.value(CellKey(col, row)); }

void TStringGrid::SetCells(int col, int row, const QString& text) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
  if (text.isEmpty())
    cells_.remove(CellKey(col, row));
  else
    cells_.insert(CellKey(col, row), text);
  viewport()->update();
}

void TStringGrid::SetDefaultColWidth(int width) {
  defaultColWidth_ = std::max(0, width);
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
  UpdateScrollBars();
}

void TStringGrid::SetDefaultRowHeight(int height) {
  defaultRowHeight_ = std::max(0, height);
  rowHeights_.assign(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
  UpdateScrollBars();
}

int TStringGrid::ColWidths(int col) const {
  return col >= 0 && col < colCount_ ? colWidths_[static_cast<std::size_t>(col)] : 0;
}

void TStringGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[static_cast<std::size_t>(col)] = std::max(0, width);
  UpdateScrollBars();
}

int TStringGrid::RowHeights(int row) const {
  return row >= 0 && row < rowCount_ ? rowHeights_[static_cast<std::size_t>(row)] : 0;
}

void TStringGrid::SetRowHeights(int row, int height) {
  if (row < 0 || row >= rowCount_) return;
  rowHeights_[static_cast<std::size_t>(row)] = std::max(0, height);
  UpdateScrollBars();
}

void TStringGrid::SetOptions(TGridOptions options) {
  options_ = options;
  if ((options_ & goEditing) == 0) FinishEditing(true);
  UpdateScrollBars();
}

void TStringGrid::SetCol(int col) { MoveTo(col, row_); }

void TStringGrid::SetRow(int row) { MoveTo(col_, row); }

void TStringGrid::SetLeftCol(int col) {
  leftCol_ = std::clamp(col, fixedCols_, LastLeftCol());
  syncing_ = true;
  horizontalScrollBar()->setValue(leftCol_ - fixedCols_);
  syncing_ = false;
  FinishEditing(true);
  viewport()->update();
}

void TStringGrid::SetTopRow(int row) {
  topRow_ = std::clamp(row, fixedRows_, LastTopRow());
  syncing_ = true;
  verticalScrollBar()->setValue(topRow_ - fixedRows_);
  syncing_ = false;
  FinishEditing(true);
  viewport()->update();
}

int TStringGrid::VerticalLine(int col) const {
  return (options_ & (col < fixedCols_ ? goFixedVertLine : goVertLine)) != 0 ? GridLineWidth() : 0;
}

int TStringGrid::HorizontalLine(int row) const {
  return (options_ & (row < fixedRows_ ? goFixedHorzLine : goHorzLine)) != 0 ? GridLineWidth() : 0;
}

int TStringGrid::FixedWidth() const {
  int width = 0;
  for (int col = 0; col < fixedCols_; ++col) width += ColWidths(col) + VerticalLine(col);
  return width;
}

int TStringGrid::FixedHeight() const {
  int height = 0;
  for (int row = 0; row < fixedRows_; ++row) height += RowHeights(row) + HorizontalLine(row);
  return height;
}

int TStringGrid::ColumnLeft(int col) const {
  if (col < 0 || col >= colCount_) return -1;
  if (col < fixedCols_) {
    int x = 0;
    for (int before = 0; before < col; ++before) x += ColWidths(before) + VerticalLine(before);
    return x;
  }
  if (col < leftCol_) return -1;
  int x = FixedWidth();
  for (int before = leftCol_; before < col; ++before) x += ColWidths(before) + VerticalLine(before);
  return x;
}

int TStringGrid::RowTop(int row) const {
  if (row < 0 || row >= rowCount_) return -1;
  if (row < fixedRows_) {
    int y = 0;
    for (int before = 0; before < row; ++before) y += RowHeights(before) + HorizontalLine(before);
    return y;
  }
  if (row < topRow_) return -1;
  int y = FixedHeight();
  for (int before = topRow_; before < row; ++before) y += RowHeights(before) + HorizontalLine(before);
  return y;
}

int TStringGrid::LastTopRow() const {
  // The first row from which the rest of the grid fits below the title rows.
  const int room = viewport()->height() - FixedHeight();
  int used = 0;
  int row = rowCount_ - 1;
  for (; row >= fixedRows_; --row) {
    used += RowHeights(row) + HorizontalLine(row);
    if (used > room) break;
  }
  return std::clamp(row + 1, fixedRows_, rowCount_ - 1);
}

int TStringGrid::LastLeftCol() const {
  const int room = viewport()->width() - FixedWidth();
  int used = 0;
  int col = colCount_ - 1;
  for (; col >= fixedCols_; --col) {
    used += ColWidths(col) + VerticalLine(col);
    if (used > room) break;
  }
  return std::clamp(col + 1, fixedCols_, colCount_ - 1);
}

void TStringGrid::UpdateScrollBars() {
  syncing_ = true;
  const int lastTop = LastTopRow();
  const int lastLeft = LastLeftCol();
  topRow_ = std::clamp(topRow_, fixedRows_, lastTop);
  leftCol_ = std::clamp(leftCol_, fixedCols_, lastLeft);
  verticalScrollBar()->setRange(0, lastTop - fixedRows_);
  verticalScrollBar()->setPageStep(
      std::max(1, (viewport()->height() - FixedHeight()) / std::max(1, defaultRowHeight_)));
  verticalScrollBar()->setValue(topRow_ - fixedRows_);
  horizontalScrollBar()->setRange(0, lastLeft - fixedCols_);
  horizontalScrollBar()->setPageStep(
      std::max(1, (viewport()->width() - FixedWidth()) / std::max(1, defaultColWidth_)));
  horizontalScrollBar()->setValue(leftCol_ - fixedCols_);
  syncing_ = false;
  viewport()->update();
}

void TStringGrid::scrollContentsBy(int, int) {
  if (syncing_) return;
  FinishEditing(true);
  topRow_ = fixedRows_ + verticalScrollBar()->value();
  leftCol_ = fixedCols_ + horizontalScrollBar()->value();
  viewport()->update();
}

void TStringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

QRect TStringGrid::CellRect(int col, int row) const {
  const int x = ColumnLeft(col);
  const int y = RowTop(row);
  if (x < 0 || y < 0) return QRect();
  return QRect(x, y, ColWidths(col), RowHeights(row));
}

bool TStringGrid::MouseToCell(const QPoint& point, int& col, int& row) const {
  col = -1;
  row = -1;
  for (int candidate = 0; candidate < colCount_; ++candidate) {
    const int x = ColumnLeft(candidate);
    if (x >= 0 && point.x() >= x && point.x() < x + ColWidths(candidate) + VerticalLine(candidate))
      col = candidate;
    if (x > point.x()) break;
  }
  for (int candidate = 0; candidate < rowCount_; ++candidate) {
    const int y = RowTop(candidate);
    if (y >= 0 && point.y() >= y && point.y() < y + RowHeights(candidate) + HorizontalLine(candidate))
      row = candidate;
    if (y > point.y()) break;
  }
  return col >= 0 && row >= 0;
}

void TStringGrid::MoveTo(int col, int row) {
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  if (col == col_ && row == row_) return;
  FinishEditing(true);
  col_ = col;
  row_ = row;
  ScrollInView(col, row);
  viewport()->update();
  Q_EMIT SelectCell(col, row);
}

void TStringGrid::ScrollInView(int col, int row) {
  if (row < topRow_) {
    SetTopRow(row);
  } else {
    while (topRow_ < row && RowTop(row) + RowHeights(row) > viewport()->height() && topRow_ < LastTopRow())
      SetTopRow(topRow_ + 1);
  }
  if (col < leftCol_) {
    SetLeftCol(col);
  } else {
    while (leftCol_ < col && ColumnLeft(col) + ColWidths(col) > viewport()->width() &&
           leftCol_ < LastLeftCol())
      SetLeftCol(leftCol_ + 1);
  }
}

void TStringGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect) const {
  const bool fixed = col < fixedCols_ || row < fixedRows_;
  const bool current = !fixed && row == row_ && (col == col_ || (options_ & goRowSelect) != 0);
  QColor text = palette().color(QPalette::Text);
  if (fixed) {
    // Title cells stand out of the grid like buttons.
    painter.fillRect(rect, ToQColor(clBtnFace));
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), ToQColor(clBtnHighlight));
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), ToQColor(clBtnHighlight));
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), ToQColor(clBtnShadow));
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), ToQColor(clBtnShadow));
    text = ToQColor(clBtnText);
  } else if (current && (hasFocus() || (options_ & goDrawFocusSelected) != 0)) {
    painter.fillRect(rect, palette().color(QPalette::Highlight));
    text = palette().color(QPalette::HighlightedText);
  }
  const QString content = CutToShow(Cells(col, row), rect.width());
  if (!content.isEmpty()) {
    painter.setPen(text);
    painter.drawText(rect.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, content);
  }
  if (current && col == col_ && hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect;
    option.backgroundColor = palette().color(QPalette::Highlight);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void TStringGrid::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setFont(font());
  const int width = viewport()->width();
  const int height = viewport()->height();
  const QColor cellLine = ToQColor(clBtnFace);
  const QColor titleLine = ToQColor(clWindowFrame);
  const auto draw = [&](int row) {
    const int y = RowTop(row);
    const int rowHeight = RowHeights(row);
    for (int col = 0; col < colCount_; ++col) {
      const int x = ColumnLeft(col);
      if (x < 0) continue;
      if (x >= width) break;
      const QRect rect(x, y, ColWidths(col), rowHeight);
      DrawCell(painter, col, row, rect);
      const QColor line = col < fixedCols_ || row < fixedRows_ ? titleLine : cellLine;
      if (VerticalLine(col) > 0)
        painter.fillRect(QRect(rect.right() + 1, y, VerticalLine(col), rowHeight + HorizontalLine(row)),
                         line);
      if (HorizontalLine(row) > 0)
        painter.fillRect(QRect(x, rect.bottom() + 1, rect.width() + VerticalLine(col), HorizontalLine(row)),
                         line);
    }
  };
  for (int row = 0; row < fixedRows_; ++row) draw(row);
  for (int row = topRow_; row < rowCount_ && RowTop(row) < height; ++row) draw(row);
}

int TStringGrid::ColumnBorderAt(const QPoint& point) const {
  if ((options_ & goColSizing) == 0 || point.y() >= FixedHeight()) return -1;
  for (int col = 0; col < colCount_; ++col) {
    const int x = ColumnLeft(col);
    if (x < 0) continue;
    const int border = x + ColWidths(col);
    if (std::abs(point.x() - border) <= SizingMargin) return col;
  }
  return -1;
}

int TStringGrid::RowBorderAt(const QPoint& point) const {
  if ((options_ & goRowSizing) == 0 || point.x() >= FixedWidth()) return -1;
  for (int row = 0; row < rowCount_; ++row) {
    const int y = RowTop(row);
    if (y < 0) continue;
    const int border = y + RowHeights(row);
    if (std::abs(point.y() - border) <= SizingMargin) return row;
  }
  return -1;
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint();
  if (event->button() != Qt::LeftButton) return;
  sizingCol_ = ColumnBorderAt(point);
  sizingRow_ = sizingCol_ < 0 ? RowBorderAt(point) : -1;
  if (sizingCol_ >= 0 || sizingRow_ >= 0) return;
  int col = 0;
  int row = 0;
  if (MouseToCell(point, col, row) && col >= fixedCols_ && row >= fixedRows_) MoveTo(col, row);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (sizingCol_ >= 0) {
    SetColWidths(sizingCol_, point.x() - ColumnLeft(sizingCol_));
    return;
  }
  if (sizingRow_ >= 0) {
    SetRowHeights(sizingRow_, point.y() - RowTop(sizingRow_));
    return;
  }
  if (ColumnBorderAt(point) >= 0)
    viewport()->setCursor(Qt::SplitHCursor);
  else if (RowBorderAt(point) >= 0)
    viewport()->setCursor(Qt::SplitVCursor);
  else
    viewport()->unsetCursor();
}

void TStringGrid::mouseReleaseEvent(QMouseEvent*) {
  sizingCol_ = -1;
  sizingRow_ = -1;
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  int col = 0;
  int row = 0;
  if (MouseToCell(event->position().toPoint(), col, row) && col == col_ && row == row_)
    StartEditing(Cells(col_, row_), false);
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
  const int pageRows = std::max(1, verticalScrollBar()->pageStep());
  const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
  switch (event->key()) {
    case Qt::Key_Up: MoveTo(col_, row_ - 1); return;
    case Qt::Key_Down: MoveTo(col_, row_ + 1); return;
    case Qt::Key_Left: MoveTo(col_ - 1, row_); return;
    case Qt::Key_Right: MoveTo(col_ + 1, row_); return;
    case Qt::Key_PageUp: MoveTo(col_, row_ - pageRows); return;
    case Qt::Key_PageDown: MoveTo(col_, row_ + pageRows); return;
    case Qt::Key_Home: MoveTo(fixedCols_, control ? fixedRows_ : row_); return;
    case Qt::Key_End: MoveTo(colCount_ - 1, control ? rowCount_ - 1 : row_); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2: StartEditing(Cells(col_, row_), false); return;
    default: break;
  }
  const QString typed = event->text();
  if (!typed.isEmpty() && typed.at(0).isPrint() && (options_ & goEditing) != 0) {
    StartEditing(typed, true);
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void TStringGrid::StartEditing(const QString& text, bool replace) {
  if ((options_ & goEditing) == 0 || editor_ != nullptr) return;
  const QRect rect = CellRect(col_, row_);
  if (rect.isEmpty()) return;
  editor_ = new QLineEdit(viewport());
  editor_->setFrame(false);
  editor_->setFont(font());
  editor_->setGeometry(rect);
  editor_->setText(text);
  if (!replace) editor_->selectAll();
  editor_->installEventFilter(this);
  editor_->show();
  editor_->setFocus(Qt::OtherFocusReason);
}

void TStringGrid::FinishEditing(bool keep) {
  if (editor_ == nullptr) return;
  QLineEdit* editor = editor_;
  editor_ = nullptr;
  if (keep) SetCells(col_, row_, editor->text());
  editor->removeEventFilter(this);
  editor->hide();
  editor->deleteLater();
  setFocus(Qt::OtherFocusReason);
}

bool TStringGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        FinishEditing(key != Qt::Key_Escape);
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      FinishEditing(true);
    }
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}
