// The grid printer: data grids and item views print their rows across as many pages as they need, titles
// repeated and no row split, with running sums per numeric column; string grids print what fits.
#include "print/engine/GridPrinter.h"

#include "platform/Controls.h"
#include "platform/Grids.h"
#include "platform/Printers.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"
#include "platform/data/DBGrids.h"
#include "platform/data/Fields.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"
#include "print/engine/GridRows.h"
#include "print/engine/ItemModelRows.h"
#include "print/engine/PrnWin.h"
#include "print/shared/QV_MFunc.h"

#include <QAbstractItemView>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {
int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }

constexpr TColor Silver = 12632256;

bool Summed(const TField& field) { return IsSummedFieldType(field.DataType()); }

QString DisplayFormatOf(const TField& field) {
  const auto* numeric = dynamic_cast<const TNumericField*>(&field);
  return numeric != nullptr ? numeric->DisplayFormat() : QString();
}

}  // namespace

bool RowFits(double firstRowTop, double pitch, int row, double bottom) {
  // Counted in rows, with a margin far below any pixel, so a page that holds its rows exactly holds them
  // at every resolution although each computes its own last digits.
  return pitch > 0 && (bottom - firstRowTop) / pitch >= row + 1 - 1e-9;
}

bool IsSummedFieldType(TFieldType type) {
  switch (type) {
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency: return true;
    default: return false;
  }
}

namespace {
// The text of one cell, formatted by the kind of its field; summed fields add their value to the sums.
QString CellText(const TField& field, TTrackedColumn* column) {
  double value = 0.0;
  if (Summed(field)) {
    value = field.IsNull() ? 0.0 : field.AsFloat();
    if (column != nullptr) {
      column->MainTotal += value;
      column->SubTotal += value;
      column->PageTotal += value;
    }
  }
  const QString text = field.AsString();
  const QString format = DisplayFormatOf(field);
  switch (field.DataType()) {
    case ftMemo: return QStringLiteral("(Memo)");
    case ftBlob:
    case ftGraphic: return QStringLiteral("(Graphic)");
    default: break;
  }
  if (dynamic_cast<const TIntegerField*>(&field) != nullptr) {
    if (format.isEmpty() || text.isEmpty() ||
        !IsNumberText(text.startsWith(QLatin1Char('-')) ? text.mid(1) : text))
      return text;
    return FormatFloat(format, StrToInt(text));
  }
  if (field.DataType() == ftCurrency)
    return format.isEmpty() ? FormatMoney(value) : FormatFloat(format, value);
  if (const auto* floating = dynamic_cast<const TFloatField*>(&field)) {
    if (floating->Currency())
      return FormatFloat(format.isEmpty() ? QStringLiteral("#,##0.00") : format, value);
    return format.isEmpty() ? text : FormatFloat(format, value);
  }
  return text;
}

// Where a text of that width starts in its column, x being the column's left edge plus the text's indent.
int AlignedTextLeft(TAlignment alignment, int x, int width, int textWidth) {
  switch (alignment) {
    case taRightJustify: return OffsetX(x + width - textWidth, -20);
    case taCenter: return x + Round((width - textWidth) / 2.0);
    case taLeftJustify: break;
  }
  return OffsetX(x, 10);
}

// Half a digit of room keeps the printer canvas's measure on the safe side of the page font's.
int SafetyRoom() { return Printer().Canvas().TextWidth(QStringLiteral("0")) / 2; }

// Where a cell's text starts in its column, and its width; a right-justified number too wide for it becomes
// "#" marks, and any other text too wide for it ends in "…" where the column does, as on the screen, so a
// reader knows that something is missing.
int PlaceCellText(TAlignment alignment, int x, int width, QString& text, int& textWidth) {
  const TPrinterCanvas& canvas = Printer().Canvas();
  text = CutToShow(text, width);
  textWidth = canvas.TextWidth(text);
  if (alignment == taRightJustify && width < textWidth + canvas.TextWidth(QStringLiteral("0"))) {
    QString marks;
    while (canvas.TextWidth(marks + QStringLiteral("##0")) < width) marks += QLatin1Char('#');
    text = marks;
    textWidth = canvas.TextWidth(marks);
    return x + width - canvas.TextWidth(marks + QStringLiteral("0"));
  }
  // The room a left-justified text has from where it starts; an aligned one has at least as much.
  const int room = width - (AlignedTextLeft(taLeftJustify, x, width, 0) - x) - SafetyRoom();
  if (textWidth > room) {
    text = canvas.ElidedText(text, room);
    textWidth = canvas.TextWidth(text);
  }
  return AlignedTextLeft(alignment, x, width, textWidth);
}

// Whether a text placed at that left edge may reach out of its column: it is then clipped to the column.
bool MayLeaveColumn(int placed, int textWidth, int columnLeft, int columnWidth) {
  return placed < columnLeft || placed + textWidth + SafetyRoom() > columnLeft + columnWidth;
}

// The field a grid column shows; a grid in its default state has column i for field i.
TField* FieldOfColumn(const TDBGrid& grid, int column) {
  if (column < grid.Columns().Count()) return grid.Columns().Items(column).Field();
  return nullptr;
}

// How a data grid's box, titles and lines look on the page.
TGridLook LookOf(const TDBGrid& grid) {
  TGridLook look;
  look.Font = grid.Font();
  look.Color = grid.Color();
  look.TitleColor = grid.TitleFont().Color();
  look.Titles = (grid.Options() & dgTitles) != 0;
  look.RowLines = (grid.Options() & dgRowLines) != 0;
  look.ColumnLines = (grid.Options() & dgColLines) != 0;
  look.SingleBorder = grid.BorderStyle() == bsSingle;
  return look;
}

// A data grid's rows: the records of its data set from the continuation bookmark on.
class DataSetRows : public TGridRows {
public:
  DataSetRows(TDBGrid& grid, TTrackedControl& tracked) : grid_(grid), tracked_(tracked) {
    // A column finds its field by name, so the fields are looked up once per page rather than once per cell.
    for (int column = 0; column < grid.Columns().Count(); ++column)
      fields_.push_back(FieldOfColumn(grid, column));
  }

