#include "print/engine/DBPrnWin.h"

#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Grids.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "platform/data/DBCtrls.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBLookup.h"
#include "platform/data/DBNavigator.h"
#include "platform/data/Fields.h"
#include "print/device/QV_Gdi.h"
#include "print/controls/QV3Party.h"
#include "print/controls/Qv_grid.h"
#include "print/controls/Qv_lab.h"
#include "print/controls/Totals.h"
#include "print/device/QV_Units.h"

#include <QWidget>

namespace {
int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }

template <typename Control>
bool Is(QWidget* widget) {
  return dynamic_cast<Control*>(widget) != nullptr;
}
}  // namespace

TDBPrintWin::TDBPrintWin(QObject* owner, TCreation creation) : TPrintWin(owner, creation) {}

TDBPrintWin::~TDBPrintWin() { TDBPrintWin::AbandonJob(); }

QString TDBPrintWin::ComponentDescription() const { return QStringLiteral("TDBPrintWin component"); }

void TDBPrintWin::StartJob() {
  ReleaseTrackedControls();
  TPrintWin::StartJob();
  PageComplete = true;
}

void TDBPrintWin::FinishJob() {
  ReleaseTrackedControls();
  TPrintWin::FinishJob();
}

void TDBPrintWin::AbandonJob() {
  ReleaseTrackedControls();
  TPrintWin::AbandonJob();
}

void TDBPrintWin::PrintControlPages(QWidget* control, double left, double top) {
  if (PageDevice() == nullptr) return;
  PagePass = 1;
  for (;;) {
    PageComplete = true;
    ClearPageTotals();
    Fire(OnPrintHeader);
    ProcessMessages();
    PrintControlAt(control, left, top);
    if (PageDevice() == nullptr) return;  // a handler ended the job
    if (PageComplete) {
      Fire(OnNewPage);
      return;
    }
    StartNewPage();
    ++PagePass;
  }
}

void TDBPrintWin::PrintEditBox(QWidget* control, const TRect& rect, int textX, int textY) {
  auto* edit = dynamic_cast<TCustomEdit*>(control);
  if (edit == nullptr || PageDevice() == nullptr) return;
  int alignment = 0;
  if (auto* dataEdit = dynamic_cast<TDBEdit*>(control)) {
    if (dataEdit->DataSource() == nullptr || dataEdit->DataSource()->DataSet() == nullptr) return;
    if (const TField* field = dataEdit->Field()) alignment = field->Alignment();
  }
  const TFont font = edit->Font();
  PageDevice()->TextBox(0, PrintColor(edit->Color()), 0, &font, edit->BorderStyle() == bsSingle, textX, textY,
                        rect.Right, rect.Bottom, rect, font.Color(), edit->Text(), alignment, BoxTextEnabled,
                        FillBoxes, FrameBoxes);
}

void TDBPrintWin::PrintControlAt(QWidget* control, double left, double top) {
  const ControlPrintScope scope(*this);
  TControl* own = AsControl(control);
  if (PageDevice() == nullptr || control == nullptr || control->isHidden()) return;
  Printer().Canvas().Font().SetStyle(0);
  bool frame = FrameObjects;

  const double x0 = ToDeviceF(false, left);
  const double y0 = ToDeviceF(true, top);
  CurrentControl = control;
  Fire(OnBeforePrintControl);

  Placement where = PlaceAt(control, x0, y0);
  where.CallLeft = left;

  const bool handled = own != nullptr && PrintTopLevel(control, where, frame);
  if (PageDevice() == nullptr) return;
  if (frame && handled && ObjectFrameAllowed)
    PageDevice()->FrameBox(where.L, where.T, where.R, where.B, 2, 2, 2, 2);
  if (!handled) {
    ObjectFrameAllowed = false;
    CaptureWindow(control, where.L, where.T, where.R, where.B, TQVChildControls::LeftOut);
  }
  ObjectFrameAllowed = true;
  CurrentControl = control;
  Fire(OnAfterPrintControl);

  for (QWidget* child : ChildControls(*control)) {
    if (PageDevice() == nullptr) return;  // a handler ended the job
    if (child->isHidden()) continue;
    Placement place = PlaceAt(child, x0 + child->x() * ScaleX, y0 + child->y() * LineSpacing);
    place.CallLeft = left;
    PrintChild(child, place);
  }
}

// A sortable grid with a page position of its own prints there, wherever its window is printed; any other
// control, or a grid without all four values, at its place in the window.
TDBPrintWin::Placement TDBPrintWin::PlaceAt(QWidget* control, double x0, double y0) const {
  double x1 = x0 + control->width() * ScaleX;
  double y1 = y0 + control->height() * LineSpacing;
  if (const auto* grid = dynamic_cast<const TQV_SortGrid*>(control);
      grid != nullptr && grid->PrintItLeft != 0.0 && grid->PrintItTop != 0.0 && grid->PrintItHeight != 0.0 &&
      grid->PrintItWidth != 0.0) {
    x0 = ToDeviceF(false, grid->PrintItLeft);
    y0 = ToDeviceF(true, grid->PrintItTop);
    x1 = x0 + ToDeviceF(false, grid->PrintItWidth);
    y1 = y0 + ToDeviceF(true, grid->PrintItHeight);
  }
  Placement where;
  where.L = Round(x0);
  where.T = Round(y0);
  where.R = Round(x1);
  where.B = Round(y1);
  where.Rect = Rect(where.L, where.T, where.R, where.B);
  return where;
}

