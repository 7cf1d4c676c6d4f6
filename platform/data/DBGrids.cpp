#include "platform/data/DBGrids.h"

#include "platform/Application.h"
#include "platform/data/Fields.h"
#include "platform/SysUtils.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <limits>

namespace {
// The indicator marks the current record, as the framework's grid does with its arrow.
const QString IndicatorMark = QStringLiteral("\u25B6");
const QColor LineColor(0xC0, 0xC0, 0xC0);
}  // namespace

// The grid's records as Qt's table model: rows are the data set's records once the grid is shown, each read
// only when it comes into view.
class TDBGridModel : public QAbstractTableModel {
public:
  explicit TDBGridModel(TDBGrid& grid) : grid_(grid) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    const TDataSet* dataSet = grid_.DataSet();
    if (parent.isValid() || dataSet == nullptr || !dataSet->Active() || !grid_.everShown_) return 0;
    return static_cast<int>(std::min<qint64>(dataSet->RecordCount(), std::numeric_limits<int>::max()));
  }

  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : grid_.Columns().Count();
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.column() >= grid_.Columns().Count()) return QVariant();
    TColumn& column = grid_.Columns().Items(index.column());
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue(ToQtAlignment(column.Alignment(), tlCenter));
    if (role != Qt::DisplayRole) return QVariant();
    TDataSet* dataSet = grid_.DataSet();
    const TField* field = column.Field();
    if (dataSet == nullptr || field == nullptr) return QVariant();
    try {
      const TRecordScope scope(*dataSet, index.row());
      // The view elides what does not fit; a cell never hands it more than its column could show.
      return CutToShow(field->DisplayText(), column.Width());
    } catch (const Exception&) {
      // A record that cannot be read shows empty; painting has nobody to tell.
      return QVariant();
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Vertical) {
      if (role == Qt::DisplayRole) return section == grid_.indicatorRow_ ? IndicatorMark : QString();
      return QVariant();
    }
    if (section < 0 || section >= grid_.Columns().Count()) return QVariant();
    switch (role) {
      case Qt::DisplayRole: return grid_.Columns().Items(section).Title();
      case Qt::FontRole: return grid_.titleFont_.ToQFont();
      case Qt::ForegroundRole: return ToQColor(grid_.titleFont_.Color());
      // A title stands as its column's cells, so an amount's title is over the amounts.
      case Qt::TextAlignmentRole:
        return QVariant::fromValue(ToQtAlignment(grid_.Columns().Items(section).Alignment(), tlCenter));
      default: return QVariant();
    }
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
  }

  void Reset() {
    beginResetModel();
    endResetModel();
  }
  void IndicatorMoved(qint64 from, qint64 to) {
    if (from >= 0 && from < rowCount()) Q_EMIT headerDataChanged(Qt::Vertical, int(from), int(from));
    if (to >= 0 && to < rowCount()) Q_EMIT headerDataChanged(Qt::Vertical, int(to), int(to));
  }

private:
  TDBGrid& grid_;
};

// Hands every cell to the grid, which draws it with its record current for the fields.
class TDBGridDelegate : public QStyledItemDelegate {
public:
  explicit TDBGridDelegate(TDBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    grid_.PaintCell(*painter, option, index);
  }
  void BasePaint(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyledItemDelegate::paint(&painter, option, index);
  }

private:
  TDBGrid& grid_;
};

void TColumn::SetFieldName(const QString& fieldName) {
  fieldName_ = fieldName;
  grid_.ColumnsChanged();
}

TField* TColumn::Field() const {
  TDataSet* dataSet = grid_.DataSet();
  if (dataSet == nullptr || !dataSet->Active()) return nullptr;
  return dataSet->FindField(fieldName_);
}

int TColumn::Width() const { return width_ ? *width_ : grid_.DefaultColumnWidth(*this); }

void TColumn::SetWidth(int width) {
  width_ = std::max(0, width);
  grid_.ApplyColumns();
}

bool TColumn::Visible() const {
  if (visible_) return *visible_;
  const TField* field = Field();
  return field == nullptr || field->Visible();
}

void TColumn::SetVisible(bool visible) {
  visible_ = visible;
  grid_.ApplyColumns();
}

QString TColumn::Title() const {
  if (title_) return *title_;
  const TField* field = Field();
  return field != nullptr ? field->DisplayLabel() : fieldName_;
}

void TColumn::SetTitle(const QString& title) {
  title_ = title;
  grid_.ApplyColumns();
}

