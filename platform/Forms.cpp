#include "platform/Forms.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

TForm::TForm(QWidget* parent)
    : QWidget(parent, Qt::Window), TControl(clBtnFace, false, taLeftJustify, bsSizeable) {
  setAutoFillBackground(true);
  SetParentFont(false);
  ApplyColorAndFont();
  ApplyWindowFlags();
  Application().FormCreated(*this);
}

TForm::~TForm() { Application().FormDestroyed(*this); }

void TForm::SetClientWidth(int width) { SetClientSize(width, height()); }

void TForm::SetClientHeight(int height) { SetClientSize(width(), height); }

void TForm::SetClientSize(int width, int height) {
  // A fixed-size form holds its old size against resize; the limits are set anew from the new size.
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(width, height);
  ApplyWindowFlags();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  borderIcons_ = icons;
  ApplyWindowFlags();
}

void TForm::SetActiveControl(QWidget* control) {
  activeControl_ = control;
  if (control != nullptr) control->setFocus(Qt::OtherFocusReason);
}

void TForm::ApplyWindowFlags() {
  const TBorderStyle border = BorderStyle();
  const bool dialog = border == bsDialog;
  const bool tool = border == bsToolWindow || border == bsSizeToolWin;
  const bool sizeable = border == bsSizeable || border == bsSizeToolWin;
  Qt::WindowFlags flags = (dialog ? Qt::Dialog : tool ? Qt::Tool : Qt::Window) | Qt::CustomizeWindowHint;
  if (border == bsNone) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::WindowTitleHint;
    if ((borderIcons_ & biSystemMenu) != 0) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if ((borderIcons_ & biMinimize) != 0 && !dialog && !tool) flags |= Qt::WindowMinimizeButtonHint;
    if ((borderIcons_ & biMaximize) != 0 && sizeable && !tool) flags |= Qt::WindowMaximizeButtonHint;
    if ((borderIcons_ & biHelp) != 0 && dialog) flags |= Qt::WindowContextHelpButtonHint;
  }
  if (windowFlags() != flags) {
    // Changing the flags of a shown window hides it; it comes back as it was.
    const bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (wasVisible) show();
  }
  if (sizeable) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    setFixedSize(size());
  }
}

void TForm::PlaceOnScreen() {
  QRect area;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      if (const QScreen* screen = QGuiApplication::primaryScreen()) area = screen->availableGeometry();
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      const QWidget* owner = position_ == poOwnerFormCenter ? parentWidget() : Application().MainForm();
      if (owner != nullptr && owner != this) area = owner->frameGeometry();
      break;
    }
    case poDesigned:
    case poDefault: break;
  }
  if (!area.isValid()) return;
  // The frame is what gets centred; move() places the frame's corner. Its margins are known once the
  // window exists (a desktop that adds its frame later leaves them at zero, centring the client instead).
  const QSize outer = frameGeometry().size();
  move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void TForm::setVisible(bool visible) {
  if (visible && !placed_ && !isVisible()) {
    if (!testAttribute(Qt::WA_WState_Created)) create();
    PlaceOnScreen();
    placed_ = true;
  }
  QWidget::setVisible(visible);
  if (visible && activeControl_ != nullptr) activeControl_->setFocus(Qt::ActiveWindowFocusReason);
}

TModalResult TForm::ShowModal() {
  if (modal_) return mrNone;
  modalResult_ = mrNone;
  modal_ = true;
  const QPointer<TForm> self(this);
  RunModal(*this);
  if (self.isNull()) return mrCancel;
  modal_ = false;
  // The run also ends when the application quits; the form does not stay up on its own then.
  if (isVisible()) hide();
  return modalResult_ == mrNone ? mrCancel : modalResult_;
}

void TForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  if (modal_ && result != mrNone) hide();
}

void TForm::Close() { close(); }

void TForm::FormClose(TCloseAction&) {}