  int ColumnCount() const override { return static_cast<int>(fields_.size()); }
  int ColumnWidth(int column) const override {
    const TColumn& gridColumn = grid_.Columns().Items(column);
    const TField* field = fields_[static_cast<std::size_t>(column)];
    return gridColumn.Visible() && field != nullptr && field->Visible() ? gridColumn.Width() : 0;
  }
  QString Title(int column) const override { return grid_.Columns().Items(column).Title(); }
  TAlignment TitleAlignment(int column) const override { return grid_.Columns().Items(column).Alignment(); }

  bool Resume() override {
    rowsLeft_ = !tracked_.AtEnd && tracked_.ContinuationPosition.Valid();
    if (rowsLeft_) tracked_.DataSet->GotoBookmark(tracked_.ContinuationPosition);
    tracked_.DataSet->DisableControls();
    return rowsLeft_ && !tracked_.DataSet->Eof();
  }
  bool AtEnd() const override { return !rowsLeft_ || tracked_.DataSet->Eof(); }
  QString CellText(int column, TTrackedColumn& sums, TAlignment& alignment, int& indent) override {
    const TField& field = *fields_[static_cast<std::size_t>(column)];
    QString text = ::CellText(field, &sums);
    if (field.OnGetText()) field.OnGetText()(field, text, false);
    alignment = grid_.Columns().Items(column).Alignment();
    indent = 0;
    return text;
  }
  void Next() override { tracked_.DataSet->Next(); }
  void Suspend() override {
    TDataSet& dataSet = *tracked_.DataSet;
    tracked_.AtEnd = AtEnd();
    if (!tracked_.AtEnd) tracked_.ContinuationPosition = dataSet.GetBookmark();
    if (tracked_.EntryPosition.Valid()) dataSet.GotoBookmark(tracked_.EntryPosition);
    dataSet.EnableControls();
  }

private:
  TDBGrid& grid_;
  TTrackedControl& tracked_;
  std::vector<const TField*> fields_;
  bool rowsLeft_ = false;
};
}  // namespace

namespace {
// One page of one grid: the columns laid out across its box, the title band, the rows that fit, and the
// lines, with the clip that keeps a long text inside its column.
class GridPage {
public:
  GridPage(TGdi& device, TGridRows& rows, const TGridLook& look, TTrackedControl& tracked,
           const TGridBox& box, const TRowOutline* outline, int outlineLevel)
      : device_(device),
        rows_(rows),
        look_(look),
        tracked_(tracked),
        box_(box),
        outline_(outline),
        outlineLevel_(outlineLevel) {}

