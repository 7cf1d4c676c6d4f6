#include "platform/StdCtrls.h"

#include "platform/Forms.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QTextDocument>
#include <algorithm>
#include <limits>

namespace {
// What a field without a limit of the program's own still holds: the text widget's own maximum.
constexpr int UnlimitedLength = 32767;

Qt::FocusPolicy FocusPolicyOf(bool tabStop) { return tabStop ? Qt::StrongFocus : Qt::ClickFocus; }
}  // namespace

TLabel::TLabel(QWidget* parent) : QLabel(parent), TControl(clBtnFace, true, taLeftJustify, bsNone) {
  setTextFormat(Qt::PlainText);
  setAlignment(ToQtAlignment(taLeftJustify, tlTop));
  setAutoFillBackground(true);
  ApplyColorAndFont();
  AdjustBounds();
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool wordWrap) {
  wordWrap_ = wordWrap;
  setWordWrap(wordWrap);
  AdjustBounds();
}

void TLabel::SetLayout(TTextLayout layout) {
  layout_ = layout;
  setAlignment(ToQtAlignment(Alignment(), layout_));
}

void TLabel::CaptionChanged() {
  setText(Caption());
  AdjustBounds();
}

void TLabel::AlignmentChanged() { setAlignment(ToQtAlignment(Alignment(), layout_)); }

void TLabel::TransparentChanged() {
  setAutoFillBackground(!Transparent());
  update();
}

void TLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) AdjustBounds();
}

void TLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasPressed = pressed_ && event->button() == Qt::LeftButton;
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (wasPressed && rect().contains(event->position().toPoint())) Q_EMIT Click();
}

void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  const QFontMetrics metrics = fontMetrics();
  const QString caption = Caption();
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

TEdit::TEdit(QWidget* parent) : QLineEdit(parent), TControl(clWindow, false, taLeftJustify, bsSingle) {
  setMaxLength(UnlimitedLength);
  ApplyColorAndFont();
  connect(this, &QLineEdit::textChanged, this, [this] {
    // The field's length limit counts UTF-16 units and may cut a pasted character in two; the half is dropped
    // (the text is set again, which reports the change once, whole).
    if (!DropCutCharacter()) Q_EMIT Change();
  });
}

bool TEdit::DropCutCharacter() {
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

void TEdit::SetMaxLength(int maxLength) {
  maxLength_ = std::max(0, maxLength);
  setMaxLength(maxLength_ == 0 ? UnlimitedLength : std::min(maxLength_, UnlimitedLength));
}

bool TEdit::TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }

void TEdit::SetTabStop(bool tabStop) { setFocusPolicy(FocusPolicyOf(tabStop)); }

void TEdit::AlignmentChanged() { setAlignment(ToQtAlignment(Alignment(), tlCenter)); }

void TEdit::BorderStyleChanged() { setFrame(BorderStyle() != bsNone); }

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent), TControl(clWindow, false, taLeftJustify, bsSingle) {
  setTabChangesFocus(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  document()->setDocumentMargin(2);
  ApplyColorAndFont();
  connect(this, &QPlainTextEdit::textChanged, this, [this] { Q_EMIT Change(); });
}

QStringList TMemo::Lines() const {
  const QString text = toPlainText();
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QLatin1Char('\n'));
  // A final line break ends the last line; it does not start another.
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

void TMemo::SetLines(const QStringList& lines) { setPlainText(lines.join(QLatin1Char('\n'))); }

QString TMemo::Text() const { return Lines().join(QStringLiteral("\r\n")); }

void TMemo::SetText(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  setPlainText(lines);
}

bool TMemo::TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }

void TMemo::SetTabStop(bool tabStop) { setFocusPolicy(FocusPolicyOf(tabStop)); }

bool TMemo::WordWrap() const { return lineWrapMode() == QPlainTextEdit::WidgetWidth; }

void TMemo::SetWordWrap(bool wordWrap) {
  setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::BorderStyleChanged() {
  setFrameShape(BorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
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
