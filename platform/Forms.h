#pragma once

// The program's windows and scrolling boxes: how a form opens, runs modally and closes.

#include "platform/Controls.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>

/** Where a form opens. */
enum TPosition {
  poDesigned,
  poDefault,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};

/** Buttons of a form's title bar. */
enum TBorderIcon : unsigned { biSystemMenu = 1u, biMinimize = 2u, biMaximize = 4u, biHelp = 8u };
using TBorderIcons = unsigned;

/** What closing a form does. */
enum TCloseAction { caNone, caHide, caFree, caMinimize };

/**
 * A window of the program. Its size is the client area (ClientWidth × ClientHeight, without the frame the
 * desktop adds); BorderStyle bsSingle and bsDialog fix the size. ShowModal runs the form through the one
 * modal routine (RunModal) until ModalResult is set or the form is closed; Escape clicks the form's Cancel
 * button and Enter its Default button. The first form created becomes the application's main form.
 */
class TForm : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TForm(QWidget* parent = nullptr);
  ~TForm() override;

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  int ClientWidth() const { return width(); }
  int ClientHeight() const { return height(); }
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  void SetClientSize(int width, int height);

  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }

  /** The control that gets the focus each time the form is shown. */
  QWidget* ActiveControl() const { return activeControl_; }
  void SetActiveControl(QWidget* control);

  /** Shows the form modally and returns the ModalResult it ended with (mrCancel when it was closed). */
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modalResult_; }
  /** Setting a result other than mrNone ends a modal run. */
  void SetModalResult(TModalResult result);

  /** Closes the form: ends a modal run with mrCancel, otherwise asks FormClose what to do. */
  void Close();

protected:
  /** Decides what closing does; the default hides the form. */
  virtual void FormClose(TCloseAction& action);

  void setVisible(bool visible) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void CaptionChanged() override { setWindowTitle(Caption()); }
  void BorderStyleChanged() override { ApplyWindowFlags(); }

private:
  void ApplyWindowFlags();
  void PlaceOnScreen();
  /** The enabled, visible button of this form with the given role (Default or Cancel), or nullptr. */
  QWidget* FindButton(bool cancel) const;

  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = poDesigned;
  QPointer<QWidget> activeControl_;
  bool modal_ = false;
  bool placed_ = false;
  TModalResult modalResult_ = mrNone;
};

/**
 * A container that scrolls: when its controls reach beyond its client area, scroll bars appear and move them
 * (a control's Left and Top are where it shows in the scrolled view, as the framework has them). The
 * controls are the box's own children, so the print renderer walks them like a panel's; the scroll bars and
 * the frame are parts of the box, not controls. BorderStyle bsSingle (the default) draws a sunken frame.
 * The bars follow the controls while the box is shown (Qt reports moves of hidden widgets only on showing).
 */
class TScrollBox : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TScrollBox(QWidget* parent);
  ~TScrollBox() override;

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  QScrollBar& HorzScrollBar() const { return *horizontal_; }
  QScrollBar& VertScrollBar() const { return *vertical_; }

  /** Where contents go: the box itself, whose children scroll with its bars. */
  QWidget* Client() { return this; }
  /** Width and height of the visible client area (inside the frame, without the bars). */
  int ClientWidth() const { return ClientRect().width(); }
  int ClientHeight() const { return ClientRect().height(); }
  /**
   * The scrollable extent in pixels the program sets for an axis; 0 (the default) takes it from where the
   * contents reach.
   */
  int HorzRange() const { return horzRange_; }
  void SetHorzRange(int range);
  int VertRange() const { return vertRange_; }
  void SetVertRange(int range);
  /** The step of a scroll-bar arrow. */
  int HorzIncrement() const;
  void SetHorzIncrement(int increment);
  int VertIncrement() const;
  void SetVertIncrement(int increment);
  /** How far the contents are scrolled; setting it keeps within the scrollable span. */
  int HorzPosition() const { return offset_.x(); }
  void SetHorzPosition(int position);
  int VertPosition() const { return offset_.y(); }
  void SetVertPosition(int position);
  /** How far the contents are scrolled, in pixels. */
  QPoint ScrollPosition() const { return offset_; }
  /** Scrolls so that the control lies inside the client area. */
  void ScrollInView(const QWidget& control);
  /** The area inside the frame and the scroll bars, in the box's coordinates. */
  QRect ClientRect() const;

Q_SIGNALS:
  /** The box changed its size (and so its client area). */
  void Resized();

protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void BorderStyleChanged() override;

private:
  int FrameWidth() const { return BorderStyle() == bsSingle ? 2 : 0; }
  /** The box's contents: every child widget but its own parts (bars and frame). */
  QList<QWidget*> Controls() const;
  bool IsContent(const QObject* child) const;
  void UpdateScrollBars();
  void ScrollTo(QPoint offset);
  void RaiseParts();

  QScrollBar* horizontal_ = nullptr;
  QScrollBar* vertical_ = nullptr;
  QWidget* frame_ = nullptr;
  QPoint offset_;
  int horzRange_ = 0;
  int vertRange_ = 0;
  bool arranging_ = false;
};