  // Prints the page's part of the grid; true while rows remain for a further page.
  bool Print() {
    ClipToGrid();
    Printer().Canvas().Pen().Width = 2;
    Printer().Canvas().Font().SetStyle(0);
    const TFont& font = look_.Font;
    device_.SelectMappedFont(font, font.HasStyle(fsBold), font.HasStyle(fsItalic),
                             font.HasStyle(fsUnderline));
    s_ = std::abs(Printer().Canvas().Font().Height());
    LayOutColumns();
    const bool rowsLeft = rows_.Resume();
    // One table however many pages its rows take: a later page's rows go on in it, and its title row there
    // is the page's, not the table's.
    TStructureMark table = TStructureMark::Of(QStringLiteral("Table"));
    if (tracked_.TableKey == 0) tracked_.TableKey = device_.NewElementKey();
    table.Key = tracked_.TableKey;
    table.Continued = tracked_.TableGoesOn;
    std::optional<TMarked> marked(std::in_place, &device_, table);
    std::optional<TMarked> repeated;
    if (table.Continued) repeated.emplace(&device_, TArtifactKind::Pagination);
    PrintTitles();
    repeated.reset();

    Printer().Canvas().Font().SetStyle(0);
    device_.SetBrush(0, Silver, 0);
    device_.SetTextColor(font.Color());
    device_.SelectFont(font);
    const bool more = rowsLeft && PrintRowsThatFit();
    tracked_.TableGoesOn = more;
    marked.reset();
    PrintLines();
    rows_.Suspend();
    device_.ResetClip();
    // The frame ends after the last row: the room left below it on the page (a last page's most of all) is
    // no part of the table.
    if (look_.SingleBorder) device_.FrameBox(box_.L, box_.T, box_.R, std::min(box_.B, y_), 2, 2, 2, 2);
    return more;
  }

private:
  int WidthOf(int column) const { return tracked_.Columns[static_cast<std::size_t>(column)].WidthArray; }

  void ClipToGrid() {
    device_.ResetClip();
    device_.ClipRect(OffsetX(box_.L, -30), box_.T, box_.R, box_.B);
  }
  // A text longer than its column (a long payee) stops at the column's edge instead of running into the
  // next one.
  void ClipToColumn(int left, int width) {
    ClipToGrid();
    device_.ClipRect(left, box_.T, left + width, box_.B);
  }

  void LayOutColumns() {
    columnCount_ = rows_.ColumnCount();
    if (static_cast<int>(tracked_.Columns.size()) < columnCount_)
      tracked_.Columns.resize(static_cast<std::size_t>(columnCount_));
    right_ = box_.L;
    for (int column = 0; column < columnCount_; ++column) {
      const int screenWidth = rows_.ColumnWidth(column);
      const int width = screenWidth > 0 ? ScreenToDeviceX(screenWidth) : 0;
      tracked_.Columns[static_cast<std::size_t>(column)].WidthArray = width;
      right_ += width;
    }
    // Columns that end within the grid's border of its right edge, as the screen lays them out inside its
    // frame, end at the edge on paper: a printer's pixels would otherwise show the border's width as a
    // second right edge beside the last column's line.
    for (int column = columnCount_; column-- > 0;) {
      TTrackedColumn& last = tracked_.Columns[static_cast<std::size_t>(column)];
      if (last.WidthArray == 0) continue;
      if (right_ < box_.R && box_.R - right_ <= ScreenToDeviceX(4)) {
        last.WidthArray += box_.R - right_;
        right_ = box_.R;
      }
      break;
    }
  }

