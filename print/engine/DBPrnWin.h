#pragma once

// The component that prints a window control by control, each by the rule of its class.

#include "platform/ExtCtrls.h"
#include "platform/Types.h"
#include "platform/data/DB.h"
#include "platform/data/Fields.h"
#include "print/device/QV_Gdi.h"
#include "print/engine/GridPrinter.h"
#include "print/engine/PrnWin.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class QTextDocument;
class QWidget;
class TControl;
class TQVGraphicControl;
class TDBGrid;
class TStringGrid;

/**
 * The rule a child control prints by. One table maps classes to rules, first match first: the program's own
 * controls, then Qt's stock widgets mapped onto the same drawing, then the capture of anything else.
 */
enum class TChildRule {
  NotPrinted,
  Edit,
  ShadowLabel,
  Label,
  GraphicControl,
  DataText,
  Totals,
  GroupBox,
  RadioGroup,
  RadioButton,
  CheckBox,
  Memo,
  DataMemo,
  ComboBox,
  DataCombo,
  LookupCombo,
  DataGrid,
  StringGrid,
  Image,
  DataImage,
  Bevel,
  Panel,
  ScrollBox,
  Shape,
  // Qt's stock widgets.
  StockLabel,
  StockEdit,
  StockPlainText,
  StockRichText,
  StockCheckBox,
  StockRadioButton,
  StockComboBox,
  StockLine,
  StockProgressBar,
  StockItemView,
  StockContainer,
  /** Any other window: captured, or walked when it has controls of its own. */
  Window,
};

/**
 * The printing component that draws a window control by control: every recognised control is drawn on the
 * page by a rule of its class (labels wrapped to their printed width, shapes, panels, memos, edits, check
 * boxes, images, data controls showing their field, the library's shadow labels and graphic controls, ...),
 * scaled from screen pixels to printer pixels; containers nest; any other window paints itself into the page
 * (the library's rich-text controls print their next portion there). Qt's stock widgets print by the rules
 * of their counterparts (a QLabel as a label, a QLineEdit as an edit, ...), and any Qt item view prints
 * every row of its model through the grid printer, as a data grid does. Data grids print their rows across as
 * many pages as they need, with running sums per numeric column that totals controls show.
 */
class TDBPrintWin : public TPrintWin {
  Q_OBJECT
public:
  explicit TDBPrintWin(QObject* owner = nullptr, TCreation creation = TCreation::RunTime);
  ~TDBPrintWin() override;

  QString ComponentDescription() const override;
  void PrintEditBox(QWidget* control, const TRect& rect, int textX, int textY) override;
  void StartJob() override;
  void FinishJob() override;
  void AbandonJob() override;
  /** Renders the control at (left, top) by the rules of its class, then each of its visible children. */
  void PrintControlAt(QWidget* control, double left, double top) override;
  using TPrintWin::PrintControlPages;

  /** The grid printer of this component: the grids met in the job, their page and running totals. */
  TGridPrinter& GridPrinter() { return gridPrinter_; }
  /** The grids met in this job; empty outside a job. */
  const std::vector<std::unique_ptr<TTrackedControl>>& TrackedControls() const {
    return gridPrinter_.TrackedControls();
  }
  /** The page total and the running total of the grid column whose field is labelled so (0 when none). */
  double PageTotal(QWidget* grid, const QString& displayLabel) {
    return gridPrinter_.PageTotal(grid, displayLabel);
  }
  double RunningTotal(QWidget* grid, const QString& displayLabel) {
    return gridPrinter_.RunningTotal(grid, displayLabel);
  }

  /** The rule a child control prints by (the first row of the rules table its class passes). */
  static TChildRule ChildRuleOf(QWidget* child);
  /**
   * What a control printed by the rule is in a tagged document's structure: a paragraph (a heading when its
   * HeadingLevelProperty is 1 to 6), a check box's or radio button's paragraph with its state in words, a
   * figure with its accessible description or name as alternate text, a division holding controls; no role
   * for what marks itself (grids, rich text) or belongs to the paper (shapes, bevels, lines).
   */
  static TStructureMark ElementOf(QWidget* control, TChildRule rule);

protected:
  /** Each page's totals begin at 0. */
  void StartPass() override { gridPrinter_.ClearPageTotals(); }

private:
  /** Where a control lands on the page, in printer pixels, with the rectangle record of the same edges. */
  struct Placement {
    int L = 0;
    int T = 0;
    int R = 0;
    int B = 0;
    TRect Rect;
    /** Left of the call the control was printed in, for clipping shapes that begin left of the page. */
    double CallLeft = 0.0;
    /** Top and bottom before rounding: what fits between them is the same at every resolution. */
    double ExactT = 0.0;
    double ExactB = 0.0;
  };

