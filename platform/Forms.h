#pragma once

#include "platform/Controls.h"

#include <QAbstractScrollArea>
#include <QPointer>
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
 * A scrolling container whose scroll ranges the program sets itself (no automatic scrolling): Range is the
 * width or height of the content, Increment the step of a scroll-bar arrow, Position how far the content is
 * scrolled. A bar shows only while its range exceeds the visible client area. Controls go on Client(), which
 * moves against the visible area as the box scrolls, so their Left and Top stay where the program put them.
 */
class TScrollBox : public QAbstractScrollArea, public TControl {
  Q_OBJECT
public:
  explicit TScrollBox(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  /** The surface the box's controls are placed on. */
  QWidget* Client() const { return client_; }
  /** The visible client area, without the scroll bars. */
  int ClientWidth() const;
  int ClientHeight() const;

  int HorzRange() const { return horzRange_; }
  void SetHorzRange(int range);
  int VertRange() const { return vertRange_; }
  void SetVertRange(int range);
  int HorzIncrement() const;
  void SetHorzIncrement(int increment);
  int VertIncrement() const;
  void SetVertIncrement(int increment);
  /** Scrolled distance, from 0 to Range less the client extent; setting it clamps to that span. */
  int HorzPosition() const;
  void SetHorzPosition(int position);
  int VertPosition() const;
  void SetVertPosition(int position);

Q_SIGNALS:
  /** The box changed its size (so has its client area). */
  void Resized();

protected:
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;
  void BorderStyleChanged() override;

private:
  void UpdateBars();
  void PlaceClient();

  QWidget* client_;
  int horzRange_ = 0;
  int vertRange_ = 0;
};
