#include "platform/Forms.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"

#include <QChildEvent>
#include <QCloseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
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

namespace {
// The sunken edge of a scroll box, drawn above its controls so that a control scrolled under it stays inside.
class ScrollBoxFrame : public QWidget {
public:
  explicit ScrollBoxFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    const auto edge = [&painter](const QRect& area, const QColor& topLeft, const QColor& bottomRight) {
      painter.setPen(topLeft);
      painter.drawLine(area.bottomLeft(), area.topLeft());
      painter.drawLine(area.topLeft(), area.topRight());
      painter.setPen(bottomRight);
      painter.drawLine(area.topRight(), area.bottomRight());
      painter.drawLine(area.bottomRight(), area.bottomLeft());
    };
    edge(outer, ToQColor(clBtnShadow), ToQColor(clBtnHighlight));
    edge(inner, ToQColor(cl3DDkShadow), ToQColor(cl3DLight));
  }
};

}  // namespace

TScrollBox::TScrollBox(QWidget* parent)
    : QWidget(parent), TControl(clBtnFace, true, taLeftJustify, bsSingle) {
  // The parts are children too: while they are made, their arrival must not be taken for controls'.
  arranging_ = true;
  horizontal_ = new QScrollBar(Qt::Horizontal, this);
  vertical_ = new QScrollBar(Qt::Vertical, this);
  frame_ = new ScrollBoxFrame(this);
  arranging_ = false;
  setAutoFillBackground(true);
  ApplyColorAndFont();
  horizontal_->hide();
  vertical_->hide();
  horizontal_->setSingleStep(8);
  vertical_->setSingleStep(8);
  connect(horizontal_, &QScrollBar::valueChanged, this, [this](int x) { ScrollTo(QPoint(x, offset_.y())); });
  connect(vertical_, &QScrollBar::valueChanged, this, [this](int y) { ScrollTo(QPoint(offset_.x(), y)); });
}

TScrollBox::~TScrollBox() {
  // The controls go before the scroll bars they would otherwise report their removal to.
  arranging_ = true;
}

bool TScrollBox::IsContent(const QObject* child) const {
  const auto* widget = qobject_cast<const QWidget*>(child);
  return widget != nullptr && !widget->isWindow() && widget != horizontal_ && widget != vertical_ &&
         widget != frame_;
}

QList<QWidget*> TScrollBox::Controls() const {
  QList<QWidget*> controls;
  for (QObject* child : children()) {
    if (IsContent(child)) controls.append(static_cast<QWidget*>(child));
  }
  return controls;
}

void TScrollBox::SetHorzRange(int range) {
  horzRange_ = std::max(0, range);
  UpdateScrollBars();
}

void TScrollBox::SetVertRange(int range) {
  vertRange_ = std::max(0, range);
  UpdateScrollBars();
}

int TScrollBox::HorzIncrement() const { return horizontal_->singleStep(); }
void TScrollBox::SetHorzIncrement(int increment) { horizontal_->setSingleStep(std::max(1, increment)); }
int TScrollBox::VertIncrement() const { return vertical_->singleStep(); }
void TScrollBox::SetVertIncrement(int increment) { vertical_->setSingleStep(std::max(1, increment)); }

void TScrollBox::SetHorzPosition(int position) {
  horizontal_->setValue(std::clamp(position, 0, horizontal_->maximum()));
}

void TScrollBox::SetVertPosition(int position) {
  vertical_->setValue(std::clamp(position, 0, vertical_->maximum()));
}

QRect TScrollBox::ClientRect() const {
  const int frame = FrameWidth();
  QRect client = rect().adjusted(frame, frame, -frame, -frame);
  if (!vertical_->isHidden()) client.setRight(client.right() - vertical_->sizeHint().width());
  if (!horizontal_->isHidden()) client.setBottom(client.bottom() - horizontal_->sizeHint().height());
  return client;
}

bool TScrollBox::event(QEvent* event) {
  if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (event->type() == QEvent::ChildAdded && !arranging_ && child->isWidgetType())
      child->installEventFilter(this);
    if (!arranging_) {
      RaiseParts();
      UpdateScrollBars();
    }
  }
  return QWidget::event(event);
}

bool TScrollBox::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Polish:
      if (!arranging_ && IsContent(watched)) UpdateScrollBars();
      break;
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}

void TScrollBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateScrollBars();
  Q_EMIT Resized();
}

void TScrollBox::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateScrollBars();
}

