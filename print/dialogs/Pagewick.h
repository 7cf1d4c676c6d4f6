#pragma once

// The print status dialog shown while a job formats or spools its pages, with its Abort button.

#include <QDialog>

class QLineEdit;
class QLabel;
class QPushButton;
class QFrame;

/**
 * The print status dialog: shows the printer in use, the page being processed and a status line while a
 * job formats or spools pages, and offers Abort (also Escape). Callers write Page, poll AbortRequested after
 * each page and free the dialog when their loop ends.
 *
 * Laid out for 120 pixels per inch: the dialog's width and height follow the screen's pixels per inch, its
 * text keeps its size, and the children are placed so every caption and field shows whole. Fields show the
 * start of their text.
 */
class TPrintDialog1 : public QDialog {
  Q_OBJECT
public:
  explicit TPrintDialog1(QWidget* owner = nullptr);
  ~TPrintDialog1() override;

  bool AbortRequested() const { return abortRequested_; }

  /** The page number being processed, as the callers write it. */
  void SetPageText(const QString& text);
  void SetStatusText(const QString& text);

  QFrame* Bevel1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* ToPrinter = nullptr;
  QLineEdit* Page = nullptr;
  QLineEdit* Status = nullptr;
  QPushButton* CancelBtn = nullptr;

  /** Abort: abandons a document being spooled, sets the flag and hides the dialog. */
  void CancelBtnClick();

protected:
  bool event(QEvent* event) override;
  void reject() override;

private:
  void FormCreate();
  void FormActivate();
  void LayOut();
  bool abortRequested_ = false;
};

/** The program-wide reference to the current print status dialog (nullptr when none is shown). */
extern TPrintDialog1* PrintDialog1;