TAlignment TColumn::Alignment() const {
  if (alignment_) return *alignment_;
  const TField* field = Field();
  return field != nullptr ? field->Alignment() : taLeftJustify;
}

void TColumn::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  grid_.viewport()->update();
}

TColumn& TDBGridColumns::Add() {
  if (state_ == csDefault) items_.clear();
  state_ = csCustomized;
  items_.push_back(std::unique_ptr<TColumn>(new TColumn(grid_, Count())));
  grid_.ColumnsChanged();
  return *items_.back();
}

void TDBGridColumns::Clear() {
  items_.clear();
  state_ = csDefault;
  Rebuild();
  grid_.ColumnsChanged();
}

bool TDBGridColumns::Rebuild() {
  if (state_ != csDefault) return false;
  QStringList names;
  if (const TDataSet* dataSet = grid_.DataSet(); dataSet != nullptr && dataSet->Active()) {
    for (int index = 0; index < dataSet->FieldCount(); ++index)
      names.append(dataSet->Fields(index)->FieldName());
  }
  QStringList current;
  for (const auto& column : items_) current.append(column->FieldName());
  // The same fields keep their columns, and so the widths the user gave them.
  if (names == current || names.isEmpty()) return false;
  items_.clear();
  for (const QString& name : names) {
    items_.push_back(std::unique_ptr<TColumn>(new TColumn(grid_, Count())));
    items_.back()->fieldName_ = name;
  }
  return true;
}

TDBGrid::TDBGrid(QWidget* parent)
    : QTableView(parent),
      TControl(clWindow, false, taLeftJustify, bsSingle),
      columns_(*this),
      model_(std::make_unique<TDBGridModel>(*this)),
      delegate_(new TDBGridDelegate(*this)) {
  ApplyColorAndFont();
  titleFont_ = Font();
  setModel(model_.get());
  setItemDelegate(delegate_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  // Columns scroll by pixels, so any column can be made the leftmost one.
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);
  horizontalHeader()->setMouseTracking(true);
  horizontalHeader()->setSectionsMovable(false);
  // The mouse reaches the title row and the indicator column through their headers' viewports.
  for (QWidget* part : {static_cast<QWidget*>(horizontalHeader()), horizontalHeader()->viewport(),
                        static_cast<QWidget*>(verticalHeader()), verticalHeader()->viewport(), viewport()}) {
    part->installEventFilter(this);
  }
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (!syncing_ && column < columns_.Count()) columns_.Items(column).width_ = width;
  });
  connect(verticalHeader(), &QHeaderView::sectionResized, this, [this] {
    if (!syncing_) RowHeightsChanged();
  });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { Q_EMIT TitleClick(column); });
  SetDefaultRowHeight(fontMetrics().height() + 4);
  ApplyOptions();
}

TDBGrid::~TDBGrid() {
  for (const auto& connection : connections_) disconnect(connection);
  setModel(nullptr);
}

TDataSet* TDBGrid::DataSet() const {
  if (source_ == nullptr || !source_->Enabled()) return nullptr;
  return source_->DataSet();
}

void TDBGrid::SetDataSource(TDataSource* source) {
  for (const auto& connection : connections_) disconnect(connection);
  connections_.clear();
  source_ = source;
  if (source != nullptr) {
    connections_.push_back(connect(source, &TDataSource::DataChange, this, [this] { RecordChanged(); }));
    connections_.push_back(connect(source, &TDataSource::DataSetChange, this, [this] { DataSetChanged(); }));
    connections_.push_back(connect(source, &TDataSource::StateChange, this, [this] { DataSetChanged(); }));
    connections_.push_back(connect(source, &QObject::destroyed, this, [this] { DataSetChanged(); }));
  }
  DataSetChanged();
}

void TDBGrid::SetOptions(TDBGridOptions options) {
  options_ = options;
  ApplyOptions();
  ApplyColumns();
}

void TDBGrid::SetTitleFont(const TFont& font) {
  titleFont_ = font;
  horizontalHeader()->setFont(font.ToQFont());
  Q_EMIT model_->headerDataChanged(Qt::Horizontal, 0, std::max(0, columns_.Count() - 1));
  ApplyColumns();
}

int TDBGrid::DefaultRowHeight() const { return verticalHeader()->defaultSectionSize(); }

void TDBGrid::SetDefaultRowHeight(int height) {
  height = std::max(1, height);
  syncing_ = true;
  verticalHeader()->setMinimumSectionSize(std::min(height, 4));
  verticalHeader()->setDefaultSectionSize(height);
  // Rows sized one by one take the new height too: every row is the default height again.
  verticalHeader()->resizeSections(QHeaderView::Fixed);
  verticalHeader()->setSectionResizeMode(rowSizing_ ? QHeaderView::Interactive : QHeaderView::Fixed);
  syncing_ = false;
}