  void PrintTitles() {
    device_.SetBrush(0, Silver, 0);
    device_.SetTextColor(look_.TitleColor);
    device_.SetPenColor(clBlack);
    linesTop_ = box_.T;
    y_ = box_.T + Round(s_ / 2.0);
    if (!look_.Titles) return;
    const TRect band = Rect(box_.L, box_.T, right_, box_.T + 2 * s_);
    device_.FillBox(band);
    device_.FrameBox(band.Left, band.Top, band.Right, band.Bottom, 2, 2, 2, 2);
    const TMarked row(&device_, TStructureMark::Of(QStringLiteral("TR")));
    // A title stands as its column's cells do, so an amount's title is over the amounts' right edge.
    for (int column = 0, left = box_.L; column < columnCount_; ++column) {
      const int width = WidthOf(column);
      if (width == 0) continue;
      const QString title = rows_.Title(column);
      TStructureMark heading = TStructureMark::Of(QStringLiteral("TH"));
      heading.Scope = 1;
      const TMarked cell(&device_, heading);
      ClipToColumn(left, width);
      device_.TextAt(AlignedTextLeft(rows_.TitleAlignment(column), OffsetX(left, 10), width,
                                     Printer().Canvas().TextWidth(title)),
                     y_, title);
      left += width;
    }
    ClipToGrid();
    Printer().Canvas().Brush().Color = clWhite;
    linesTop_ = box_.T + 2 * s_;
    device_.MoveTo(box_.L, linesTop_);
    device_.LineTo(right_, linesTop_);
    y_ = linesTop_ + Round(s_ / 3.0);
  }

  // True when a row is left that did not fit.
  bool PrintRowsThatFit() {
    // Rows stand one and a half times the font's exact height apart, each placed from the first row on its
    // own: neither the rounding of one resolution nor its sum over a page changes which rows a page holds,
    // so a ledger breaks at the same entries at 72 dpi as at 600.
    const double exactHeight =
        std::abs(look_.Font.Height()) * static_cast<double>(Printer().ResolutionY()) / ScreenPixelsPerInch();
    const double pitch = 1.5 * exactHeight;
    const double firstRowTop =
        box_.ExactT + (look_.Titles ? 2 * exactHeight + exactHeight / 3 : exactHeight / 2);
    const int firstRowY = y_;
    for (int row = 0; !rows_.AtEnd(); ++row) {
      // A row that does not fit goes whole to the next page; the first row of a page always prints, so a box
      // too small for any row still makes progress instead of asking for pages without end.
      if (row > 0 && !RowFits(firstRowTop, pitch, row, box_.ExactB)) return true;
      y_ = firstRowY + Round(row * pitch);
      StartOutlineEntry();
      PrintRow();
      rows_.Next();
      if (look_.RowLines && row > 0) {
        device_.MoveTo(box_.L, y_ - Round(s_ / 4.0));
        device_.LineTo(right_, y_ - Round(s_ / 4.0));
      }
      y_ = firstRowY + Round((row + 1) * pitch);
    }
    return false;
  }

  // A row whose group differs from the row before leads the outline to the row.
  void StartOutlineEntry() {
    if (outline_ == nullptr || !*outline_) return;
    const QString title = (*outline_)(rows_.CurrentIndex());
    if (title.isEmpty() || title == tracked_.LastOutline) return;
    tracked_.LastOutline = title;
    device_.OutlineEntry(box_.L, y_ - Round(s_ / 4.0), outlineLevel_, title);
  }

  void PrintRow() {
    const TMarked row(&device_, TStructureMark::Of(QStringLiteral("TR")));
    bool columnClipped = false;
    for (int column = 0, left = box_.L; column < columnCount_; ++column) {
      const int width = WidthOf(column);
      if (width == 0) continue;
      TPrintWin::ProcessMessagesNowAndThen();
      TAlignment alignment = taLeftJustify;
      int indent = 0;
      QString text =
          rows_.CellText(column, tracked_.Columns[static_cast<std::size_t>(column)], alignment, indent);
      const int indented = indent > 0 ? std::min(width, ScreenToDeviceX(indent)) : 0;
      int textWidth = 0;
      const int placed =
          PlaceCellText(alignment, OffsetX(left, 10) + indented, width - indented, text, textWidth);
      // Most texts stand well inside their column and need no clip of their own; each clip changed costs
      // the printed page a graphics state of its own (a third of a long ledger's printing time).
      if (MayLeaveColumn(placed, textWidth, left, width)) {
        ClipToColumn(left, width);
        columnClipped = true;
      } else if (columnClipped) {
        ClipToGrid();
        columnClipped = false;
      }
      const TMarked cell(&device_, TStructureMark::Of(QStringLiteral("TD")));
      device_.TextAt(placed, y_, text);
      left += width;
    }
    if (columnClipped) ClipToGrid();
  }

