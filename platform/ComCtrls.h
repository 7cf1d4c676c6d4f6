#pragma once

// The rich-text field of a form; the print library's text that flows across boxes and pages is built on it.

#include "platform/Controls.h"

#include <QTextEdit>

class QTextDocument;

/**
 * A rich-text field: paragraphs with their own alignment, margins and lists, and runs of text with their
 * own face, size, style and colour, held in a QTextDocument. Text is the plain text with a line feed between
 * paragraphs; each paragraph end counts as one character, so TextLength and the document's character
 * positions agree.
 */
class TRichEdit : public QTextEdit, public TControl {
  Q_OBJECT
public:
  explicit TRichEdit(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  /** The formatted content; the program styles its text through cursors on it. */
  QTextDocument& Document() const { return *document(); }
  QString Text() const { return toPlainText(); }
  /** Replaces the content by unformatted text in the control's font; line feeds start paragraphs. */
  void SetText(const QString& text) { setPlainText(text); }
  /** Characters of the content, each paragraph end counted as one. */
  int TextLength() const;
  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }

Q_SIGNALS:
  void Change();

protected:
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void BorderStyleChanged() override;
};