void TDBGrid::SetRowSizing(bool rowSizing) {
  rowSizing_ = rowSizing;
  verticalHeader()->setSectionResizeMode(rowSizing ? QHeaderView::Interactive : QHeaderView::Fixed);
}

int TDBGrid::TitleRowHeight() const {
  if ((options_ & dgTitles) == 0) return 0;
  const QHeaderView* header = horizontalHeader();
  if (header->minimumHeight() > 0 && header->minimumHeight() == header->maximumHeight())
    return header->minimumHeight();
  return header->sizeHint().height();
}

void TDBGrid::SetTitleRowHeight(int height) {
  horizontalHeader()->setFixedHeight(std::max(1, height));
  updateGeometries();
}

int TDBGrid::IndicatorWidth() const {
  return (options_ & dgIndicator) != 0 ? verticalHeader()->minimumWidth() : 0;
}

int TDBGrid::SelectedIndex() const { return currentIndex().isValid() ? currentIndex().column() : 0; }

void TDBGrid::SetSelectedIndex(int column) {
  if (column < 0 || column >= columns_.Count()) return;
  const int row = currentIndex().isValid() ? currentIndex().row() : 0;
  if (row >= model_->rowCount()) return;
  syncing_ = true;
  setCurrentIndex(model_->index(row, column));
  syncing_ = false;
}

int TDBGrid::LeftCol() const {
  const int column = horizontalHeader()->logicalIndexAt(0);
  return column < 0 ? 0 : column;
}

void TDBGrid::SetLeftCol(int column) {
  if (column < 0 || column >= columns_.Count()) return;
  updateGeometries();  // the scroll range follows column widths only once the view has laid itself out
  horizontalScrollBar()->setValue(horizontalHeader()->sectionPosition(column));
}

int TDBGrid::ColumnAt(int x) const {
  const int indicator = IndicatorWidth();
  if (x < indicator) return -1;
  return horizontalHeader()->logicalIndexAt(x - indicator);
}

int TDBGrid::ColumnLeft(int column) const {
  if (column < 0 || column >= columns_.Count() || isColumnHidden(column)) return -1;
  return IndicatorWidth() + horizontalHeader()->sectionViewportPosition(column);
}

QHeaderView& TDBGrid::TitleBar() const { return *horizontalHeader(); }

QPoint TDBGrid::GridPoint(const QWidget& widget, const QPoint& point) const {
  return widget.mapTo(this, point) - QPoint(frameWidth(), frameWidth());
}

void TDBGrid::MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TDBGrid::MouseMove(Qt::KeyboardModifiers, int, int) {}
void TDBGrid::MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TDBGrid::DblClick() {}

bool TDBGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* part = qobject_cast<QWidget*>(watched);
  if (part != nullptr &&
      (part == horizontalHeader() || part == horizontalHeader()->viewport() || part == verticalHeader() ||
       part == verticalHeader()->viewport() || part == viewport())) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ||
        type == QEvent::MouseButtonDblClick) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint point = GridPoint(*part, mouse->position().toPoint());
      switch (type) {
        case QEvent::MouseButtonPress:
          MouseDown(mouse->button(), mouse->modifiers(), point.x(), point.y());
          break;
        case QEvent::MouseButtonDblClick:
          // As the framework has it: the second press of a double click, then the double click itself.
          MouseDown(mouse->button(), mouse->modifiers(), point.x(), point.y());
          DblClick();
          break;
        case QEvent::MouseButtonRelease:
          MouseUp(mouse->button(), mouse->modifiers(), point.x(), point.y());
          break;
        default: MouseMove(mouse->modifiers(), point.x(), point.y()); break;
      }
    }
  }
  return QTableView::eventFilter(watched, event);
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid() || (previous.isValid() && current.row() == previous.row())) return;
  TDataSet* dataSet = DataSet();
  if (dataSet == nullptr || !dataSet->Active()) return;
  // While the data set's controls are disabled (a print job walks it), a click must not move it.
  if (dataSet->ControlsDisabled()) {
    syncing_ = true;
    setCurrentIndex(previous);
    syncing_ = false;
    return;
  }
  try {
    dataSet->SetRecNo(current.row() + 1);
  } catch (const Exception& error) {
    Application().HandleException(error);
  }
}