void TScrollBox::wheelEvent(QWheelEvent* event) {
  QScrollBar* bar = vertical_->isHidden() ? horizontal_ : vertical_;
  if (bar->isHidden()) {
    QWidget::wheelEvent(event);
    return;
  }
  bar->setValue(bar->value() - event->angleDelta().y() / 120 * bar->singleStep() * 3);
  event->accept();
}

void TScrollBox::BorderStyleChanged() {
  frame_->setVisible(BorderStyle() == bsSingle);
  UpdateScrollBars();
}

void TScrollBox::RaiseParts() {
  frame_->raise();
  horizontal_->raise();
  vertical_->raise();
}

void TScrollBox::UpdateScrollBars() {
  if (arranging_) return;
  arranging_ = true;
  // The contents in unscrolled coordinates: every shown control where it would stand without scrolling.
  QRect contents;
  for (QWidget* control : Controls()) {
    if (!control->isHidden()) contents |= control->geometry().translated(offset_);
  }
  {
    // A range the program set replaces the reach of the contents on its axis.
    const int edge = FrameWidth();
    if (contents.isNull() && (horzRange_ > 0 || vertRange_ > 0)) contents = QRect(edge, edge, 1, 1);
    if (horzRange_ > 0) {
      contents.setLeft(edge);
      contents.setRight(edge + horzRange_ - 1);
    }
    if (vertRange_ > 0) {
      contents.setTop(edge);
      contents.setBottom(edge + vertRange_ - 1);
    }
  }
  const int frame = FrameWidth();
  const QRect inside = rect().adjusted(frame, frame, -frame, -frame);
  const int barWidth = vertical_->sizeHint().width();
  const int barHeight = horizontal_->sizeHint().height();
  // A bar takes room from the other direction, which may then need its own bar too.
  bool needHorizontal = contents.right() + 1 > inside.right() + 1;
  bool needVertical = contents.bottom() + 1 > inside.bottom() + 1;
  if (needVertical && !needHorizontal) needHorizontal = contents.right() + 1 > inside.right() + 1 - barWidth;
  if (needHorizontal && !needVertical) needVertical = contents.bottom() + 1 > inside.bottom() + 1 - barHeight;
  const int clientWidth = inside.width() - (needVertical ? barWidth : 0);
  const int clientHeight = inside.height() - (needHorizontal ? barHeight : 0);
  horizontal_->setVisible(needHorizontal);
  vertical_->setVisible(needVertical);
  horizontal_->setGeometry(inside.left(), inside.bottom() + 1 - barHeight, clientWidth, barHeight);
  vertical_->setGeometry(inside.right() + 1 - barWidth, inside.top(), barWidth, clientHeight);
  frame_->setGeometry(rect());
  horizontal_->setRange(0, needHorizontal ? std::max(0, contents.right() + 1 - frame - clientWidth) : 0);
  vertical_->setRange(0, needVertical ? std::max(0, contents.bottom() + 1 - frame - clientHeight) : 0);
  horizontal_->setPageStep(std::max(1, clientWidth));
  vertical_->setPageStep(std::max(1, clientHeight));
  arranging_ = false;
  // The ranges may have shrunk below the current position.
  ScrollTo(QPoint(horizontal_->value(), vertical_->value()));
}

void TScrollBox::ScrollTo(QPoint offset) {
  if (arranging_ || offset == offset_) return;
  arranging_ = true;
  const QPoint delta = offset - offset_;
  offset_ = offset;
  for (QWidget* control : Controls()) control->move(control->pos() - delta);
  horizontal_->setValue(offset.x());
  vertical_->setValue(offset.y());
  arranging_ = false;
}

void TScrollBox::ScrollInView(const QWidget& control) {
  // In unscrolled coordinates the view at offset o shows x from frame + o.x for the client width.
  const QRect client = ClientRect();
  const QRect bounds = control.geometry().translated(offset_);
  QPoint offset = offset_;
  if (bounds.right() + 1 > client.left() + offset.x() + client.width())
    offset.setX(bounds.right() + 1 - client.left() - client.width());
  if (bounds.left() < client.left() + offset.x()) offset.setX(bounds.left() - client.left());
  if (bounds.bottom() + 1 > client.top() + offset.y() + client.height())
    offset.setY(bounds.bottom() + 1 - client.top() - client.height());
  if (bounds.top() < client.top() + offset.y()) offset.setY(bounds.top() - client.top());
  horizontal_->setValue(std::clamp(offset.x(), 0, horizontal_->maximum()));
  vertical_->setValue(std::clamp(offset.y(), 0, vertical_->maximum()));
}
