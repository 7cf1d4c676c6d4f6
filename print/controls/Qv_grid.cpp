#include "print/controls/Qv_grid.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/SvgIcon.h"
#include "platform/SysUtils.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QStyleOptionFocusRect>
#include <QStyleOptionHeader>
#include <algorithm>
#include <exception>

namespace {
const QString OrderByMark = QStringLiteral("ORDER BY ");
// The cursors are drawn for a pointer of 32 pixels with its tip at the top left.
constexpr int CursorSize = 32;
constexpr int CursorHotSpot = 1;
// The cursor the grid shows over its cells, registered by the program or else the arrow.
constexpr TCursor GridCursorNumber = 1;

QString OrderClause(const QString& fieldName, TTitleZone zone) {
  switch (zone) {
    case tzAscending: return QStringLiteral("Order by ") + fieldName + QStringLiteral(" ASCENDING ");
    case tzDescending: return QStringLiteral("Order by ") + fieldName + QStringLiteral(" DESCENDING ");
    default: return QString();
  }
}

QString CursorResource(TTitleZone zone) {
  switch (zone) {
    case tzAscending: return QStringLiteral(":/cursors/ATOZ.svg");
    case tzUnsorted: return QStringLiteral(":/cursors/MID.svg");
    case tzDescending: return QStringLiteral(":/cursors/ZTOA.svg");
    default: return QString();
  }
}

// Draws every title one pixel right and down while the mouse is held on the titles: the pressed look.
class PressedTitleStyle : public QProxyStyle {
public:
  explicit PressedTitleStyle(const TQV_SortGrid& grid) : grid_(&grid) {}

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element == CE_Header && header != nullptr && grid_ != nullptr && grid_->TitleRowHeldDown()) {
      QStyleOptionHeader pressed = *header;
      pressed.rect.translate(1, 1);
      QProxyStyle::drawControl(element, &pressed, painter, widget);
      return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }

private:
  QPointer<const TQV_SortGrid> grid_;
};
}  // namespace

TTitleZone TitleZoneAt(int offset, int width) {
  if (width <= 0) return tzNone;
  const double fraction = static_cast<double>(offset) / width;
  if (fraction < 0.1 || fraction > 0.95) return tzNone;
  if (fraction < 0.33) return tzAscending;
  if (fraction > 0.66) return tzDescending;
  return tzUnsorted;
}

QStringList RewriteOrderBy(const QStringList& lines, const QString& fieldName, TTitleZone zone) {
  QStringList result;
  bool replaced = false;
  for (const QString& line : lines) {
    const int at = static_cast<int>(line.toUpper().indexOf(OrderByMark));
    if (at < 0) {
      if (!line.isEmpty()) result.append(line);
      continue;
    }
    if (at > 0) result.append(line.left(at));
    if (zone != tzUnsorted) result.append(OrderClause(fieldName, zone));
    replaced = true;
  }
  if (!replaced && zone != tzUnsorted) result.append(OrderClause(fieldName, zone));
  return result;
}

QString SortRefusal(const TField& field) {
  static const QRegularExpression plainIdentifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
  if (field.Calculated()) return QStringLiteral("Cannot sort on a calculated field");
  if (field.FieldName().contains(QLatin1Char(' ')))
    return QStringLiteral("Cannot sort on a field that contains spaces");
  // The name is written into the query as it stands: anything but letters, digits and underscores could
  // make it say more than an ordering.
  if (!plainIdentifier.match(field.FieldName()).hasMatch())
    return QStringLiteral("Cannot sort on a field whose name is not a plain identifier");
  if (dynamic_cast<const TMemoField*>(&field) != nullptr)
    return QStringLiteral("Cannot sort on a TMemoField");
  if (dynamic_cast<const TGraphicField*>(&field) != nullptr)
    return QStringLiteral("Cannot sort on a TGraphicField");
  return QString();
}