void TDBGrid::showEvent(QShowEvent* event) {
  if (!everShown_) {
    everShown_ = true;
    DataSetChanged();
  }
  QTableView::showEvent(event);
}

void TDBGrid::DataSetChanged() {
  columns_.Rebuild();
  syncing_ = true;
  model_->Reset();
  syncing_ = false;
  indicatorRow_ = -1;
  ApplyColumns();
  RecordChanged();
}

void TDBGrid::ColumnsChanged() {
  syncing_ = true;
  model_->Reset();
  syncing_ = false;
  ApplyColumns();
  RecordChanged();
}

void TDBGrid::RecordChanged() {
  const TDataSet* dataSet = DataSet();
  const qint64 row = dataSet != nullptr && dataSet->Active() ? dataSet->RecNo() - 1 : -1;
  const qint64 previous = indicatorRow_;
  indicatorRow_ = row;
  model_->IndicatorMoved(previous, row);
  if (row < 0 || row >= model_->rowCount() || columns_.Count() == 0) return;
  const int column = currentIndex().isValid() ? currentIndex().column() : std::max(0, LeftCol());
  syncing_ = true;
  const QModelIndex index = model_->index(static_cast<int>(row), std::min(column, columns_.Count() - 1));
  setCurrentIndex(index);
  scrollTo(index, QAbstractItemView::EnsureVisible);
  syncing_ = false;
}

int TDBGrid::DefaultColumnWidth(const TColumn& column) const {
  const TField* field = column.Field();
  int width =
      field != nullptr ? field->DisplayWidth() * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4 : 64;
  if ((options_ & dgTitles) != 0)
    width = std::max(width, QFontMetrics(titleFont_.ToQFont()).horizontalAdvance(column.Title()) + 8);
  return width;
}

void TDBGrid::ApplyColumns() {
  syncing_ = true;
  QHeaderView* header = horizontalHeader();
  for (int index = 0; index < columns_.Count() && index < model_->columnCount(); ++index) {
    const TColumn& column = columns_.Items(index);
    setColumnHidden(index, !column.Visible());
    header->resizeSection(index, column.Width());
  }
  header->setSectionResizeMode((options_ & dgColumnResize) != 0 ? QHeaderView::Interactive
                                                                : QHeaderView::Fixed);
  Q_EMIT model_->headerDataChanged(Qt::Horizontal, 0, std::max(0, columns_.Count() - 1));
  syncing_ = false;
  viewport()->update();
  LayoutChanged();
}

void TDBGrid::ApplyOptions() {
  horizontalHeader()->setVisible((options_ & dgTitles) != 0);
  verticalHeader()->setVisible((options_ & dgIndicator) != 0);
  const int indicator = fontMetrics().horizontalAdvance(IndicatorMark) + 8;
  verticalHeader()->setFixedWidth(std::max(12, indicator));
  setSelectionBehavior((options_ & dgRowSelect) != 0 ? QAbstractItemView::SelectRows
                                                     : QAbstractItemView::SelectItems);
  // Without dgTabs, Tab leaves the grid for the next control, as in any Qt view of a list; the arrows move
  // within it.
  setTabKeyNavigation((options_ & dgTabs) != 0);
  viewport()->update();
}

void TDBGrid::BorderStyleChanged() {
  setFrameShape(BorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TDBGrid::FontChanged() {
  SetDefaultRowHeight(fontMetrics().height() + 4);
  ApplyOptions();
  ApplyColumns();
}

void TDBGrid::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange && ParentFont()) FontChanged();
}

void TDBGrid::PaintCell(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (index.column() < columns_.Count()) {
    TDataSet* dataSet = DataSet();
    if (dataSet != nullptr && dataSet->Active()) {
      const TRecordScope scope(*dataSet, index.row());
      QStyleOptionViewItem cell = option;
      cell.index = index;
      DrawColumnCell(painter, option.rect, columns_.Items(index.column()), cell);
    }
  }
  const QRect rect = option.rect;
  if ((options_ & dgColLines) != 0)
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), LineColor);
  if ((options_ & dgRowLines) != 0)
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), LineColor);
}

void TDBGrid::DrawColumnCell(QPainter& painter, const QRect& rect, TColumn& column,
                             const QStyleOptionViewItem& option) {
  DefaultDrawColumnCell(painter, rect, column, option);
}

void TDBGrid::DefaultDrawColumnCell(QPainter& painter, const QRect& rect, TColumn&,
                                    const QStyleOptionViewItem& option) {
  QStyleOptionViewItem cell = option;
  cell.rect = rect;
  delegate_->BasePaint(painter, cell, option.index);
}
