// The grid printer: data grids print their rows across as many pages as they need, titles repeated and no
// row split, with running sums per numeric column; string grids print what fits.
#include "print/engine/DBPrnWin.h"

#include "platform/Controls.h"
#include "platform/Grids.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"
#include "platform/data/DBGrids.h"
#include "platform/data/Fields.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"
#include "print/engine/GridRows.h"
#include "print/engine/ItemModelRows.h"
#include "print/shared/QV_MFunc.h"

#include <QAbstractItemView>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
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

TTrackedControl* TDBPrintWin::TrackGrid(QWidget* grid) {
  for (const auto& tracked : trackedControls_) {
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
  trackedControls_.push_back(std::move(record));
  return trackedControls_.back().get();
}

void TDBPrintWin::ResetColumns(QWidget* grid, TColumnState state) {
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

void TDBPrintWin::ClearPageTotals() {
  for (const auto& tracked : trackedControls_) {
    for (TTrackedColumn& column : tracked->Columns) column.PageTotal = 0.0;
  }
}

TTrackedColumn* TDBPrintWin::ColumnOf(QWidget* grid, const QString& displayLabel) {
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

double TDBPrintWin::PageTotal(QWidget* grid, const QString& displayLabel) {
  const TTrackedColumn* column = ColumnOf(grid, displayLabel);
  return column != nullptr ? column->PageTotal : 0.0;
}

double TDBPrintWin::RunningTotal(QWidget* grid, const QString& displayLabel) {
  const TTrackedColumn* column = ColumnOf(grid, displayLabel);
  return column != nullptr ? column->MainTotal : 0.0;
}

void TDBPrintWin::ReleaseTrackedControls() {
  for (const auto& tracked : trackedControls_) {
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
  trackedControls_.clear();
}

void TDBPrintWin::PrintDataGrid(TDBGrid& grid, const Placement& where) {
  TGridLook look;
  look.Font = grid.Font();
  look.Color = grid.Color();
  look.TitleColor = grid.TitleFont().Color();
  look.Titles = (grid.Options() & dgTitles) != 0;
  look.RowLines = (grid.Options() & dgRowLines) != 0;
  look.ColumnLines = (grid.Options() & dgColLines) != 0;
  look.SingleBorder = grid.BorderStyle() == bsSingle;
  TTrackedControl* tracked = TrackGrid(&grid);
  if (tracked == nullptr || tracked->DataSet == nullptr) {
    PrintGridRows(nullptr, look, nullptr, where);
    return;
  }
  DataSetRows rows(grid, *tracked);
  PrintGridRows(&rows, look, tracked, where);
  // The titles of later pages are black.
  TFont titleFont = grid.TitleFont();
  titleFont.SetColor(clBlack);
  grid.SetTitleFont(titleFont);
}

void TDBPrintWin::PrintGridRows(TGridRows* rows, const TGridLook& look, TTrackedControl* tracked,
                                const Placement& where) {
  TGdi& device = *PageDevice();
  const TFont& gridFont = look.Font;
  const bool single = look.SingleBorder;
  // The border comes last, once the grid's rows say where it ends.
  TextBoxStandard(look.Color, &gridFont, where, QString(), 0, false);
  device.FillBox(where.Rect);
  const auto clipToGrid = [&device, &where] {
    device.ResetClip();
    device.ClipRect(OffsetX(where.L, -30), where.T, where.R, where.B);
  };
  // A text longer than its column (a long payee) stops at the column's edge instead of running into the
  // next one.
  const auto clipToColumn = [&device, &where, &clipToGrid](int left, int width) {
    clipToGrid();
    device.ClipRect(left, where.T, left + width, where.B);
  };
  clipToGrid();
  bool columnClipped = false;
  gridRightEdge_ = where.R;

  if (rows == nullptr || tracked == nullptr) {
    // Without data to print the grid is its filled and framed box.
    gridRightEdge_ = 0;
    device.ResetClip();
    if (single) device.FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
    return;
  }
  const int x0 = where.L;
  int y = where.T;
  Printer().Canvas().Pen().Width = 2;
  Printer().Canvas().Font().SetStyle(0);
  device.SelectMappedFont(gridFont, gridFont.HasStyle(fsBold), gridFont.HasStyle(fsItalic),
                          gridFont.HasStyle(fsUnderline));
  const int s = std::abs(Printer().Canvas().Font().Height());

  const int columnCount = rows->ColumnCount();
  if (static_cast<int>(tracked->Columns.size()) < columnCount)
    tracked->Columns.resize(static_cast<std::size_t>(columnCount));
  int xr = x0;
  for (int column = 0; column < columnCount; ++column) {
    const int screenWidth = rows->ColumnWidth(column);
    const int width = screenWidth > 0 ? ScreenToDeviceX(screenWidth) : 0;
    tracked->Columns[static_cast<std::size_t>(column)].WidthArray = width;
    xr += width;
  }
  // Columns that end within the grid's border of its right edge, as the screen lays them out inside its
  // frame, end at the edge on paper: a printer's pixels would otherwise show the border's width as a second
  // right edge beside the last column's line.
  for (int column = columnCount; column-- > 0;) {
    TTrackedColumn& last = tracked->Columns[static_cast<std::size_t>(column)];
    if (last.WidthArray == 0) continue;
    if (xr < where.R && where.R - xr <= ScreenToDeviceX(4)) {
      last.WidthArray += where.R - xr;
      xr = where.R;
    }
    break;
  }
  const auto widthOf = [tracked](int column) {
    return tracked->Columns[static_cast<std::size_t>(column)].WidthArray;
  };
  bool rowsLeft = rows->Resume();

  const bool titles = look.Titles;
  device.SetBrush(0, Silver, 0);
  device.SetTextColor(look.TitleColor);
  device.SetPenColor(clBlack);
  if (titles) {
    const TRect band = Rect(x0, y, xr, y + 2 * s);
    device.FillBox(band);
    device.FrameBox(band.Left, band.Top, band.Right, band.Bottom, 2, 2, 2, 2);
  }
  int x = OffsetX(x0, 10);
  y = where.T + Round(s / 2.0);
  int linesTop = where.T;
  if (titles) {
    // A title stands as its column's cells do, so an amount's title is over the amounts' right edge.
    for (int column = 0, left = x0; column < columnCount; ++column) {
      if (widthOf(column) == 0) continue;
      const QString title = rows->Title(column);
      clipToColumn(left, widthOf(column));
      device.TextAt(AlignedTextLeft(rows->TitleAlignment(column), x, widthOf(column),
                                    Printer().Canvas().TextWidth(title)),
                    y, title);
      x += widthOf(column);
      left += widthOf(column);
    }
    clipToGrid();
    y = where.T + 2 * s;
    Printer().Canvas().Brush().Color = clWhite;
    linesTop = y;
    device.MoveTo(x0, y);
    device.LineTo(xr, y);
    y += Round(s / 3.0);
  }

  Printer().Canvas().Font().SetStyle(0);
  device.SetBrush(0, Silver, 0);
  device.SetTextColor(gridFont.Color());
  device.SelectFont(gridFont);

  // Rows stand one and a half times the font's exact height apart, each placed from the first row on its
  // own: neither the rounding of one resolution nor its sum over a page changes which rows a page holds, so
  // a ledger breaks at the same entries at 72 dpi as at 600.
  const double exactHeight =
      std::abs(gridFont.Height()) * static_cast<double>(PrinterDpiY) / ScreenPixelsPerInch();
  const double rowPitch = 1.5 * exactHeight;
  const double firstRowTop = where.ExactT + (titles ? 2 * exactHeight + exactHeight / 3 : exactHeight / 2);
  const int firstRowY = y;
  int rowNumber = 0;
  bool firstRow = true;
  while (rowsLeft && !rows->AtEnd()) {
    x = OffsetX(x0, 10);
    // A row that does not fit goes whole to the next page; the first row of a page always prints, so a box
    // too small for any row still makes progress instead of asking for pages without end.
    if (!RowFits(firstRowTop, rowPitch, rowNumber, where.ExactB) && !firstRow) {
      PageComplete = false;
      break;
    }
    y = firstRowY + Round(rowNumber * rowPitch);
    for (int column = 0, left = x0; column < columnCount; ++column) {
      const int width = widthOf(column);
      if (width == 0) continue;
      ProcessMessagesNowAndThen();
      TAlignment alignment = taLeftJustify;
      int indent = 0;
      QString text =
          rows->CellText(column, tracked->Columns[static_cast<std::size_t>(column)], alignment, indent);
      const int indented = indent > 0 ? std::min(width, ScreenToDeviceX(indent)) : 0;
      int textWidth = 0;
      const int placed = PlaceCellText(alignment, x + indented, width - indented, text, textWidth);
      // Most texts stand well inside their column and need no clip of their own; each clip changed costs
      // the printed page a graphics state of its own (a third of a long ledger's printing time).
      if (MayLeaveColumn(placed, textWidth, left, width)) {
        clipToColumn(left, width);
        columnClipped = true;
      } else if (columnClipped) {
        clipToGrid();
        columnClipped = false;
      }
      device.TextAt(placed, y, text);
      x += width;
      left += width;
    }
    if (columnClipped) clipToGrid();
    columnClipped = false;
    rows->Next();
    if (look.RowLines && !firstRow) {
      device.MoveTo(x0, y - Round(s / 4.0));
      device.LineTo(xr, y - Round(s / 4.0));
    }
    firstRow = false;
    ++rowNumber;
    y = firstRowY + Round(rowNumber * rowPitch);
  }

  Printer().Canvas().Pen().Width = 2;
  if (look.ColumnLines) {
    x = x0;
    bool first = true;
    for (int column = 0; column < columnCount; ++column) {
      if (widthOf(column) == 0) continue;
      const int lineX = first ? x : x + ScreenToDeviceX(1);
      device.MoveTo(lineX, linesTop);
      device.LineTo(lineX, y);
      first = false;
      x += widthOf(column);
    }
    device.MoveTo(x, linesTop);
    device.LineTo(x, y);
    device.MoveTo(x0, y);
    device.LineTo(x, y);
  }
  // Where the last column's line is the grid's right edge, a second line beside it would print the edge
  // doubled.
  const bool columnsEndAtTheEdge = look.ColumnLines && std::abs(where.R - xr) <= ScreenToDeviceX(2);
  if (gridRightEdge_ != 0 && single && !columnsEndAtTheEdge) {
    device.MoveTo(gridRightEdge_ - 2, where.T);
    device.LineTo(gridRightEdge_ - 2, y);
  }
  rows->Suspend();

  gridRightEdge_ = 0;
  device.ResetClip();
  // The frame ends after the last row: the room left below it on the page (a last page's most of all) is no
  // part of the table.
  if (single) device.FrameBox(where.L, where.T, where.R, std::min(where.B, y), 2, 2, 2, 2);
}

void TDBPrintWin::PrintStringGrid(TStringGrid& grid, const Placement& where) {
  TGdi& device = *PageDevice();
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
  for (int column = 0; column < columns; ++column) {
    device.TextAt(x, y, grid.Cells(column, 0));
    x += widths[static_cast<std::size_t>(column)];
  }
  int lastLine = y;
  if (horizontal) horizontalLine(lastLine = y + Round(s * 0.5 * 2.5));
  if (grid.RowCount() > 1) y += ScreenToDeviceY(grid.RowHeights(1));
  Printer().Canvas().Brush().Color = clWhite;
  device.SetBrush(0, PrintColor(grid.Color()), 0);

  for (int row = 1; row < grid.RowCount(); ++row) {
    // A string grid never continues: what does not fit is left off.
    if (bottom < y + 3 * Round(s / 2.0)) break;
    x = left;
    for (int column = 0; column < columns; ++column) {
      ProcessMessagesNowAndThen();
      if (column >= grid.FixedCols()) device.SetTextColor(clBlack);
      device.TextAt(OffsetX(x, 10), y, grid.Cells(column, row));
      x += widths[static_cast<std::size_t>(column)];
    }
    if (horizontal) horizontalLine(lastLine = y + Round(s * 0.5 * 2.5));
    y += ScreenToDeviceY(grid.RowHeights(row));
  }
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