TQV_SortGrid::TQV_SortGrid(QWidget* parent) : TDBGrid(parent) {
  auto* style = new PressedTitleStyle(*this);
  style->setParent(&TitleBar());  // the title bar uses it until its very end, so it owns it
  TitleBar().setStyle(style);
  SetRowSizing(true);
  SetDefaultRowHeight(defaultRowHeight_);
}

TQV_SortGrid::~TQV_SortGrid() = default;

void TQV_SortGrid::SetDisplayDBMemo(bool display) {
  displayDBMemo_ = display;
  viewport()->update();
}

void TQV_SortGrid::SetDisplayDBImage(bool display) {
  displayDBImage_ = display;
  viewport()->update();
}

void TQV_SortGrid::SetDefaultRowHeight(int height) {
  TDBGrid::SetDefaultRowHeight(height);
  defaultRowHeight_ = TDBGrid::DefaultRowHeight();
  if ((Options() & dgTitles) != 0) SetTitleRowHeight(QFontMetrics(TitleFont().ToQFont()).height() + 4);
}

void TQV_SortGrid::LayoutChanged() {
  // A new font or new columns bring the plain grid's row height back; the grid keeps its own.
  if (TDBGrid::DefaultRowHeight() != defaultRowHeight_) TDBGrid::SetDefaultRowHeight(defaultRowHeight_);
}

void TQV_SortGrid::RowHeightsChanged() {
  // The row the user drags is in view, so the rows in view are the ones to look at.
  const int rows = model() != nullptr ? model()->rowCount() : 0;
  if (rows == 0) return;
  const int first = std::max(0, rowAt(0));
  const int below = rowAt(viewport()->height() - 1);
  const int last = below < 0 ? rows - 1 : below;
  int changed = -1;
  for (int row = first; row <= last; ++row) {
    if (RowHeight(row) != defaultRowHeight_) changed = RowHeight(row);
  }
  if (changed > 0) SetDefaultRowHeight(changed);
}

bool TQV_SortGrid::InTitleRow(int x, int y) const {
  return (Options() & dgTitles) != 0 && y >= 0 && y <= TitleRowHeight() && x >= 0 && x <= width();
}

TTitleZone TQV_SortGrid::ZoneAt(int x) const {
  const int column = ColumnAt(x);
  if (column < 0) return tzNone;
  return TitleZoneAt(x - ColumnLeft(column), columnWidth(column));
}

// Whether the title bar shows its resize cursor at x: within its grip of a border it can drag.
bool TQV_SortGrid::AtColumnBorder(int x) const {
  const QHeaderView& titles = TitleBar();
  const int position = x - IndicatorWidth();
  const int column = titles.logicalIndexAt(position);
  if (column < 0) return false;
  const int grip = titles.style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, &titles);
  const int start = titles.sectionViewportPosition(column);
  int border = -1;
  if (position > start + titles.sectionSize(column) - grip) {
    border = column;
  } else if (position < start + grip) {
    // The border on the left belongs to the visible column before this one, if any.
    for (int visual = titles.visualIndex(column) - 1; visual >= 0 && border < 0; --visual) {
      const int before = titles.logicalIndex(visual);
      if (!titles.isSectionHidden(before)) border = before;
    }
  }
  return border >= 0 && titles.sectionResizeMode(border) == QHeaderView::Interactive;
}

QCursor TQV_SortGrid::TitleCursor(TTitleZone zone, qreal devicePixelRatio) {
  if (zone == tzNone) return TitleBar().cursor();
  const auto key = std::make_pair(static_cast<int>(zone), devicePixelRatio);
  auto found = titleCursors_.find(key);
  if (found != titleCursors_.end()) return found->second;
  const QString resource = CursorResource(zone);
  QCursor cursor(Qt::BlankCursor);
  if (SvgIconIsReadable(resource)) {
    // Drawn at the screen's own pixels, so the pointer is sharp on any scale.
    const QPixmap picture = SvgIcon(resource).pixmap(QSize(CursorSize, CursorSize), devicePixelRatio);
    cursor = QCursor(picture, CursorHotSpot, CursorHotSpot);
  }
  return titleCursors_.emplace(key, cursor).first->second;
}

