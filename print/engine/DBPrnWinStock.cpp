// The rules of Qt's stock widgets: each takes what its widget shows and prints it by the drawing of its
// counterpart among the program's controls, so a form made of stock widgets prints as crisp text and lines,
// its tables across as many pages as their rows need.
#include "print/engine/DBPrnWin.h"

#include "platform/SysUtils.h"
#include "print/controls/QVRich.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"
#include "print/engine/ItemModelRows.h"
#include "print/engine/StockWidgets.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

namespace {
int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }

// A stock widget paints its background only when told to; otherwise what lies under it shows through.
bool FillsBackground(const QWidget& widget) { return widget.autoFillBackground(); }

// The box a frame draws round its contents, when it draws one.
bool FramesItself(const QWidget& widget) {
  const auto* frame = qobject_cast<const QFrame*>(&widget);
  return frame != nullptr && frame->frameShape() != QFrame::NoFrame && frame->frameShape() != QFrame::HLine &&
         frame->frameShape() != QFrame::VLine;
}

// A check box or radio button: the box on the side where it shows.
TAlignment MarkSide(const QWidget& button) {
  return button.layoutDirection() == Qt::RightToLeft ? taLeftJustify : taRightJustify;
}
}  // namespace

void TDBPrintWin::PrintStockChild(TChildRule rule, QWidget* child, const Placement& where) {
  switch (rule) {
    case TChildRule::StockLabel: PrintStockLabel(child, where); return;
    case TChildRule::StockEdit: {
      // A password prints as the screen shows it, masked.
      QString text;
      bool border = true;
      Qt::Alignment alignment = Qt::AlignLeft;
      if (auto* edit = qobject_cast<QLineEdit*>(child)) {
        text = edit->displayText();
        border = edit->hasFrame();
        alignment = edit->alignment();
      } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(child)) {
        text = spin->text();
        border = spin->hasFrame();
        alignment = spin->alignment();
      }
      // On the line the screen gives it: a line edit centres its text between its top and bottom.
      const TFont font = StockFont(*child, QPalette::Text);
      TextBoxCentred(StockColor(*child, QPalette::Base), font, where, text,
                     StockAlignment(alignment, child->layoutDirection()), border);
      return;
    }
    case TChildRule::StockPlainText: {
      TMemoContent memo;
      memo.Lines = qobject_cast<QPlainTextEdit*>(child)->toPlainText().split(QLatin1Char('\n'));
      memo.Font = StockFont(*child, QPalette::Text);
      memo.SingleBorder = FramesItself(*child);
      PrintMemo(memo, where);
      return;
    }
    case TChildRule::StockRichText: {
      auto& edit = *qobject_cast<QTextEdit*>(child);
      if (!edit.acceptRichText()) {
        TMemoContent memo;
        memo.Lines = edit.toPlainText().split(QLatin1Char('\n'));
        memo.Font = StockFont(edit, QPalette::Text);
        memo.SingleBorder = FramesItself(edit);
        memo.Alignment = StockAlignment(edit.alignment(), edit.layoutDirection());
        PrintMemo(memo, where);
        return;
      }
      const TFont font = StockFont(edit, QPalette::Text);
      TextBoxStandard(StockColor(edit, QPalette::Base), &font, where, QString(), 0, FramesItself(edit));
      PrintRichText(*edit.document(), font.Color(), false, where);
      return;
    }
    case TChildRule::StockCheckBox:
    case TChildRule::StockRadioButton: {
      auto& button = *qobject_cast<QAbstractButton*>(child);
      TFont font = StockFont(button);
      PrintCheckMark(font, StockColor(button, QPalette::Window), MarkSide(button),
                     WithoutMnemonic(button.text()), button.isChecked(), rule == TChildRule::StockRadioButton,
                     where);
      return;
    }
    case TChildRule::StockComboBox: {
      auto& combo = *qobject_cast<QComboBox*>(child);
      TFont font = StockFont(combo, QPalette::Text);
      PrintComboText(font, StockColor(combo, QPalette::Base), combo.currentText(), where);
      return;
    }
    case TChildRule::StockLine: PrintStockLine(child, where); return;
    case TChildRule::StockProgressBar: PrintStockProgressBar(child, where); return;
    case TChildRule::StockItemView: PrintGridChild(child, where); return;
    case TChildRule::StockContainer: PrintNested(child, where); return;
    default: return;
  }
}

// A stock widget passed to PrintControlAt, or met as a container in a walk: each rule that fits it.
bool TDBPrintWin::PrintStockTopLevel(QWidget* control, const Placement& where, bool& frame) {
  if (auto* group = qobject_cast<QGroupBox*>(control)) {
    const TFont font = StockFont(*group);
    if (!FillsBackground(*group)) BoxTextEnabled = false;
    PrintGroupBox(StockColor(*group, QPalette::Window), font, WithoutMnemonic(group->title()), where);
    BoxTextEnabled = true;
    return true;
  }
  if (qobject_cast<QAbstractItemView*>(control) != nullptr) {
    gridPrinter_.ResetColumns(control, TColumnState::WidthArray);
    PrintItemView(control, where);
    if (!FramesItself(*control)) frame = false;
    return true;
  }
  const TChildRule rule = ChildRuleOf(control);
  switch (rule) {
    case TChildRule::StockPlainText:
    case TChildRule::StockRichText:
      PrintStockChild(rule, control, where);
      frame = false;
      return true;
    case TChildRule::StockCheckBox:
    case TChildRule::StockRadioButton: PrintStockChild(rule, control, where); return true;
    case TChildRule::StockContainer:
      // A container is its background and, when it draws one, its box; its children print on it.
      if (FramesItself(*control)) {
        PrintBevel(StockColor(*control, QPalette::Window), FillsBackground(*control), where);
      } else if (FillsBackground(*control)) {
        PageDevice()->SetBrush(0, PrintColor(StockColor(*control, QPalette::Window)), 0);
        PageDevice()->FillBox(where.Rect);
      }
      frame = false;
      return true;
    default: return false;
  }
}

