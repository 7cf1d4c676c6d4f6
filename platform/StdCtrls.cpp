#include "platform/StdCtrls.h"

#include "platform/Forms.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <limits>

namespace {
// What a field without a limit of the program's own still holds: the text widget's own maximum.
constexpr int UnlimitedLength = 32767;

Qt::FocusPolicy FocusPolicyOf(bool tabStop) { return tabStop ? Qt::StrongFocus : Qt::ClickFocus; }
}  // namespace

TCustomLabel::TCustomLabel(QWidget* parent, bool autoSize)
    : QLabel(parent), TControl(clBtnFace, true, taLeftJustify, bsNone), autoSize_(autoSize) {
  setTextFormat(Qt::PlainText);
  setAlignment(ToQtAlignment(taLeftJustify, tlTop));
  setAutoFillBackground(true);
  ApplyColorAndFont();
  AdjustBounds();
}

TLabel::TLabel(QWidget* parent) : TCustomLabel(parent, true) { SetShowAccelChar(true); }

QString WithoutAccelMarks(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype index = 0; index < text.size(); ++index) {
    if (text[index] == QLatin1Char('&')) {
      // The mark goes; after it, "&" stands for itself and any other character is the accelerator.
      if (++index == text.size()) break;
    }
    shown += text[index];
  }
  return shown;
}

void TCustomLabel::SetShowAccelChar(bool show) {
  showAccelChar_ = show;
  CaptionChanged();
}

QString TCustomLabel::ShownCaption() const {
  return showAccelChar_ ? WithoutAccelMarks(Caption()) : Caption();
}

void TCustomLabel::paintEvent(QPaintEvent* event) {
  // The label holds the caption as it reads, for its size and for screen readers; the accelerator's
  // underline is drawn from the caption itself, as Qt draws a button's.
  if (!showAccelChar_ || !Caption().contains(QLatin1Char('&'))) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  drawFrame(&painter);
  int flags = static_cast<int>(alignment()) | Qt::TextShowMnemonic;
  if (wordWrap()) flags |= Qt::TextWordWrap;
  style()->drawItemText(&painter, contentsRect(), flags, palette(), isEnabled(), Caption(), foregroundRole());
}

void TCustomLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool wordWrap) {
  wordWrap_ = wordWrap;
  setWordWrap(wordWrap);
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout layout) {
  layout_ = layout;
  setAlignment(ToQtAlignment(Alignment(), layout_));
}

void TCustomLabel::CaptionChanged() {
  setText(ShownCaption());
  AdjustBounds();
}

void TCustomLabel::AlignmentChanged() { setAlignment(ToQtAlignment(Alignment(), layout_)); }

void TCustomLabel::TransparentChanged() {
  setAutoFillBackground(!Transparent());
  update();
}

void TCustomLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) AdjustBounds();
}

void TCustomLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void TCustomLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasPressed = pressed_ && event->button() == Qt::LeftButton;
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (wasPressed && rect().contains(event->position().toPoint())) Q_EMIT Click();
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_) return;
  const QFontMetrics metrics = fontMetrics();
  const QString caption = ShownCaption();
  int width = Width();
  int height = 0;
  if (wordWrap_) {
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, std::max(1, width), std::numeric_limits<int>::max() / 2),
                             static_cast<int>(ToQtAlignment(Alignment())) | Qt::TextWordWrap, caption);
    height = std::max(bounds.height(), metrics.height());
  } else {
    const QStringList lines = caption.split(QLatin1Char('\n'));
    width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    height = static_cast<int>(lines.size()) * metrics.height();
  }
  // A right-justified label keeps its right edge where it is, so its text stays in place as it grows.
  const int left = Alignment() == taRightJustify && !wordWrap_ ? Left() + Width() - width : Left();
  SetBounds(left, Top(), width, height);
}

TCustomEdit::TCustomEdit(QWidget* parent)
    : QLineEdit(parent), TControl(clWindow, false, taLeftJustify, bsSingle) {
  setMaxLength(UnlimitedLength);
  ApplyColorAndFont();
  connect(this, &QLineEdit::textChanged, this, [this] {
    // The field's length limit counts UTF-16 units and may cut a pasted character in two; the half is dropped
    // (the text is set again, which reports the change once, whole).
    if (!DropCutCharacter()) Q_EMIT Change();
  });
}