void TQV_SortGrid::MouseMove(Qt::KeyboardModifiers, int x, int y) {
  QWidget& titles = *TitleBar().viewport();
  // A grid that no longer sorts must not keep showing a sort cursor.
  if (!AllowSort && titles.testAttribute(Qt::WA_SetCursor)) titles.unsetCursor();
  if (sorting_ || !AllowSort || titlePressed_ || !InTitleRow(x, y)) return;
  const TTitleZone zone = ZoneAt(x);
  // The title bar's own cursor stays where it resizes a column; the sort cursors show elsewhere.
  if (zone == tzNone || AtColumnBorder(x)) {
    titles.unsetCursor();
    return;
  }
  titles.setCursor(TitleCursor(zone, titles.devicePixelRatioF()));
}

void TQV_SortGrid::MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
  if (sorting_) return;
  pressedAgain_ = titlePressed_;
  downPoint_ = QPoint(x, y);
  titlePressed_ = true;
  if (TitleRowHeldDown()) TitleBar().viewport()->update();
}

void TQV_SortGrid::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
  if (sorting_) return;
  const bool titlesLookPressed = TitleRowHeldDown();
  titlePressed_ = false;
  if (titlesLookPressed) TitleBar().viewport()->update();
  const TTitleZone zone = ZoneAt(x);
  if (!AllowSort || button != Qt::LeftButton || !InTitleRow(x, y) || zone == tzNone || pressedAgain_ ||
      QPoint(x, y) != downPoint_)
    return;
  const int column = ColumnAt(x);
  if (column < 0) return;
  // Records being printed keep their order until the job ends, as clicks on them wait too.
  if (DataSet() != nullptr && DataSet()->OrderHeld()) return;
  // The mouse event comes from the event loop, which must not see an exception: the application's handler
  // tells the user, as for any other failed action.
  Application().Guarded([this, column, zone] { Sort(column, zone); });
}

void TQV_SortGrid::DblClick() {
  if ((Options() & dgTitles) != 0 && downPoint_.y() >= 0 && downPoint_.y() < TitleRowHeight())
    Fire(OnTitleDblClicked);
}

bool TQV_SortGrid::TitleRowHeldDown() const {
  return titlePressed_ && InTitleRow(downPoint_.x(), downPoint_.y());
}

void TQV_SortGrid::Sort(int column, TTitleZone zone) {
  const int leftCol = LeftCol();
  TDataSet* dataSet = DataSet();
  if (dataSet == nullptr) return;
  const TField* field = Columns().Items(column).Field();
  if (field == nullptr) return;
  const QString name = field->FieldName();
  sorting_ = true;
  // Whatever way the sort ends, the grid is idle again afterwards.
  struct Idle {
    QPointer<TQV_SortGrid> grid;
    ~Idle() {
      if (grid != nullptr) grid->sorting_ = false;
    }
  } idle{this};
  if (auto* table = dynamic_cast<TTable*>(dataSet)) {
    SortTable(*table, column, leftCol, name);
  } else if (auto* query = dynamic_cast<TQuery*>(dataSet)) {
    const QString refusal = SortRefusal(*field);
    if (!refusal.isEmpty()) {
      MessageDlg(refusal, mtInformation, mbOK);
      return;
    }
    SortQuery(*query, column, leftCol, name, zone);
  } else {
    sorting_ = false;
    Fire(OnAfterSort);
  }
}

// A table sorts by the index on the field, whatever the zone: it has no other order to offer.
void TQV_SortGrid::SortTable(TTable& table, int column, int leftCol, const QString& name) {
  table.IndexDefs().Update();
  for (int index = 0; index < table.IndexDefs().Count(); ++index) {
    if (table.IndexDefs().Items(index).Fields != name) continue;
    table.SetIndexFieldNames(name);
    SetLeftCol(leftCol);
    SetSelectedIndex(column);
    return;
  }
  MessageDlg(QStringLiteral("Index for Field ") + name + QStringLiteral(" does not exist"), mtInformation,
             mbOK);
}