  void PrintLines() {
    Printer().Canvas().Pen().Width = 2;
    if (look_.ColumnLines) {
      int x = box_.L;
      bool first = true;
      for (int column = 0; column < columnCount_; ++column) {
        if (WidthOf(column) == 0) continue;
        const int lineX = first ? x : x + ScreenToDeviceX(1);
        device_.MoveTo(lineX, linesTop_);
        device_.LineTo(lineX, y_);
        first = false;
        x += WidthOf(column);
      }
      device_.MoveTo(x, linesTop_);
      device_.LineTo(x, y_);
      device_.MoveTo(box_.L, y_);
      device_.LineTo(x, y_);
    }
    // Where the last column's line is the grid's right edge, a second line beside it would print the edge
    // doubled.
    const bool columnsEndAtTheEdge = look_.ColumnLines && std::abs(box_.R - right_) <= ScreenToDeviceX(2);
    if (look_.SingleBorder && !columnsEndAtTheEdge) {
      device_.MoveTo(box_.R - 2, box_.T);
      device_.LineTo(box_.R - 2, y_);
    }
  }

  TGdi& device_;
  TGridRows& rows_;
  const TGridLook& look_;
  TTrackedControl& tracked_;
  const TGridBox& box_;
  const TRowOutline* outline_;
  const int outlineLevel_;
  // The font's height on the page, the columns' count and right end, where column lines begin, and the
  // line being printed, in printer pixels.
  int s_ = 0;
  int columnCount_ = 0;
  int right_ = 0;
  int linesTop_ = 0;
  int y_ = 0;
};
}  // namespace

TTrackedControl* TGridPrinter::TrackGrid(QWidget* grid) {
  for (const auto& tracked : tracked_) {
    if (tracked->Control == grid) return tracked.get();
  }
  auto record = std::make_unique<TTrackedControl>();
  record->Control = grid;
  if (auto* dataGrid = dynamic_cast<TDBGrid*>(grid)) {
    TDataSet* dataSet = dataGrid->DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return nullptr;
    record->DataSet = dataSet;
    record->EntryPosition = dataSet->GetBookmark();
    record->Columns.resize(
        static_cast<std::size_t>(std::max(dataSet->FieldCount(), dataGrid->Columns().Count())));
    dataSet->DisableControls();
    dataSet->HoldOrder();
    dataSet->First();
    record->ContinuationPosition = dataSet->GetBookmark();
  } else if (auto* stringGrid = dynamic_cast<TStringGrid*>(grid)) {
    record->Columns.resize(static_cast<std::size_t>(std::max(0, stringGrid->ColCount())));
  } else if (auto* view = qobject_cast<QAbstractItemView*>(grid);
             view != nullptr && view->model() != nullptr) {
    record->Columns.resize(static_cast<std::size_t>(TItemModelRows::ModelColumnCount(*view)));
  } else {
    return nullptr;
  }
  tracked_.push_back(std::move(record));
  return tracked_.back().get();
}

void TGridPrinter::ResetColumns(QWidget* grid, TColumnState state) {
  TTrackedControl* tracked = TrackGrid(grid);
  if (tracked == nullptr) return;
  for (TTrackedColumn& column : tracked->Columns) {
    switch (state) {
      case TColumnState::WidthArray: column.WidthArray = 0; break;
      case TColumnState::SubTotal: column.SubTotal = 0.0; break;
      case TColumnState::MainTotal: column.MainTotal = 0.0; break;
      case TColumnState::PageTotal: column.PageTotal = 0.0; break;
      case TColumnState::ShowTotal: column.ShowTotal = true; break;
    }
  }
}

void TGridPrinter::ClearPageTotals() {
  for (const auto& tracked : tracked_) {
    for (TTrackedColumn& column : tracked->Columns) column.PageTotal = 0.0;
  }
}