bool TCustomEdit::DropCutCharacter() {
  const QString current = text();
  for (qsizetype index = 0; index < current.size(); ++index) {
    const QChar unit = current.at(index);
    const bool lonelyHigh =
        unit.isHighSurrogate() && (index + 1 >= current.size() || !current.at(index + 1).isLowSurrogate());
    const bool lonelyLow = unit.isLowSurrogate() && (index == 0 || !current.at(index - 1).isHighSurrogate());
    if (lonelyHigh || lonelyLow) {
      const int position = cursorPosition();
      setText(QString(current).remove(index, 1));
      setCursorPosition(std::min(position, static_cast<int>(index)));
      return true;
    }
  }
  return false;
}

TEdit::TEdit(QWidget* parent) : TCustomEdit(parent) {}

void TCustomEdit::SetMaxLength(int maxLength) {
  maxLength_ = std::max(0, maxLength);
  setMaxLength(maxLength_ == 0 ? UnlimitedLength : std::min(maxLength_, UnlimitedLength));
}

bool TCustomEdit::TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }

void TCustomEdit::SetTabStop(bool tabStop) { setFocusPolicy(FocusPolicyOf(tabStop)); }

void TCustomEdit::AlignmentChanged() { setAlignment(ToQtAlignment(Alignment(), tlCenter)); }

void TCustomEdit::BorderStyleChanged() { setFrame(BorderStyle() != bsNone); }

TCustomMemo::TCustomMemo(QWidget* parent)
    : QPlainTextEdit(parent), TControl(clWindow, false, taLeftJustify, bsSingle) {
  setTabChangesFocus(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  document()->setDocumentMargin(2);
  ApplyColorAndFont();
  connect(this, &QPlainTextEdit::textChanged, this, [this] { Q_EMIT Change(); });
}

TMemo::TMemo(QWidget* parent) : TCustomMemo(parent) {}

QStringList TCustomMemo::Lines() const {
  const QString text = toPlainText();
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QLatin1Char('\n'));
  // A final line break ends the last line; it does not start another.
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

void TCustomMemo::SetLines(const QStringList& lines) { setPlainText(lines.join(QLatin1Char('\n'))); }

QString TCustomMemo::Text() const { return Lines().join(QStringLiteral("\r\n")); }

void TCustomMemo::SetText(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  setPlainText(lines);
}

bool TCustomMemo::TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }

void TCustomMemo::SetTabStop(bool tabStop) { setFocusPolicy(FocusPolicyOf(tabStop)); }

bool TCustomMemo::WordWrap() const { return lineWrapMode() == QPlainTextEdit::WidgetWidth; }

