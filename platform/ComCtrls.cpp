#include "platform/ComCtrls.h"

#include <QTextDocument>
#include <algorithm>

TRichEdit::TRichEdit(QWidget* parent)
    : QTextEdit(parent), TControl(clWindow, false, taLeftJustify, bsSingle) {
  setAcceptRichText(true);
  setTabChangesFocus(true);
  setLineWrapMode(QTextEdit::WidgetWidth);
  document()->setDocumentMargin(2);
  ApplyColorAndFont();
  connect(this, &QTextEdit::textChanged, this, [this] { Q_EMIT Change(); });
}

int TRichEdit::TextLength() const { return std::max(0, document()->characterCount() - 1); }

void TRichEdit::BorderStyleChanged() {
  setFrameShape(BorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}