// Each test stands on its own, in this order: a control of several kinds gets every rule that fits it.
bool TDBPrintWin::PrintTopLevel(QWidget* control, const Placement& where, bool& frame) {
  bool handled = false;
  if (Is<TForm>(control)) {
    PrintForm(control, where);
    frame = false;
    handled = true;
  }
  if (auto* box = dynamic_cast<TScrollBox*>(control)) {
    const TFont font = box->Font();
    TextBoxStandard(*box, &font, where, QString(), 0, box->BorderStyle() == bsSingle);
    if (box->BorderStyle() == bsNone) frame = false;
    handled = true;
  }
  if (Is<TMemo>(control)) {
    PrintMemo(control, where);
    frame = false;
    handled = true;
  }
  if (Is<TGroupBox>(control)) {
    PrintGroupBox(control, where, false);
    handled = true;
  }
  if (auto* box = dynamic_cast<TCustomCheckBox*>(control)) {
    PrintCheckBox(control, where, box->Checked(), false);
    handled = true;
  }
  if (auto* button = dynamic_cast<TRadioButton*>(control)) {
    PrintCheckBox(control, where, button->Checked(), true);
    handled = true;
  }
  if (Is<TCustomRadioGroup>(control)) {
    PrintRadioGroup(control, where);
    frame = false;
    handled = true;
  }
  if (Is<TDBMemo>(control)) {
    PrintDataMemo(control, where);
    handled = true;
  }
  if (TakesPanelRule(control)) {
    PrintPanel(control, where, false);
    frame = AsControl(control)->BorderStyle() == bsSingle;
    handled = true;
  }
  // A sortable grid is a data grid: it takes this rule and so always counts as handled.
  if (auto* grid = dynamic_cast<TDBGrid*>(control)) {
    ResetColumns(control, TColumnState::WidthArray);
    PrintDataGridRule(control, where);
    if (grid->BorderStyle() == bsNone) frame = false;
    handled = true;
  }
  return handled;
}

void TDBPrintWin::PrintChild(QWidget* child, const Placement& where) {
  TControl* control = AsControl(child);
  if (control == nullptr) return;
  if (control->Windowed()) {
    CurrentControl = child;
    Fire(OnBeforePrintControl);
  }
  if (PageDevice() == nullptr) return;

  if (Is<TDBNavigator>(child)) {
    return;  // buttons for the screen only
  } else if (Is<TCustomEdit>(child)) {
    PrintEditBox(child, where.Rect, OffsetX(where.L, 10), OffsetY(where.T, 10));
  } else if (Is<TQV_Label>(child)) {
    PrintShadowLabel(child, where);
  } else if (Is<TLabel>(child)) {
    PrintLabel(child, where);
  } else if (auto* graphic = dynamic_cast<TQVGraphicControl*>(child)) {
    PrintGraphicControl(*graphic, where);
  } else if (Is<TDBText>(child)) {
    PrintDataText(child, where);
  } else if (Is<TShowTotal>(child)) {
    PrintTotals(child, where);
  } else if (Is<TGroupBox>(child)) {
    PrintGroupBox(child, where, true);
  } else if (Is<TCustomRadioGroup>(child)) {
    PrintRadioGroup(child, where);
  } else if (auto* button = dynamic_cast<TRadioButton*>(child)) {
    PrintCheckBox(child, where, button->Checked(), true);
  } else if (auto* box = dynamic_cast<TCustomCheckBox*>(child)) {
    PrintCheckBox(child, where, box->Checked(), false);
  } else if (Is<TMemo>(child)) {
    PrintMemo(child, where);
  } else if (Is<TDBMemo>(child)) {
    PrintDataMemo(child, where);
  } else if (Is<TComboBox>(child)) {
    PrintComboBox(child, where);
  } else if (Is<TDBComboBox>(child)) {
    PrintDataCombo(child, where);
  } else if (Is<TDBLookupCombo>(child)) {
    PrintLookupCombo(child, where);
  } else if (Is<TDBGrid>(child)) {
    ResetColumns(child, TColumnState::WidthArray);
    PrintDataGridRule(child, where);
    CurrentControl = child;
    Fire(OnAfterPrintControl);
  } else if (Is<TStringGrid>(child)) {
    PrintStringGridRule(child, where);
  } else if (auto* image = dynamic_cast<TImage*>(child)) {
    PrintPicture(image->Picture(), where);
  } else if (auto* dataImage = dynamic_cast<TDBImage*>(child)) {
    PrintPicture(dataImage->Picture(), where);
  } else if (Is<TBevel>(child)) {
    PrintBevel(child, where);
  } else if (TakesPanelRule(child)) {
    PrintPanel(child, where, true);
  } else if (Is<TScrollBox>(child)) {
    PrintScrollBox(child, where);
  } else if (Is<TShape>(child)) {
    PrintShape(child, where);
  } else if (control->Windowed()) {
    if (ChildControls(*child).isEmpty()) {
      CaptureWindow(child, where.L, where.T, where.R, where.B, TQVChildControls::LeftOut);
    } else {
      PrintNested(child, where);
    }
  }
}

void TDBPrintWin::PrintNested(QWidget* container, const Placement& where) {
  PrintControlAt(container, FromDevice(where.L, false), FromDevice(where.T, true));
}