void TCustomMemo::SetWordWrap(bool wordWrap) {
  setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::BorderStyleChanged() {
  setFrameShape(BorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TCustomMemo::AlignmentChanged() {
  // Every paragraph takes the alignment, as the framework's memo aligns all its lines.
  QTextOption option = document()->defaultTextOption();
  option.setAlignment(ToQtAlignment(Alignment()) & Qt::AlignHorizontal_Mask);
  document()->setDefaultTextOption(option);
}

TButton::TButton(QWidget* parent) : QPushButton(parent), TControl(clBtnFace, false, taCenter, bsNone) {
  setAutoDefault(false);
  ApplyColorAndFont();
  connect(this, &QPushButton::clicked, this, [this] {
    if (modalResult_ == mrNone) return;
    if (auto* form = dynamic_cast<TForm*>(window())) form->SetModalResult(modalResult_);
  });
}

void TButton::SetDefault(bool isDefault) {
  default_ = isDefault;
  setDefault(isDefault);
}

bool TButton::TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }

void TButton::SetTabStop(bool tabStop) { setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus); }

namespace {
// The framework puts the caption after the box unless the alignment asks for it first.
void ApplyCaptionSide(QWidget& button, TAlignment alignment) {
  button.setLayoutDirection(alignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

// A button in its parent's colour lets the parent show through (a group box draws its inside in a shade of
// its own); one with a colour of its own fills its rectangle with it.
void FillUnlessParentColored(QWidget& button, const TControl& control) {
  button.setAutoFillBackground(!control.ParentColor());
}
}  // namespace

TCustomGroupBox::TCustomGroupBox(QWidget* parent)
    : QGroupBox(parent), TControl(clBtnFace, true, taLeftJustify, bsNone) {
  setAutoFillBackground(true);
  ApplyColorAndFont();
}

TGroupBox::TGroupBox(QWidget* parent) : TCustomGroupBox(parent) {}

TCustomCheckBox::TCustomCheckBox(QWidget* parent)
    : QCheckBox(parent), TControl(clBtnFace, true, taRightJustify, bsNone) {
  ApplyColorAndFont();
  FillUnlessParentColored(*this, *this);
  connect(this, &QCheckBox::stateChanged, this, [this] { Q_EMIT Click(); });
}

TCheckBoxState TCustomCheckBox::State() const {
  switch (checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    case Qt::Unchecked: break;
  }
  return cbUnchecked;
}

void TCustomCheckBox::SetState(TCheckBoxState state) {
  switch (state) {
    case cbChecked: setCheckState(Qt::Checked); break;
    case cbGrayed: setCheckState(Qt::PartiallyChecked); break;
    case cbUnchecked: setCheckState(Qt::Unchecked); break;
  }
}

void TCustomCheckBox::nextCheckState() {
  switch (State()) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::AlignmentChanged() { ApplyCaptionSide(*this, Alignment()); }

void TCustomCheckBox::changeEvent(QEvent* event) {
  QCheckBox::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) FillUnlessParentColored(*this, *this);
}

TCheckBox::TCheckBox(QWidget* parent) : TCustomCheckBox(parent) {}

TRadioButton::TRadioButton(QWidget* parent)
    : QRadioButton(parent), TControl(clBtnFace, true, taRightJustify, bsNone) {
  ApplyColorAndFont();
  FillUnlessParentColored(*this, *this);
  connect(this, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) Q_EMIT Click();
  });
}

void TRadioButton::AlignmentChanged() { ApplyCaptionSide(*this, Alignment()); }

void TRadioButton::changeEvent(QEvent* event) {
  QRadioButton::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) FillUnlessParentColored(*this, *this);
}

TCustomComboBox::TCustomComboBox(QWidget* parent)
    : QComboBox(parent), TControl(clWindow, false, taLeftJustify, bsNone) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  ApplyColorAndFont();
  connect(this, &QComboBox::currentTextChanged, this, [this] { Q_EMIT Change(); });
}

QStringList TCustomComboBox::Items() const {
  QStringList items;
  for (int index = 0; index < count(); ++index) items.append(itemText(index));
  return items;
}

void TCustomComboBox::SetItems(const QStringList& items) {
  const QString typed = style_ == csDropDown ? currentText() : QString();
  clear();
  addItems(items);
  setCurrentIndex(-1);
  if (style_ == csDropDown) setEditText(typed);
}

void TCustomComboBox::SetItemIndex(int index) { setCurrentIndex(index >= 0 && index < count() ? index : -1); }

QString TCustomComboBox::Text() const {
  if (style_ == csDropDown) return currentText();
  return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void TCustomComboBox::SetText(const QString& text) {
  if (style_ == csDropDown) {
    const int index = findText(text, Qt::MatchExactly);
    if (index >= 0) setCurrentIndex(index);
    setEditText(text);
  } else {
    setCurrentIndex(findText(text, Qt::MatchExactly));
  }
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
  if (style_ == style) return;
  const QString text = Text();
  style_ = style;
  setEditable(style == csDropDown);
  if (style == csDropDown) setInsertPolicy(QComboBox::NoInsert);
  ApplyColorAndFont();
  SetText(text);
}

TComboBox::TComboBox(QWidget* parent) : TCustomComboBox(parent) {}
