#include "print/engine/ItemModelRows.h"

#include "print/engine/DBPrnWin.h"
#include "print/engine/StockWidgets.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QListView>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
// A number as the model holds it.
bool HoldsNumber(const QVariant& value) {
  switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
  }
}

// What a cell adds to its column's sums: a number the model holds, or a text that reads as one in the view's
// locale ("1,234.50" in English, "1.234,50" in German) or in the C locale ("1234.50"), with blanks around
// it. An empty cell, a word or a date adds nothing; the documentation says so.
std::optional<double> CellNumber(const QVariant& value, const QLocale& locale) {
  if (HoldsNumber(value)) return value.toDouble();
  if (value.metaType().id() != QMetaType::QString) return std::nullopt;
  const QString text = value.toString().trimmed();
  if (text.isEmpty()) return std::nullopt;
  bool read = false;
  double number = locale.toDouble(text, &read);
  if (!read) number = QLocale::c().toDouble(text, &read);
  if (!read || !std::isfinite(number)) return std::nullopt;
  return number;
}

// Models hold an alignment as Qt's flags, one flag or a plain number.
Qt::Alignment AlignmentOf(const QVariant& value) {
  if (value.metaType() == QMetaType::fromType<Qt::Alignment>()) return value.value<Qt::Alignment>();
  if (value.metaType() == QMetaType::fromType<Qt::AlignmentFlag>()) return value.value<Qt::AlignmentFlag>();
  bool number = false;
  const int flags = value.toInt(&number);
  return number ? Qt::Alignment(flags) : Qt::Alignment();
}

const QHeaderView* ColumnHeader(const QAbstractItemView& view) {
  if (const auto* table = qobject_cast<const QTableView*>(&view)) return table->horizontalHeader();
  if (const auto* tree = qobject_cast<const QTreeView*>(&view)) return tree->header();
  return nullptr;
}
}  // namespace

TItemModelRows::TItemModelRows(QAbstractItemView& view, TTrackedControl& tracked)
    : view_(view),
      tracked_(tracked),
      tree_(qobject_cast<QTreeView*>(&view) != nullptr),
      locale_(view.locale()) {
  if (const auto* tree = qobject_cast<const QTreeView*>(&view)) {
    treeColumn_ = tree->header()->logicalIndex(std::max(0, tree->treePosition()));
    indentation_ = tree->indentation();
  }
  if (view.model() == nullptr) return;
  if (const QHeaderView* header = ColumnHeader(view)) {
    for (int visual = 0; visual < header->count(); ++visual) {
      const int logical = header->logicalIndex(visual);
      columns_.push_back({logical, header->isSectionHidden(logical) ? 0 : header->sectionSize(logical)});
    }
    FillViewWidth(view);
    return;
  }
  // A list shows one column across its whole view.
  const auto* list = qobject_cast<const QListView*>(&view);
  columns_.push_back(
      {list != nullptr ? list->modelColumn() : 0, std::max(0, view.width() - 2 * view.frameWidth())});
}

void TItemModelRows::FillViewWidth(const QAbstractItemView& view) {
  // Paper shows no row header and no scroll bar: columns that reach them on the screen take their room, so
  // the printed columns end at the view's frame. Columns that end short of them keep the empty room the
  // screen shows beside them.
  int screenOnly = 0;
  if (const auto* table = qobject_cast<const QTableView*>(&view);
      table != nullptr && !table->verticalHeader()->isHidden())
    screenOnly += std::max(table->verticalHeader()->width(), table->verticalHeader()->sizeHint().width());
  if (view.verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
    screenOnly += view.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view);
  const int inside = view.width() - 2 * view.frameWidth();
  int taken = 0;
  for (const Column& column : columns_) taken += column.Width;
  const auto last =
      std::find_if(columns_.rbegin(), columns_.rend(), [](const Column& column) { return column.Width > 0; });
  if (last != columns_.rend() && taken < inside && taken + screenOnly + 2 >= inside)
    last->Width += inside - taken;
}

int TItemModelRows::ModelColumnCount(const QAbstractItemView& view) {
  if (view.model() == nullptr) return 0;
  if (const QHeaderView* header = ColumnHeader(view)) return header->count();
  return 1;
}

