#include "print/engine/PrnWin.h"

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"
#include "print/device/QV_Gdi.h"
#include "print/dialogs/Pagewick.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdlib>

namespace {
// Sixty turns of the event loop a second, as often as the screen shows a new frame.
constexpr qint64 EventTurnMilliseconds = 16;
}  // namespace

TPrintWin::TPrintWin(QObject* owner, TCreation creation) : TQVComponent(owner) {
  headerFont_ = MakeFont(QStringLiteral("Arial"), 16);
  font_ = MakeFont(QStringLiteral("Arial"), 16);
  footerFont_ = MakeFont(QStringLiteral("Arial"), 12);
  footerTextFont_ = MakeFont(QStringLiteral("Arial"), 12);
  spareTextFont_ = MakeFont(QStringLiteral("Arial"), 12);
  // A component dropped on a form in the designer starts with the usual footer texts; one made by a running
  // program starts blank, so nothing is printed that its author did not ask for.
  if (creation == TCreation::Designer) {
    FooterStringLeft = QStringLiteral("Printed on @Date at @Time");
    FooterStringRight = QStringLiteral("Page @Page");
  } else {
    FooterStringLeft = Blanks(28);
    FooterStringRight = Blanks(29);
  }
}

// A job left open (its caller failed half-way) leaves neither its pages nor a dangling dialog reference.
TPrintWin::~TPrintWin() { TPrintWin::AbandonJob(); }

void TPrintWin::SetExecuteWinControl(QWidget* control) {
  QObject::disconnect(executeWinControlWatch_);
  executeWinControl_ = control;
  if (control != nullptr) {
    executeWinControlWatch_ =
        connect(control, &QObject::destroyed, this, [this] { executeWinControl_ = nullptr; });
  }
}

QString TPrintWin::ComponentDescription() const { return QStringLiteral("TPrintWin component"); }

void TPrintWin::Execute() {
  if (executeWinControl_ == nullptr) {
    MessageDlg(QStringLiteral("The ExecuteWinControl property is empty"), mtInformation, mbOK);
    return;
  }
  TPrintJobScope job(*this);
  PrintControlPages(executeWinControl_, 1.0, 1.0);
  job.Finish();
}

void TPrintWin::ProcessMessages() { Application().ProcessMessages(); }

void TPrintWin::ProcessMessagesNowAndThen() {
  // The grid printer asks at every cell, tens of thousands of times a second; the desktop needs a turn of
  // the event loop far less often to repaint and to take a click on Abort, and each turn costs a poll of
  // every source. The fixed points of a job (a page opening or closing) still yield every time.
  static QElapsedTimer sinceLastTurn;
  if (sinceLastTurn.isValid() && sinceLastTurn.elapsed() < EventTurnMilliseconds) {
    Application().ThrowIfInterrupted();
    return;
  }
  Application().ProcessMessages();
  sinceLastTurn.start();
}

void TPrintWin::SelectControlFont(TFont& font) {
  if (FixSansSerif &&
      (font.Name() == QLatin1String("MS Sans Serif") || font.Name() == QLatin1String("System"))) {
    font.SetName(QStringLiteral("Arial"));
  }
  if (!pageDevice_) return;
  TFont& canvasFont = Printer().Canvas().Font();
  canvasFont.SetName(font.Name());
  canvasFont.SetSize(std::abs(font.Size()));
  canvasFont.SetStyle(font.Style());
  canvasFont.SetColor(font.Color());
  pageDevice_->SetFontStyled(canvasFont.Name(), std::abs(canvasFont.Height()), font.HasStyle(fsBold),
                             font.HasStyle(fsItalic), font.HasStyle(fsUnderline));
}

void TPrintWin::PrintEditBox(QWidget* control, const TRect& rect, int textX, int textY) {
  auto* edit = dynamic_cast<TEdit*>(control);
  if (edit == nullptr || !pageDevice_) return;
  const TFont font = edit->Font();
  pageDevice_->TextBox(0, PrintColor(edit->Color()), 0, &font, edit->BorderStyle() == bsSingle, textX, textY,
                       rect.Right, rect.Bottom, rect, font.Color(), edit->Text(), 0, BoxTextEnabled,
                       FillBoxes, FrameBoxes);
}
