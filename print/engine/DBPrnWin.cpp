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
#include "print/engine/StockWidgets.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>

namespace {
int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }

// What a picture shows, in words: what the form says of the control for screen readers.
QString AlternateTextOf(const QWidget& control) {
  for (const QString& text : {control.accessibleDescription(), control.accessibleName(), control.toolTip()}) {
    if (!text.trimmed().isEmpty()) return text.trimmed();
  }
  return QStringLiteral("Picture");
}

QString CheckStateInWords(const QString& caption, bool checked, bool round) {
  const QString state = round ? (checked ? QStringLiteral("selected") : QStringLiteral("not selected"))
                              : (checked ? QStringLiteral("checked") : QStringLiteral("not checked"));
  const QString shown = WithoutMnemonic(caption).trimmed();
  return shown.isEmpty() ? state : shown + QStringLiteral(": ") + state;
}

// A radio group's caption, each item and which one is chosen.
QString RadioGroupInWords(TCustomRadioGroup& group) {
  QStringList words;
  if (!group.Caption().trimmed().isEmpty()) words << WithoutMnemonic(group.Caption()).trimmed() + ':';
  const QStringList items = group.Items();
  for (int item = 0; item < items.size(); ++item) {
    words << (item == group.ItemIndex() ? QStringLiteral("%1 (selected)") : QStringLiteral("%1"))
                 .arg(WithoutMnemonic(items.at(item)));
  }
  return words.join(QLatin1Char(' '));
}

template <typename Control>
bool Is(QWidget* widget) {
  return dynamic_cast<Control*>(widget) != nullptr;
}

TMemoContent MemoOf(const TCustomMemo& memo) {
  TMemoContent content;
  content.Lines = memo.Lines();
  content.Alignment = memo.Alignment();
  content.Font = memo.Font();
  content.SingleBorder = memo.BorderStyle() == bsSingle;
  return content;
}

bool IsProgramControl(QWidget* widget) { return AsControl(widget) != nullptr; }

bool AnyWidget(QWidget*) { return true; }
}  // namespace

// The rules table: the first row whose class test a child passes gives its rule. The program's controls come
// first, since most of them are built on the stock widgets the later rows name.
TChildRule TDBPrintWin::ChildRuleOf(QWidget* child) {
  struct ChildRuleRow {
    bool (*Matches)(QWidget*);
    TChildRule Rule;
  };
  static const ChildRuleRow ChildRules[] = {
      {Is<TDBNavigator>, TChildRule::NotPrinted},
      {Is<TCustomEdit>, TChildRule::Edit},
      {Is<TQV_Label>, TChildRule::ShadowLabel},
      {Is<TLabel>, TChildRule::Label},
      {Is<TQVGraphicControl>, TChildRule::GraphicControl},
      {Is<TDBText>, TChildRule::DataText},
      {Is<TShowTotal>, TChildRule::Totals},
      {Is<TGroupBox>, TChildRule::GroupBox},
      {Is<TCustomRadioGroup>, TChildRule::RadioGroup},
      {Is<TRadioButton>, TChildRule::RadioButton},
      {Is<TCustomCheckBox>, TChildRule::CheckBox},
      {Is<TMemo>, TChildRule::Memo},
      {Is<TDBMemo>, TChildRule::DataMemo},
      {Is<TComboBox>, TChildRule::ComboBox},
      {Is<TDBComboBox>, TChildRule::DataCombo},
      {Is<TDBLookupCombo>, TChildRule::LookupCombo},
      {Is<TDBGrid>, TChildRule::DataGrid},
      {Is<TStringGrid>, TChildRule::StringGrid},
      {Is<TImage>, TChildRule::Image},
      {Is<TDBImage>, TChildRule::DataImage},
      {Is<TBevel>, TChildRule::Bevel},
      {TakesPanelRule, TChildRule::Panel},
      {Is<TScrollBox>, TChildRule::ScrollBox},
      {Is<TShape>, TChildRule::Shape},
      // Any other of the program's controls is a window of its own, whatever stock widget it is built on.
      {IsProgramControl, TChildRule::Window},
      {IsScreenFurniture, TChildRule::NotPrinted},
      {IsStock<QLabel>, TChildRule::StockLabel},
      {IsStock<QLineEdit>, TChildRule::StockEdit},
      {IsStock<QAbstractSpinBox>, TChildRule::StockEdit},
      {IsStock<QPlainTextEdit>, TChildRule::StockPlainText},
      {IsStock<QTextEdit>, TChildRule::StockRichText},
      {IsStock<QCheckBox>, TChildRule::StockCheckBox},
      {IsStock<QRadioButton>, TChildRule::StockRadioButton},
      {IsStock<QComboBox>, TChildRule::StockComboBox},
      {IsStockLine, TChildRule::StockLine},
      {IsStock<QProgressBar>, TChildRule::StockProgressBar},
      {IsStock<QAbstractItemView>, TChildRule::StockItemView},
      {IsStockContainer, TChildRule::StockContainer},
      {AnyWidget, TChildRule::Window},
  };
  for (const ChildRuleRow& row : ChildRules) {
    if (row.Matches(child)) return row.Rule;
  }
  return TChildRule::Window;
}

