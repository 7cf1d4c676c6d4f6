#pragma once

// The preview's print options dialog: which pages to print, odd or even, and how many copies.

#include "platform/Forms.h"

#include <QString>

class QComboBox;
class QGroupBox;
class QRadioButton;
class TButton;
class TEdit;
class TLabel;

/**
 * The print options dialog of the preview: all pages, the current page or a typed selection of pages and
 * page ranges ("1,2,5,7-14,21"), restricted to all, odd or even pages (the index of ComboBox1 is the print
 * mode: 0 all, 1 odd, 2 even), in a number of copies. Print closes it with mrOk, Close, Escape and the
 * close box with mrCancel; the caller does the printing.
 *
 * Laid out for 120 pixels per inch: its width and height follow the screen's pixels per inch, and never
 * shrink below what its captions and fields need to show whole.
 */
class TAddition : public TForm {
  Q_OBJECT
public:
  explicit TAddition(QWidget* owner = nullptr);
  ~TAddition() override;

  QGroupBox* PageRange = nullptr;
  QRadioButton* All = nullptr;
  QRadioButton* Current = nullptr;
  QRadioButton* Range = nullptr;
  TEdit* Edit1 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label2 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  TLabel* Label4 = nullptr;
  TEdit* Copies = nullptr;
  TButton* Print = nullptr;
  TButton* CancelBtn = nullptr;

  /** The selection field and its two hints are usable only while Range is chosen; otherwise it is emptied. */
  void RangeClick();

protected:
  bool event(QEvent* event) override;

private:
  void FormCreate();
};
