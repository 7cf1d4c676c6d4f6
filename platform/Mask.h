#pragma once

// Masked entry fields: what the user may type, and the text the field reports and prints.

#include "platform/StdCtrls.h"

#include <QChar>
#include <QString>

/**
 * An edit mask as the framework writes one: "mask;save literals;blank", e.g. "(999) 000-0000;1;_". In the
 * mask 0 is a required digit, 9 an optional digit, # an optional digit or sign, L a required letter, l an
 * optional letter, A a required letter or digit, a an optional one, C any required character, c any optional
 * one; > upper-cases and < lower-cases what follows (<> neither), \\ takes the next character as it is, and
 * every other character is a literal shown in the field (_ a blank). The second part, 0 or 1 (1 when
 * missing), says whether Text keeps the literals; the third is the character shown in unfilled places.
 */
struct TEditMask {
  QString Mask;
  bool SaveLiterals = true;
  QChar Blank = QLatin1Char('_');

  static TEditMask Parse(const QString& editMask);
  /** The Qt input mask that accepts what this mask accepts. */
  QString ToInputMask() const;
  /**
   * The text the masked field reports for what it shows: unfilled places as blanks, literals kept when
   * SaveLiterals is set. `editText` is the shown text, one character per place of the mask.
   */
  QString TextOf(const QString& editText) const;
};

/** What masked fields share (masked edits and data edits, which the print renderer tells apart). */
class TCustomMaskEdit : public TCustomEdit {
  Q_OBJECT
public:
  QString EditMask() const { return editMask_; }
  /** Sets the mask (an empty text removes it); the text is kept as far as the mask takes it. */
  void SetEditMask(const QString& editMask);
  bool IsMasked() const { return !editMask_.isEmpty(); }
  /** The text as shown, with the blank character in unfilled places. */
  QString EditText() const { return displayText(); }
  /** The text as the framework's masked edit reports it (see TEditMask::TextOf). */
  QString Text() const override;

protected:
  explicit TCustomMaskEdit(QWidget* parent);

private:
  QString editMask_;
  TEditMask mask_;
};

class TMaskEdit : public TCustomMaskEdit {
  Q_OBJECT
public:
  explicit TMaskEdit(QWidget* parent);
};