TDBPrintWin::TDBPrintWin(QObject* owner, TCreation creation) : TPrintWin(owner, creation) {}

TDBPrintWin::~TDBPrintWin() { TDBPrintWin::AbandonJob(); }

QString TDBPrintWin::ComponentDescription() const { return QStringLiteral("TDBPrintWin component"); }

void TDBPrintWin::StartJob() {
  gridPrinter_.Release();
  TPrintWin::StartJob();
  PageComplete = true;
}

void TDBPrintWin::FinishJob() {
  gridPrinter_.Release();
  TPrintWin::FinishJob();
}

void TDBPrintWin::AbandonJob() {
  gridPrinter_.Release();
  TPrintWin::AbandonJob();
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
  if (PageDevice() == nullptr || control == nullptr || HiddenFromPrint(*control)) return;
  const TLaidOutScope laidOut(*control);
  Printer().Canvas().Font().SetStyle(0);
  bool frame = FrameObjects;

  const double x0 = ToDeviceF(false, left);
  const double y0 = ToDeviceF(true, top);
  CurrentControl = control;
  Fire(OnBeforePrintControl);

  Placement where = PlaceAt(control, x0, y0);
  where.CallLeft = left;
  // A later page's division would hold only what goes on in elements begun on the first.
  // (A handler of the event above may have ended the job.)
  const bool tagged = PageDevice() != nullptr && PageDevice()->Tagged();
  TStructureMark mark =
      Is<TForm>(control) || !tagged ? TStructureMark() : ElementOf(control, ChildRuleOf(control));
  if (PagePass > 1 && mark.Role == QLatin1String("Div")) mark.Role.clear();
  const TMarked element(mark.Role.isEmpty() ? nullptr : PageDevice(), mark);

  const bool handled =
      own != nullptr ? PrintTopLevel(control, where, frame) : PrintStockTopLevel(control, where, frame);
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

  for (const TPrintedChild& printed : PrintedChildren(*control)) {
    if (PageDevice() == nullptr) return;  // a handler ended the job
    QWidget* child = printed.Widget;
    if (HiddenFromPrint(*child)) continue;
    Placement place =
        PlaceAt(child, x0 + printed.Position.x() * ScaleX, y0 + printed.Position.y() * LineSpacing);
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
  where.ExactT = y0;
  where.ExactB = y1;
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
  if (auto* memo = dynamic_cast<TMemo*>(control)) {
    PrintMemo(MemoOf(*memo), where);
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
    gridPrinter_.ResetColumns(control, TColumnState::WidthArray);
    PrintDataGridRule(control, where);
    if (grid->BorderStyle() == bsNone) frame = false;
    handled = true;
  }
  return handled;
}

TStructureMark TDBPrintWin::ElementOf(QWidget* control, TChildRule rule) {
  TStructureMark mark;
  switch (rule) {
    case TChildRule::Edit:
    case TChildRule::ShadowLabel:
    case TChildRule::Label:
    case TChildRule::DataText:
    case TChildRule::Totals:
    case TChildRule::Memo:
    case TChildRule::DataMemo:
    case TChildRule::ComboBox:
    case TChildRule::DataCombo:
    case TChildRule::LookupCombo:
    case TChildRule::StockEdit:
    case TChildRule::StockPlainText:
    case TChildRule::StockComboBox: mark.Role = QStringLiteral("P"); break;
    case TChildRule::StockLabel: {
      // A rich label marks its own paragraphs as it draws them.
      const auto* label = qobject_cast<QLabel*>(control);
      if (!label->pixmap().isNull()) {
        mark.Role = QStringLiteral("Figure");
      } else if (label->textFormat() == Qt::PlainText ||
                 (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()))) {
        mark.Role = QStringLiteral("P");
      }
      break;
    }
    case TChildRule::StockRichText:
      if (!qobject_cast<QTextEdit*>(control)->acceptRichText()) mark.Role = QStringLiteral("P");
      break;
    case TChildRule::CheckBox:
    case TChildRule::RadioButton:
    case TChildRule::StockCheckBox:
    case TChildRule::StockRadioButton: {
      const bool round = rule == TChildRule::RadioButton || rule == TChildRule::StockRadioButton;
      const auto* button = qobject_cast<QAbstractButton*>(control);
      const bool checked = button != nullptr ? button->isChecked()
                           : round           ? dynamic_cast<TRadioButton*>(control)->Checked()
                                             : dynamic_cast<TCustomCheckBox*>(control)->Checked();
      const QString caption = button != nullptr ? button->text() : AsControl(control)->Caption();
      mark.Role = QStringLiteral("P");
      mark.ActualText = CheckStateInWords(caption, checked, round);
      break;
    }
    case TChildRule::RadioGroup:
      mark.Role = QStringLiteral("P");
      mark.ActualText = RadioGroupInWords(*dynamic_cast<TCustomRadioGroup*>(control));
      break;
    case TChildRule::GraphicControl:
    case TChildRule::Image:
    case TChildRule::DataImage:
    case TChildRule::StockProgressBar: mark.Role = QStringLiteral("Figure"); break;
    case TChildRule::GroupBox:
    case TChildRule::Panel:
    case TChildRule::ScrollBox:
    case TChildRule::StockContainer: mark.Role = QStringLiteral("Div"); break;
    case TChildRule::Window:
      // A rich text marks its own paragraphs; any other window is a picture of itself, or holds controls.
      if (dynamic_cast<TQVPrintMessageReceiver*>(control) != nullptr) break;
      mark.Role = PrintedChildren(*control).empty() ? QStringLiteral("Figure") : QStringLiteral("Div");
      break;
    default: break;
  }
  if (mark.Role == QLatin1String("Figure")) mark.Alt = AlternateTextOf(*control);
  // A shadowed label draws its caption more than once; it is read once.
  if (rule == TChildRule::ShadowLabel) mark.ActualText = WithoutMnemonic(AsControl(control)->Caption());
  const int heading = control->property(HeadingLevelProperty).toInt();
  if (mark.Role == QLatin1String("P") && heading >= 1 && heading <= 6)
    mark.Role = QStringLiteral("H%1").arg(heading);
  return mark;
}

