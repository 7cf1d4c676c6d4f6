#pragma once

#include "platform/Controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

/**
 * A caption on a form. The caption is plain text (never markup, so "<" and "&" show as typed); with AutoSize
 * the label takes the size of its text, and a transparent label paints nothing but its text.
 */
class TLabel : public QLabel, public TControl {
  Q_OBJECT
public:
  explicit TLabel(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }
  bool Windowed() const override { return false; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);

Q_SIGNALS:
  /** The left mouse button was pressed and released over the label. */
  void Click();

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void CaptionChanged() override;
  void AlignmentChanged() override;
  void TransparentChanged() override;

private:
  void AdjustBounds();

  bool autoSize_ = true;
  bool wordWrap_ = false;
  TTextLayout layout_ = tlTop;
  bool pressed_ = false;
};

/** A single-line entry field. Change is emitted after every change of the text, typed or set. */
class TEdit : public QLineEdit, public TControl {
  Q_OBJECT
public:
  explicit TEdit(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  QString Text() const { return text(); }
  void SetText(const QString& text) { setText(text); }
  /** Longest text the field takes, in characters; 0 means no limit of the program's own. */
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int maxLength);
  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
  /** Whether the Tab key reaches the field; a field without a tab stop still takes a mouse click. */
  bool TabStop() const;
  void SetTabStop(bool tabStop);

Q_SIGNALS:
  void Change();

protected:
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void AlignmentChanged() override;
  void BorderStyleChanged() override;

private:
  /** Removes half a character left by the length limit; true when it did (and so set the text again). */
  bool DropCutCharacter();

  int maxLength_ = 0;
};

/**
 * A multi-line text field. Text joins the lines with CR LF, as the program's texts do; SetText splits on
 * CR LF, LF or CR.
 */
class TMemo : public QPlainTextEdit, public TControl {
  Q_OBJECT
public:
  explicit TMemo(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  /** The lines of the text; an empty memo has none. */
  QStringList Lines() const;
  void SetLines(const QStringList& lines);
  QString Text() const;
  void SetText(const QString& text);
  void Clear() { clear(); }
  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
  bool TabStop() const;
  void SetTabStop(bool tabStop);
  bool WordWrap() const;
  void SetWordWrap(bool wordWrap);

Q_SIGNALS:
  void Change();

protected:
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void BorderStyleChanged() override;
};

/**
 * A push button. A button with a ModalResult ends the modal run of its form with that result when clicked;
 * the form clicks its Default button on Enter and its Cancel button on Escape.
 */
class TButton : public QPushButton, public TControl {
  Q_OBJECT
public:
  explicit TButton(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  bool Default() const { return default_; }
  void SetDefault(bool isDefault);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool cancel) { cancel_ = cancel; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  bool TabStop() const;
  void SetTabStop(bool tabStop);
  /** Clicks the button as the user would: clicked is emitted and the ModalResult applied. */
  void Click() { click(); }

protected:
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Button; }
  void CaptionChanged() override { setText(Caption()); }

private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};
