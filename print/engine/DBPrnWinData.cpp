// The print rules of the data controls: each prints the current value of its field.
#include "print/engine/DBPrnWin.h"

#include "platform/Controls.h"
#include "platform/data/DBCtrls.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBLookup.h"
#include "platform/data/Fields.h"
#include "platform/SysUtils.h"
#include "print/controls/Totals.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"

#include <QWidget>
#include <cstdlib>

namespace {
// The field of a data control when its data source has a data set to read; nullptr otherwise.
const TField* FieldToPrint(const TDBControl& control) {
  if (control.DataSource() == nullptr || control.DataSource()->DataSet() == nullptr) return nullptr;
  return control.Field();
}

bool HasDataSet(const TDBControl& control) {
  return control.DataSource() != nullptr && control.DataSource()->DataSet() != nullptr;
}
}  // namespace

void TDBPrintWin::PrintDataText(QWidget* widget, const Placement& where) {
  auto& text = *dynamic_cast<TDBText*>(widget);
  TGdi& device = *PageDevice();
  SelectFontOf(text);
  if (!HasDataSet(text)) return;
  // The background is the control's own colour (none when it is transparent), never the brush the control
  // printed before it left behind.
  device.SetBrush(0, PrintColor(text.Color()), 0);
  device.SetTransparent();
  device.SetTextColor(text.Font().Color());
  const TField* field = FieldToPrint(text);
  device.AlignedText(where.L, OffsetY(where.T, 10), where.R, where.B, false, where.Rect,
                     field != nullptr ? field->AsString() : QString(), text.Alignment(),
                     FillBoxes && !text.Transparent(), false);
  device.SetTransparent();
}

void TDBPrintWin::PrintDataMemo(QWidget* widget, const Placement& where) {
  auto& memo = *dynamic_cast<TDBMemo*>(widget);
  TGdi& device = *PageDevice();
  device.ClipRect(where.L, where.T, where.R, where.B);
  const TFont font = memo.Font();
  TextBoxStandard(memo, &font, where, QString(), memo.Alignment(), false);
  device.FillBox(where.Rect);
  const int lineHeight = std::abs(Printer().Canvas().Font().Height());
  int y = OffsetY(where.T, 10);
  for (const QString& line : memo.Lines()) {
    device.TextAt(OffsetX(where.L, 10), y, line);
    y += lineHeight;
  }
  device.ResetClip();
  if (memo.BorderStyle() == bsSingle) device.FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
}

void TDBPrintWin::PrintDataCombo(QWidget* widget, const Placement& where) {
  auto& combo = *dynamic_cast<TDBComboBox*>(widget);
  TGdi& device = *PageDevice();
  SelectFontOf(combo);
  device.SetBrush(0, PrintColor(combo.Color()), 0);
  device.FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
  if (!HasDataSet(combo)) return;
  const TField* field = FieldToPrint(combo);
  device.AlignedText(OffsetX(where.L, 10), OffsetY(where.T, 10), where.R, where.B, true, where.Rect,
                     field != nullptr ? field->AsString() : QString(), 0, true, true);
}

void TDBPrintWin::PrintLookupCombo(QWidget* widget, const Placement& where) {
  auto& combo = *dynamic_cast<TDBLookupCombo*>(widget);
  TGdi& device = *PageDevice();
  const TFont font = combo.Font();
  TextBoxStandard(combo, &font, where, QString(), 0, true);
  device.FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
  if (!HasDataSet(combo)) return;
  // The stored key, as the data set holds it, not the text looked up for it.
  const TField* field = FieldToPrint(combo);
  device.AlignedText(OffsetX(where.L, 10), OffsetY(where.T, 10), where.R, where.B, true, where.Rect,
                     field != nullptr ? field->AsString() : QString(), 0, true, true);
}

void TDBPrintWin::PrintDataGridRule(QWidget* widget, const Placement& where) {
  auto& grid = *dynamic_cast<TDBGrid*>(widget);
  FillGridBox(grid.Color(), grid.Font(), where);
  RowsLeft(gridPrinter_.PrintDataGrid(*PageDevice(), grid, GridBoxOf(where)));
}

void TDBPrintWin::FillGridBox(TColor color, const TFont& font, const Placement& where) {
  // The border comes last, once the grid's rows say where it ends.
  TextBoxStandard(color, &font, where, QString(), 0, false);
  PageDevice()->FillBox(where.Rect);
}

TGridBox TDBPrintWin::GridBoxOf(const Placement& where) {
  return {where.L, where.T, where.R, where.B, where.ExactT, where.ExactB};
}

void TDBPrintWin::PrintTotals(QWidget* widget, const Placement& where) {
  auto& totals = *dynamic_cast<TShowTotal*>(widget);
  TGdi& device = *PageDevice();
  const TFont font = totals.Font();
  device.SelectFont(font);
  QString text = totals.Text();
  switch (totals.TotalType()) {
    case tDate: text = TotalsDateText(); break;
    case tTime: text = TotalsTimeText(); break;
    case tPageNumber: text = QString::number(PagePass); break;
    case tPageTotal:
    case tAccTotal:
      if (totals.SourceGrid() != nullptr && !totals.SourceField().isEmpty()) {
        QWidget* grid = totals.SourceGrid();
        const double value = totals.TotalType() == tPageTotal ? PageTotal(grid, totals.SourceField())
                                                              : RunningTotal(grid, totals.SourceField());
        const QString format =
            totals.DisplayFormat().isEmpty() ? QStringLiteral("#,##0.00") : totals.DisplayFormat();
        text = FormatFloat(format, value);
      }
      break;
    case tText: break;
  }
  if (!ShowOnPage(totals.ShowOn(), PagePass, PageComplete)) return;
  device.SetBrush(0, PrintColor(totals.Color()), 0);
  // A value and the words beside it in a box of the same height share their line, whatever the border.
  TextBoxCentred(totals.Color(), font, where, text, totals.Alignment(), totals.BorderStyle() == bsSingle);
}
