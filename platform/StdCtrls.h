#pragma once

// The everyday controls of a form, labels to combo boxes, each printed by a rule of its own.

#include "platform/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

/**
 * What labels and data texts share: a caption of plain text (never markup, so "<" shows as typed); with
 * ShowAccelChar, as labels have it, "&" marks the next character as the accelerator, shown underlined, and
 * "&&" shows one "&". With AutoSize the control takes the size of its text, and a transparent one paints
 * nothing but its text. The print renderer tells TLabel and TDBText apart, so neither derives from the other.
 */
class TCustomLabel : public QLabel, public TControl {
  Q_OBJECT
public:
  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }
  bool Windowed() const override { return false; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  /**
   * Whether "&" in the caption marks an accelerator: on for labels, off for data texts; a label that shows
   * what a user typed or a file's name turns it off, so every "&" shows.
   */
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool show);
  /** The caption as it reads, without the accelerator marks when ShowAccelChar is on (what prints). */
  QString ShownCaption() const;

Q_SIGNALS:
  /** The left mouse button was pressed and released over the label. */
  void Click();

protected:
  TCustomLabel(QWidget* parent, bool autoSize);
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void CaptionChanged() override;
  void AlignmentChanged() override;
  void TransparentChanged() override;

private:
  void AdjustBounds();

  bool autoSize_ = true;
  bool wordWrap_ = false;
  TTextLayout layout_ = tlTop;
  bool showAccelChar_ = false;
  bool pressed_ = false;
};

/** A text as a label with accelerators shows it: "&&" reads "&", the "&" before any other character goes. */
QString WithoutAccelMarks(const QString& text);

/** A caption on a form; AutoSize is on from the start. */
class TLabel : public TCustomLabel {
  Q_OBJECT
public:
  explicit TLabel(QWidget* parent);
};

/**
 * What single-line entry fields share (plain, masked and data edits, which the print renderer tells apart).
 * Change is emitted after every change of the text, typed or set.
 */
class TCustomEdit : public QLineEdit, public TControl {
  Q_OBJECT
public:
  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  /** The text as the control reports it (a masked edit's text follows its mask). */
  virtual QString Text() const { return text(); }
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
  explicit TCustomEdit(QWidget* parent);
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void AlignmentChanged() override;
  void BorderStyleChanged() override;

private:
  /** Removes half a character left by the length limit; true when it did (and so set the text again). */
  bool DropCutCharacter();

  int maxLength_ = 0;
};

/** A single-line entry field. */
class TEdit : public TCustomEdit {
  Q_OBJECT
public:
  explicit TEdit(QWidget* parent);
};

/**
 * What multi-line text fields share (memos and data memos, which print differently and so are siblings).
 * Text joins the lines with CR LF, as the program's texts do; SetText splits on CR LF, LF or CR.
 */
class TCustomMemo : public QPlainTextEdit, public TControl {
  Q_OBJECT
public:
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
  explicit TCustomMemo(QWidget* parent);
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void BorderStyleChanged() override;
  void AlignmentChanged() override;
};

/** A multi-line text field. */
class TMemo : public TCustomMemo {
  Q_OBJECT
public:
  explicit TMemo(QWidget* parent);
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

/** A frame with a caption around a group of controls, which are its children. */
class TCustomGroupBox : public QGroupBox, public TControl {
  Q_OBJECT
public:
  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

protected:
  explicit TCustomGroupBox(QWidget* parent);
  void CaptionChanged() override { setTitle(Caption()); }
};

/** A group box. Radio groups are group boxes of another kind, not TGroupBox, so each prints by its own rule.
 */
class TGroupBox : public TCustomGroupBox {
  Q_OBJECT
public:
  explicit TGroupBox(QWidget* parent);
};

/** The state of a check box; cbGrayed is neither checked nor unchecked. */
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

/**
 * What check boxes share (plain and data check boxes). Alignment taRightJustify, the default, puts the
 * caption to the right of the box; taLeftJustify puts it to the left. Click is emitted whenever the state
 * changes, by the user or the program.
 */
class TCustomCheckBox : public QCheckBox, public TControl {
  Q_OBJECT
public:
  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  bool Checked() const { return State() == cbChecked; }
  void SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const;
  void SetState(TCheckBoxState state);
  /** Whether the user's clicks pass through the grayed state too (the program may set it either way). */
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool allowGrayed) { allowGrayed_ = allowGrayed; }

Q_SIGNALS:
  void Click();

protected:
  explicit TCustomCheckBox(QWidget* parent);
  /** A click goes unchecked → checked (→ grayed first when AllowGrayed), checked → unchecked, grayed →
   * checked. */
  void nextCheckState() override;
  void CaptionChanged() override { setText(Caption()); }
  void AlignmentChanged() override;
  void changeEvent(QEvent* event) override;

private:
  bool allowGrayed_ = false;
};

class TCheckBox : public TCustomCheckBox {
  Q_OBJECT
public:
  explicit TCheckBox(QWidget* parent);
};

/**
 * A radio button; the radio buttons of one parent exclude each other. Alignment as a check box's. Click is
 * emitted when it becomes checked.
 */
class TRadioButton : public QRadioButton, public TControl {
  Q_OBJECT
public:
  explicit TRadioButton(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  bool Checked() const { return isChecked(); }
  void SetChecked(bool checked) { setChecked(checked); }

Q_SIGNALS:
  void Click();

protected:
  void CaptionChanged() override { setText(Caption()); }
  void AlignmentChanged() override;
  void changeEvent(QEvent* event) override;
};

/** Whether a combo box takes typed text (csDropDown) or only offers its items (csDropDownList). */
enum TComboBoxStyle { csDropDown, csDropDownList };

/**
 * What combo boxes share (plain, data and lookup combo boxes, which print by rules of their own). Text is
 * the text shown: typed or picked for csDropDown, the picked item for csDropDownList. ItemIndex is -1 when
 * no item is picked. Change is emitted when the text changes.
 */
class TCustomComboBox : public QComboBox, public TControl {
  Q_OBJECT
public:
  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  QStringList Items() const;
  /** Replaces the items; a typed text stays, a picked one is dropped. */
  void SetItems(const QStringList& items);
  int ItemIndex() const { return currentIndex(); }
  void SetItemIndex(int index);
  QString Text() const;
  /** Sets the text; for csDropDownList it picks the item of that text, or none. */
  void SetText(const QString& text);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);

Q_SIGNALS:
  void Change();

protected:
  explicit TCustomComboBox(QWidget* parent);
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }

private:
  TComboBoxStyle style_ = csDropDown;
};

class TComboBox : public TCustomComboBox {
  Q_OBJECT
public:
  explicit TComboBox(QWidget* parent);
};