void TDBPrintWin::PrintChild(QWidget* child, const Placement& where) {
  const TControl* control = AsControl(child);
  // A stock widget is a window of its own too: the events fire for it as for the program's windows.
  if (control == nullptr || control->Windowed()) {
    CurrentControl = child;
    Fire(OnBeforePrintControl);
  }
  if (PageDevice() == nullptr) return;

  const TChildRule rule = ChildRuleOf(child);
  const bool nested = rule == TChildRule::GroupBox || rule == TChildRule::Panel ||
                      rule == TChildRule::ScrollBox || rule == TChildRule::StockContainer ||
                      (rule == TChildRule::Window && !PrintedChildren(*child).empty());
  // On a page after the first the form prints again around what goes on there (a grid's further rows, a
  // text's further lines): a reader hears the rest of the form once. A container's controls decide each for
  // itself, as a grid in a group box goes on.
  const bool goesOn = nested || rule == TChildRule::DataGrid || rule == TChildRule::StockItemView ||
                      dynamic_cast<TQVPrintMessageReceiver*>(child) != nullptr;
  const TMarked repeated(PagePass > 1 && !goesOn ? PageDevice() : nullptr, TArtifactKind::Pagination);
  // A container's element is made where its own controls print (PrintControlAt).
  const TStructureMark mark = nested || !PageDevice()->Tagged() ? TStructureMark() : ElementOf(child, rule);
  const TMarked element(mark.Role.isEmpty() ? nullptr : PageDevice(), mark);
  switch (rule) {
    case TChildRule::NotPrinted: return;  // for the screen only
    case TChildRule::Edit:
      PrintEditBox(child, where.Rect, OffsetX(where.L, 10), OffsetY(where.T, 10));
      return;
    case TChildRule::ShadowLabel: PrintShadowLabel(child, where); return;
    case TChildRule::Label: PrintLabel(child, where); return;
    case TChildRule::GraphicControl:
      PrintGraphicControl(*dynamic_cast<TQVGraphicControl*>(child), where);
      return;
    case TChildRule::DataText: PrintDataText(child, where); return;
    case TChildRule::Totals: PrintTotals(child, where); return;
    case TChildRule::GroupBox: PrintGroupBox(child, where, true); return;
    case TChildRule::RadioGroup: PrintRadioGroup(child, where); return;
    case TChildRule::RadioButton:
      PrintCheckBox(child, where, dynamic_cast<TRadioButton*>(child)->Checked(), true);
      return;
    case TChildRule::CheckBox:
      PrintCheckBox(child, where, dynamic_cast<TCustomCheckBox*>(child)->Checked(), false);
      return;
    case TChildRule::Memo: PrintMemo(MemoOf(*dynamic_cast<TCustomMemo*>(child)), where); return;
    case TChildRule::DataMemo: PrintDataMemo(child, where); return;
    case TChildRule::ComboBox: PrintComboBox(child, where); return;
    case TChildRule::DataCombo: PrintDataCombo(child, where); return;
    case TChildRule::LookupCombo: PrintLookupCombo(child, where); return;
    case TChildRule::DataGrid: PrintGridChild(child, where); return;
    case TChildRule::StringGrid: PrintStringGridRule(child, where); return;
    case TChildRule::Image: PrintPicture(dynamic_cast<TImage*>(child)->Picture(), where); return;
    case TChildRule::DataImage: PrintPicture(dynamic_cast<TDBImage*>(child)->Picture(), where); return;
    case TChildRule::Bevel: PrintBevel(AsControl(child)->Color(), true, where); return;
    case TChildRule::Panel: PrintPanel(child, where, true); return;
    case TChildRule::ScrollBox: PrintScrollBox(child, where); return;
    case TChildRule::Shape: PrintShape(child, where); return;
    case TChildRule::Window:
      // A control drawn by its parent has no window to capture.
      if (control != nullptr && !control->Windowed()) return;
      if (PrintedChildren(*child).empty()) {
        CaptureWindow(child, where.L, where.T, where.R, where.B, TQVChildControls::LeftOut);
      } else {
        PrintNested(child, where);
      }
      return;
    default: PrintStockChild(rule, child, where); return;
  }
}

// A grid in a window: its widths taken anew, its rows from where the last page stopped, then its own event.
void TDBPrintWin::PrintGridChild(QWidget* grid, const Placement& where) {
  gridPrinter_.ResetColumns(grid, TColumnState::WidthArray);
  if (dynamic_cast<TDBGrid*>(grid) != nullptr) {
    PrintDataGridRule(grid, where);
  } else {
    PrintItemView(grid, where);
  }
  CurrentControl = grid;
  Fire(OnAfterPrintControl);
}

void TDBPrintWin::PrintNested(QWidget* container, const Placement& where) {
  PrintControlAt(container, FromDevice(where.L, false), FromDevice(where.T, true));
}