void TForm::closeEvent(QCloseEvent* event) {
  TCloseAction action = caHide;
  FormClose(action);
  if (action == caNone) {
    event->ignore();
    return;
  }
  if (modal_) {
    event->ignore();
    SetModalResult(modalResult_ == mrNone ? mrCancel : modalResult_);
    return;
  }
  switch (action) {
    case caMinimize:
      event->ignore();
      showMinimized();
      break;
    case caFree:
      event->accept();
      deleteLater();
      break;
    case caHide:
    case caNone: event->accept(); break;
  }
  // Closing the main form ends the program even while other windows (the help window) are still open.
  if (event->isAccepted() && Application().MainForm() == this) Application().Terminate();
}

QWidget* TForm::FindButton(bool cancel) const {
  const QList<TButton*> buttons = findChildren<TButton*>();
  for (TButton* button : buttons) {
    if ((cancel ? button->Cancel() : button->Default()) && button->isEnabled() && button->isVisibleTo(this)) {
      return button;
    }
  }
  return nullptr;
}

void TForm::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && event->key() == Qt::Key_Escape) {
    if (auto* button = static_cast<TButton*>(FindButton(true))) {
      button->Click();
      return;
    }
  }
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    if (auto* focused = dynamic_cast<TButton*>(focusWidget())) {
      focused->Click();
      return;
    }
    if (auto* button = static_cast<TButton*>(FindButton(false))) {
      button->Click();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

TScrollBox::TScrollBox(QWidget* parent)
    : QAbstractScrollArea(parent),
      TControl(clBtnFace, true, taLeftJustify, bsSingle),
      client_(new QWidget(viewport())) {
  viewport()->setBackgroundRole(QPalette::Window);
  client_->setBackgroundRole(QPalette::Window);
  client_->setAutoFillBackground(true);
  horizontalScrollBar()->setSingleStep(100);
  verticalScrollBar()->setSingleStep(100);
  ApplyColorAndFont();
  BorderStyleChanged();
  UpdateBars();
}

int TScrollBox::ClientWidth() const { return viewport()->width(); }
int TScrollBox::ClientHeight() const { return viewport()->height(); }

void TScrollBox::SetHorzRange(int range) {
  horzRange_ = std::max(0, range);
  UpdateBars();
}

void TScrollBox::SetVertRange(int range) {
  vertRange_ = std::max(0, range);
  UpdateBars();
}

int TScrollBox::HorzIncrement() const { return horizontalScrollBar()->singleStep(); }
void TScrollBox::SetHorzIncrement(int increment) {
  horizontalScrollBar()->setSingleStep(std::max(1, increment));
}
int TScrollBox::VertIncrement() const { return verticalScrollBar()->singleStep(); }
void TScrollBox::SetVertIncrement(int increment) {
  verticalScrollBar()->setSingleStep(std::max(1, increment));
}

int TScrollBox::HorzPosition() const { return horizontalScrollBar()->value(); }
void TScrollBox::SetHorzPosition(int position) { horizontalScrollBar()->setValue(position); }
int TScrollBox::VertPosition() const { return verticalScrollBar()->value(); }
void TScrollBox::SetVertPosition(int position) { verticalScrollBar()->setValue(position); }

void TScrollBox::UpdateBars() {
  // Which bars show changes the client area, which changes whether the other bar is needed: settle on the
  // pair that fits.
  for (int pass = 0; pass < 2; ++pass) {
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, horzRange_ - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, vertRange_ - area.height()));
    horizontalScrollBar()->setPageStep(std::max(1, area.width()));
    verticalScrollBar()->setPageStep(std::max(1, area.height()));
  }
  PlaceClient();
}

void TScrollBox::PlaceClient() {
  const QSize area = viewport()->size();
  client_->setGeometry(-HorzPosition(), -VertPosition(), std::max(horzRange_, area.width()),
                       std::max(vertRange_, area.height()));
}

void TScrollBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateBars();
  Q_EMIT Resized();
}

void TScrollBox::scrollContentsBy(int, int) { PlaceClient(); }

bool TScrollBox::viewportEvent(QEvent* event) {
  // The client paints itself; the viewport has nothing of its own to draw.
  if (event->type() == QEvent::Resize) UpdateBars();
  return QAbstractScrollArea::viewportEvent(event);
}

void TScrollBox::BorderStyleChanged() {
  setFrameShape(BorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
}