TTrackedColumn* TGridPrinter::ColumnOf(QWidget* grid, const QString& displayLabel) {
  auto* dataGrid = dynamic_cast<TDBGrid*>(grid);
  auto* view = qobject_cast<QAbstractItemView*>(grid);
  if (view == nullptr) return nullptr;
  TTrackedControl* tracked = TrackGrid(grid);
  if (tracked == nullptr) return nullptr;
  const QString wanted = displayLabel.toUpper();
  if (dataGrid == nullptr) {
    // An item view's column is found by its header title, as shown.
    const TItemModelRows rows(*view, *tracked);
    for (int column = 0; column < rows.ColumnCount() && column < static_cast<int>(tracked->Columns.size());
         ++column) {
      if (rows.ColumnWidth(column) > 0 && rows.Title(column).toUpper() == wanted)
        return &tracked->Columns[static_cast<std::size_t>(column)];
    }
    return nullptr;
  }
  for (int column = 0; column < static_cast<int>(tracked->Columns.size()); ++column) {
    const TField* field = FieldOfColumn(*dataGrid, column);
    if (field == nullptr || !field->Visible()) continue;
    if (field->DisplayLabel().toUpper() == wanted) return &tracked->Columns[static_cast<std::size_t>(column)];
  }
  return nullptr;
}

double TGridPrinter::PageTotal(QWidget* grid, const QString& displayLabel) {
  const TTrackedColumn* column = ColumnOf(grid, displayLabel);
  return column != nullptr ? column->PageTotal : 0.0;
}

double TGridPrinter::RunningTotal(QWidget* grid, const QString& displayLabel) {
  const TTrackedColumn* column = ColumnOf(grid, displayLabel);
  return column != nullptr ? column->MainTotal : 0.0;
}

void TGridPrinter::Release() {
  for (const auto& tracked : tracked_) {
    if (tracked->DataSet == nullptr) continue;
    // Back on the record that was current before printing, with the screen's controls following again.
    try {
      if (tracked->DataSet->Active() && tracked->EntryPosition.Valid())
        tracked->DataSet->GotoBookmark(tracked->EntryPosition);
    } catch (const std::exception&) {
      // The record went away meanwhile; the data set stays where it is.
    }
    tracked->DataSet->FreeBookmark(tracked->EntryPosition);
    tracked->DataSet->FreeBookmark(tracked->ContinuationPosition);
    tracked->DataSet->ReleaseOrder();
    tracked->DataSet->EnableControls();
  }
  tracked_.clear();
}

bool TGridPrinter::PrintRows(TGdi& device, TGridRows* rows, const TGridLook& look, TTrackedControl* tracked,
                             const TGridBox& box) {
  if (rows == nullptr || tracked == nullptr) {
    // Without data to print the grid is its filled and framed box.
    device.ResetClip();
    if (look.SingleBorder) device.FrameBox(box.L, box.T, box.R, box.B, 2, 2, 2, 2);
    return false;
  }
  const TOutlinedGrid* outlined = nullptr;
  for (const TOutlinedGrid& candidate : outlined_) {
    if (candidate.Grid == tracked->Control) outlined = &candidate;
  }
  return GridPage(device, *rows, look, *tracked, box, outlined != nullptr ? &outlined->Outline : nullptr,
                  outlined != nullptr ? outlined->Level : 0)
      .Print();
}

void TGridPrinter::SetRowOutline(QWidget* grid, TRowOutline outline, int level) {
  outlined_.erase(
      std::remove_if(outlined_.begin(), outlined_.end(),
                     [grid](const TOutlinedGrid& entry) { return !entry.Grid || entry.Grid == grid; }),
      outlined_.end());
  if (outline) outlined_.push_back({grid, std::move(outline), level});
}

bool TGridPrinter::PrintDataGrid(TGdi& device, TDBGrid& grid, const TGridBox& box) {
  const TGridLook look = LookOf(grid);
  TTrackedControl* tracked = TrackGrid(&grid);
  if (tracked == nullptr || tracked->DataSet == nullptr)
    return PrintRows(device, nullptr, look, nullptr, box);
  DataSetRows rows(grid, *tracked);
  const bool more = PrintRows(device, &rows, look, tracked, box);
  // The titles of later pages are black.
  TFont titleFont = grid.TitleFont();
  titleFont.SetColor(clBlack);
  grid.SetTitleFont(titleFont);
  return more;
}