void TQV_SortGrid::SortQuery(TQuery& query, int column, int leftCol, const QString& name, TTitleZone zone) {
  QPointer<TQV_SortGrid> self(this);
  QPointer<TQuery> guarded(&query);
  Fire(OnBeforeSort);
  SetGridCursor(crSQLWait);
  Application().ProcessMessages();
  if (self == nullptr || guarded == nullptr) return;  // a handler closed the window meanwhile
  const QStringList before = query.SQL();
  const bool wasActive = query.Active();
  query.SetSQL(RewriteOrderBy(before, name, zone));
  try {
    query.Open();
  } catch (const std::exception&) {
    // The query the user had stays as it was; the error is told once the grid is idle again.
    const std::exception_ptr failure = std::current_exception();
    query.SetSQL(before);
    if (wasActive) {
      try {
        query.Open();
      } catch (const std::exception&) {
        // The first error is the one worth telling.
      }
    }
    SetGridCursor(crDefault);
    sorting_ = false;
    Fire(OnAfterSort);
    std::rethrow_exception(failure);
  }
  SetSelectedIndex(column);
  SetLeftCol(leftCol);
  SetGridCursor(crCross);
  sorting_ = false;
  Fire(OnAfterSort);
}

void TQV_SortGrid::DrawColumnCell(QPainter& painter, const QRect& rect, TColumn& column,
                                  const QStyleOptionViewItem& option) {
  const TField* field = column.Field();
  const auto* memo = dynamic_cast<const TMemoField*>(field);
  const auto* graphic = dynamic_cast<const TGraphicField*>(field);
  if (dynamic_cast<const TBlobField*>(field) == nullptr || (memo != nullptr && !displayDBMemo_) ||
      (graphic != nullptr && !displayDBImage_)) {
    DefaultDrawColumnCell(painter, rect, column, option);
    return;
  }
  const bool highlighted = (option.state & QStyle::State_Selected) != 0;
  const QColor background = highlighted ? palette().color(QPalette::Highlight) : ToQColor(Color());
  if (memo != nullptr) {
    painter.save();
    painter.fillRect(rect, background);
    painter.setPen(highlighted ? palette().color(QPalette::HighlightedText) : ToQColor(Font().Color()));
    painter.setFont(Font().ToQFont());
    painter.setClipRect(rect);
    // Wrapped into the cell, a memo shows at most as many characters as the cell has pixels.
    painter.drawText(rect.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     CutToShow(memo->Text(), rect.width() * std::max(1, rect.height())));
    painter.restore();
  } else if (graphic != nullptr) {
    TPicture picture;
    if (picture.LoadFromData(graphic->AsBytes()) && !picture.size().isEmpty()) {
      QImage bitmap(picture.size(), QImage::Format_ARGB32_Premultiplied);
      bitmap.fill(Qt::transparent);
      {
        QPainter into(&bitmap);
        picture.Draw(into, QRect(QPoint(0, 0), picture.size()));
      }
      painter.drawImage(rect, bitmap);
    } else {
      // Bytes that are no picture show as an empty cell; a paint must never fail over them.
      painter.fillRect(rect, background);
    }
  } else {
    return;
  }
  if ((option.state & QStyle::State_HasFocus) != 0) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect;
    focus.backgroundColor = background;
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

void TQV_SortGrid::paintEvent(QPaintEvent* event) {
  // While a sort runs its wait cursor stays; otherwise the grid shows its own.
  if (!sorting_) SetGridCursor(GridCursorNumber);
  TDBGrid::paintEvent(event);
}

void TQV_SortGrid::SetGridCursor(TCursor number) {
  if (number == gridCursor_) return;
  gridCursor_ = number;
  setCursor(ScreenCursor(number));
}

void TQV_SortGrid::Fire(const TNotifyEvent& event) {
  if (event) event(this);
}