void TDBPrintWin::PrintStockLabel(QWidget* widget, const Placement& where) {
  auto& label = *qobject_cast<QLabel*>(widget);
  const QPixmap pixmap = label.pixmap();
  if (!pixmap.isNull()) {
    TPictureContent picture;
    picture.Bitmap = pixmap.toImage();
    PrintPicture(picture, where);
    return;
  }
  const TFont font = StockFont(label);
  const TColor color = StockColor(label, QPalette::Window);
  const bool rich = label.textFormat() == Qt::RichText ||
                    (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
  if (!rich) {
    // A label marks a shortcut only for the widget it names.
    const QString text = label.buddy() != nullptr ? WithoutMnemonic(label.text()) : label.text();
    PrintLabelText(font, color, !FillsBackground(label),
                   StockAlignment(label.alignment(), label.layoutDirection()), text, where);
    return;
  }
  if (!FillsBackground(label)) BoxTextEnabled = false;
  TextBoxStandard(color, &font, where, QString(), 0, false);
  BoxTextEnabled = true;
  QTextDocument document;
  // A label lays its rich text out without the document's margin, so text that fills it on the screen
  // fills it on paper.
  document.setDocumentMargin(0);
  document.setDefaultFont(label.font());
  QTextOption option;
  option.setAlignment(label.alignment());
  option.setWrapMode(label.wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
  document.setDefaultTextOption(option);
  document.setHtml(label.text());
  PrintRichText(document, font.Color(), true, where);
}

// The document in the widget's box, its text inset as the other rules inset theirs. An edit's text that does
// not fit is cut at the box's bottom, as the screen cuts it; a label's box moves right and down with its
// text, so a label sized to its text keeps its last letter and its last line's descenders, as the label
// rule's lines do.
void TDBPrintWin::PrintRichText(const QTextDocument& document, TColor textColor, bool label,
                                const Placement& where) {
  DrawingContext* context = PageDevice()->Handle();
  if (context == nullptr || IsTextOnlyPrinter()) return;
  const QRectF box(QPointF(OffsetX(where.L, 10), OffsetY(where.T, 10)),
                   label ? QPointF(OffsetX(where.R, 10), OffsetY(where.B, 10))
                         : QPointF(OffsetX(where.R, -10), OffsetY(where.B, -10)));
  if (box.width() <= 0 || box.height() <= 0) return;
  PrintDocumentPortion(*context, document, 0, box, ToQColor(textColor), true);
}

void TDBPrintWin::PrintStockLine(QWidget* widget, const Placement& where) {
  auto& line = *qobject_cast<QFrame*>(widget);
  const TColor color =
      StockColor(line, line.frameShadow() == QFrame::Plain ? QPalette::WindowText : QPalette::Dark);
  Placement drawn = where;
  if (line.frameShape() == QFrame::HLine) {
    const int thickness = std::max(1, Round(std::max(1, line.lineWidth()) * LineSpacing));
    drawn.T = (where.T + where.B - thickness) / 2;
    drawn.B = drawn.T + thickness;
  } else {
    const int thickness = std::max(1, Round(std::max(1, line.lineWidth()) * ScaleX));
    drawn.L = (where.L + where.R - thickness) / 2;
    drawn.R = drawn.L + thickness;
  }
  drawn.Rect = Rect(drawn.L, drawn.T, drawn.R, drawn.B);
  PrintShape(stRectangle, TBrush{bsSolid, color}, TPen{psSolid, 1, color}, drawn);
}

// The bar's trough, and over it the part done, from the side the bar fills from.
void TDBPrintWin::PrintStockProgressBar(QWidget* widget, const Placement& where) {
  auto& bar = *qobject_cast<QProgressBar*>(widget);
  PrintShape(stRectangle, TBrush{bsSolid, clWhite}, TPen{psSolid, 1, clBlack}, where);
  const double span = static_cast<double>(bar.maximum()) - bar.minimum();
  if (span <= 0 || bar.value() < bar.minimum()) return;  // busy, or not started
  const double done = std::clamp((bar.value() - bar.minimum()) / span, 0.0, 1.0);
  Placement filled = where;
  const bool inverted = bar.invertedAppearance() != (bar.layoutDirection() == Qt::RightToLeft);
  if (bar.orientation() == Qt::Horizontal) {
    const int length = Round((where.R - where.L) * done);
    if (inverted) {
      filled.L = where.R - length;
    } else {
      filled.R = where.L + length;
    }
  } else {
    const int length = Round((where.B - where.T) * done);
    if (bar.invertedAppearance()) {
      filled.B = where.T + length;
    } else {
      filled.T = where.B - length;
    }
  }
  if (filled.R <= filled.L || filled.B <= filled.T) return;
  filled.Rect = Rect(filled.L, filled.T, filled.R, filled.B);
  const TColor color = StockColor(bar, QPalette::Highlight);
  PrintShape(stRectangle, TBrush{bsSolid, color}, TPen{psSolid, 1, color}, filled);
}

void TDBPrintWin::PrintItemView(QWidget* widget, const Placement& where) {
  auto& view = *qobject_cast<QAbstractItemView*>(widget);
  const TGridLook look = TItemModelRows::LookOf(view);
  FillGridBox(look.Color, look.Font, where);
  RowsLeft(gridPrinter_.PrintItemView(*PageDevice(), view, GridBoxOf(where)));
}