  /** Where a control whose left and top edges fall at (x0, y0) prints, rounded to printer pixels. */
  Placement PlaceAt(QWidget* control, double x0, double y0) const;
  bool PrintTopLevel(QWidget* control, const Placement& where, bool& frame);
  void PrintChild(QWidget* child, const Placement& where);

  // Text boxes and font selection shared by the rules.
  void TextBoxAt(TColor color, const TFont* font, const Placement& where, int x, int y, const QString& text,
                 int alignment, bool border);
  void TextBoxStandard(TColor color, const TFont* font, const Placement& where, const QString& text,
                       int alignment, bool border);
  void TextBoxStandard(const TControl& control, const TFont* font, const Placement& where,
                       const QString& text, int alignment, bool border);
  /** A one-line box whose text stands on its middle line, as a line edit or a total shows it. */
  void TextBoxCentred(TColor color, const TFont& font, const Placement& where, const QString& text,
                      int alignment, bool border);
  void SelectFontOf(TControl& control);
  int MarkSize() const;
  void PrintNested(QWidget* container, const Placement& where);
  /** A data grid or item view met in a walk. */
  void PrintGridChild(QWidget* grid, const Placement& where);

  // Rules of the plain controls. Each draws from the values it is given, so a stock Qt widget prints by the
  // same drawing as its counterpart among the program's controls.
  void PrintForm(QWidget* form, const Placement& where);
  void PrintLabel(QWidget* label, const Placement& where);
  void PrintLabelText(const TFont& font, TColor color, bool transparent, int alignment, const QString& text,
                      const Placement& where);
  void PrintMemo(const TMemoContent& memo, const Placement& where);
  void PrintGroupBox(QWidget* group, const Placement& where, bool nested);
  void PrintGroupBox(TColor color, const TFont& font, const QString& caption, const Placement& where);
  void PrintGroupOutline(const TFont& font, const QString& caption, const Placement& where);
  void PrintRadioGroup(QWidget* group, const Placement& where);
  void PrintCheckBox(QWidget* box, const Placement& where, bool checked, bool round);
  /** The font is selected as the page will print it: the face may change to one the printer has. */
  void PrintCheckMark(TFont& font, TColor color, TAlignment alignment, const QString& caption, bool checked,
                      bool round, const Placement& where);
  void PrintComboBox(QWidget* combo, const Placement& where);
  void PrintComboText(TFont& font, TColor color, const QString& text, const Placement& where);
  void PrintPicture(const TPicture& picture, const Placement& where);
  void PrintPicture(const TPictureContent& picture, const Placement& where);
  void PrintBevel(TColor color, bool fill, const Placement& where);
  void PrintPanel(QWidget* panel, const Placement& where, bool nested);
  void PrintScrollBox(QWidget* box, const Placement& where);
  void PrintShape(QWidget* shape, const Placement& where);
  void PrintShape(TShapeType kind, const TBrush& brush, const TPen& pen, const Placement& where);
  // The rules of the library's decorative controls (DBPrnWinDecor.cpp).
  /** Plain and library panels share the panel rule; the library's other panels are captured. */
  static bool TakesPanelRule(QWidget* control);
  void PrintShadowLabel(QWidget* label, const Placement& where);
  void PrintGraphicControl(TQVGraphicControl& control, const Placement& where);
  void PrintStringGridRule(QWidget* grid, const Placement& where);

  // Rules of the data controls.
  void PrintDataText(QWidget* text, const Placement& where);
  void PrintDataMemo(QWidget* memo, const Placement& where);
  void PrintDataCombo(QWidget* combo, const Placement& where);
  void PrintLookupCombo(QWidget* combo, const Placement& where);
  void PrintDataGridRule(QWidget* grid, const Placement& where);
  void PrintTotals(QWidget* totals, const Placement& where);

  // Rules of Qt's stock widgets (DBPrnWinStock.cpp).
  void PrintStockChild(TChildRule rule, QWidget* child, const Placement& where);
  bool PrintStockTopLevel(QWidget* control, const Placement& where, bool& frame);
  void PrintStockLabel(QWidget* label, const Placement& where);
  void PrintRichText(const QTextDocument& document, TColor textColor, bool label, const Placement& where);
  void PrintStockLine(QWidget* line, const Placement& where);
  void PrintStockProgressBar(QWidget* bar, const Placement& where);
  void PrintItemView(QWidget* view, const Placement& where);

  /** Fills a grid's box in its colour, before the grid printer prints into it. */
  void FillGridBox(TColor color, const TFont& font, const Placement& where);
  static TGridBox GridBoxOf(const Placement& where);
  /** Rows left for a further page keep the pass from completing. */
  void RowsLeft(bool left) {
    if (left) PageComplete = false;
  }

  TGridPrinter gridPrinter_;
};