TGridLook TItemModelRows::LookOf(const QAbstractItemView& view) {
  TGridLook look;
  look.Font = StockFont(view, QPalette::Text);
  look.Color = StockColor(view, QPalette::Base);
  const QHeaderView* header = ColumnHeader(view);
  look.Titles = header != nullptr && !HiddenFromPrint(*header);
  if (const auto* tree = qobject_cast<const QTreeView*>(&view)) look.Titles = !tree->isHeaderHidden();
  look.TitleColor = header != nullptr ? StockColor(*header, QPalette::ButtonText) : clBlack;
  const auto* table = qobject_cast<const QTableView*>(&view);
  look.RowLines = look.ColumnLines = table != nullptr && table->showGrid();
  look.SingleBorder = view.frameShape() != QFrame::NoFrame;
  return look;
}

int TItemModelRows::ColumnWidth(int column) const {
  return columns_.at(static_cast<std::size_t>(column)).Width;
}

QString TItemModelRows::Title(int column) const {
  return view_.model()
      ->headerData(columns_.at(static_cast<std::size_t>(column)).Logical, Qt::Horizontal, Qt::DisplayRole)
      .toString();
}

// A title stands as the header says, or else as its column's first cell does: over the numbers' right edge.
TAlignment TItemModelRows::TitleAlignment(int column) const {
  const int logical = columns_.at(static_cast<std::size_t>(column)).Logical;
  QVariant alignment = view_.model()->headerData(logical, Qt::Horizontal, Qt::TextAlignmentRole);
  if (!alignment.isValid())
    alignment = view_.model()->index(0, logical, view_.rootIndex()).data(Qt::TextAlignmentRole);
  return StockAlignment(AlignmentOf(alignment), view_.layoutDirection());
}

bool TItemModelRows::Resume() {
  current_ = QModelIndex();
  QAbstractItemModel* model = view_.model();
  if (model == nullptr || tracked_.AtEnd) return false;
  if (!tracked_.Begun) {
    tracked_.Begun = true;
    if (model->rowCount(view_.rootIndex()) > 0) current_ = ShownFrom(model->index(0, 0, view_.rootIndex()));
  } else {
    // A row removed while the job runs takes its place in the printing with it: printing ends rather than
    // starting over.
    current_ = tracked_.ContinuationIndex;
  }
  return current_.isValid();
}

QString TItemModelRows::CellText(int column, TTrackedColumn& sums, TAlignment& alignment, int& indent) {
  const int logical = columns_.at(static_cast<std::size_t>(column)).Logical;
  const QModelIndex cell = current_.sibling(current_.row(), logical);
  const QVariant value = cell.data(Qt::DisplayRole);
  if (const std::optional<double> number = CellNumber(value, locale_)) {
    sums.MainTotal += *number;
    sums.SubTotal += *number;
    sums.PageTotal += *number;
  }
  alignment = StockAlignment(AlignmentOf(cell.data(Qt::TextAlignmentRole)), view_.layoutDirection());
  indent = logical == treeColumn_ ? Depth(current_) * indentation_ : 0;
  if (auto* delegate = qobject_cast<QStyledItemDelegate*>(view_.itemDelegateForIndex(cell)))
    return delegate->displayText(value, locale_);
  return value.toString();
}

void TItemModelRows::Next() {
  if (current_.isValid()) current_ = ShownFrom(RowAfter(current_, true));
}

void TItemModelRows::Suspend() {
  tracked_.AtEnd = !current_.isValid();
  tracked_.ContinuationIndex = current_;
}

QModelIndex TItemModelRows::RowAfter(const QModelIndex& row, bool intoChildren) const {
  const QAbstractItemModel& model = *view_.model();
  if (tree_ && intoChildren && model.rowCount(row) > 0) return model.index(0, 0, row);
  for (QModelIndex at = row; at.isValid() && at != view_.rootIndex(); at = at.parent()) {
    const QModelIndex parent = at.parent();
    if (at.row() + 1 < model.rowCount(parent)) return model.index(at.row() + 1, 0, parent);
    if (!tree_) break;
  }
  return {};
}

QModelIndex TItemModelRows::ShownFrom(QModelIndex row) const {
  while (row.isValid() && RowHidden(row)) row = RowAfter(row, false);
  return row;
}

bool TItemModelRows::RowHidden(const QModelIndex& row) const {
  if (const auto* tree = qobject_cast<const QTreeView*>(&view_))
    return tree->isRowHidden(row.row(), row.parent());
  if (const auto* table = qobject_cast<const QTableView*>(&view_)) return table->isRowHidden(row.row());
  if (const auto* list = qobject_cast<const QListView*>(&view_)) return list->isRowHidden(row.row());
  return false;
}

int TItemModelRows::Depth(const QModelIndex& row) const {
  int depth = 0;
  for (QModelIndex at = row.parent(); at.isValid() && at != view_.rootIndex(); at = at.parent()) ++depth;
  return depth;
}