bool TGridPrinter::PrintItemView(TGdi& device, QWidget& widget, const TGridBox& box) {
  auto& view = *qobject_cast<QAbstractItemView*>(&widget);
  const TGridLook look = TItemModelRows::LookOf(view);
  TTrackedControl* tracked = TrackGrid(&widget);
  if (tracked == nullptr) return PrintRows(device, nullptr, look, nullptr, box);
  TItemModelRows rows(view, *tracked);
  return PrintRows(device, &rows, look, tracked, box);
}

void TGridPrinter::PrintStringGrid(TGdi& device, TStringGrid& grid, const TGridBox& where) {
  const int clipLeft = OffsetX(where.L, -30);
  device.ClipRect(clipLeft, where.T, where.R, where.B);
  const int left = where.L;
  int y = where.T;
  const int bottom = where.B;
  Printer().Canvas().Pen().Width = 2;
  Printer().Canvas().Font().SetStyle(0);
  const TFont font = grid.Font();
  device.SelectMappedFont(font, font.HasStyle(fsBold), font.HasStyle(fsItalic), font.HasStyle(fsUnderline));
  const int s = std::abs(Printer().Canvas().Font().Height());

  TTrackedControl* tracked = TrackGrid(&grid);
  const int columns = grid.ColCount();
  std::vector<int> widths(static_cast<std::size_t>(std::max(0, columns)));
  int right = left;
  for (int column = 0; column < columns; ++column) {
    widths[static_cast<std::size_t>(column)] = ScreenToDeviceX(grid.ColWidths(column)) + 50;
    if (tracked != nullptr && column < static_cast<int>(tracked->Columns.size()))
      tracked->Columns[static_cast<std::size_t>(column)].WidthArray =
          widths[static_cast<std::size_t>(column)];
    right += widths[static_cast<std::size_t>(column)];
  }
  device.SetBrush(0, PrintColor(grid.Color()), 0);
  device.SetTextColor(clBlack);
  device.SelectFont(font);

  const bool horizontal = (grid.Options() & goHorzLine) != 0;
  const auto horizontalLine = [&](int lineY) {
    device.MoveTo(clipLeft, lineY);
    device.LineTo(OffsetX(right, -30), lineY);
  };
  y = where.T + Round(s / 4.0);
  int x = left;
  std::optional<TMarked> table(std::in_place, &device, TStructureMark::Of(QStringLiteral("Table")));
  TStructureMark title = TStructureMark::Of(QStringLiteral("TH"));
  title.Scope = 1;
  std::optional<TMarked> titles(std::in_place, &device, TStructureMark::Of(QStringLiteral("TR")));
  for (int column = 0; column < columns; ++column) {
    const TMarked cell(&device, title);
    device.TextAt(x, y, grid.Cells(column, 0));
    x += widths[static_cast<std::size_t>(column)];
  }
  titles.reset();
  int lastLine = y;
  if (horizontal) horizontalLine(lastLine = y + Round(s * 0.5 * 2.5));
  if (grid.RowCount() > 1) y += ScreenToDeviceY(grid.RowHeights(1));
  Printer().Canvas().Brush().Color = clWhite;
  device.SetBrush(0, PrintColor(grid.Color()), 0);

  for (int row = 1; row < grid.RowCount(); ++row) {
    // A string grid never continues: what does not fit is left off.
    if (bottom < y + 3 * Round(s / 2.0)) break;
    x = left;
    const TMarked cells(&device, TStructureMark::Of(QStringLiteral("TR")));
    for (int column = 0; column < columns; ++column) {
      TPrintWin::ProcessMessagesNowAndThen();
      if (column >= grid.FixedCols()) device.SetTextColor(clBlack);
      const TMarked cell(&device, TStructureMark::Of(QStringLiteral("TD")));
      device.TextAt(OffsetX(x, 10), y, grid.Cells(column, row));
      x += widths[static_cast<std::size_t>(column)];
    }
    if (horizontal) horizontalLine(lastLine = y + Round(s * 0.5 * 2.5));
    y += ScreenToDeviceY(grid.RowHeights(row));
  }
  table.reset();
  if ((grid.Options() & goVertLine) != 0) {
    x = left;
    for (int column = 0; column <= columns; ++column) {
      device.MoveTo(OffsetX(x, -30), where.T);
      device.LineTo(OffsetX(x, -30), lastLine);
      if (column < columns) x += widths[static_cast<std::size_t>(column)];
    }
  }
  device.ResetClip();
}
