#pragma once

// The one-page reading report, filled from the main window and sent to the printer or the preview.

#include "platform/Forms.h"
#include "print/device/QV_PageFiles.h"

class TDBPrintWin;
class TLabel;
class TPanel;
class TShape;

/**
 * The reading report: a sheet-sized panel with the entry, its capitals, the total, the three reading lines
 * and ruled lines for notes. Creating the form fills it from the main window and prints it at once on the
 * printer chosen there (or, told so, shows it in the preview, from which the user may print it); the form
 * itself is never shown.
 */
class TPrintFrm : public TForm {
  Q_OBJECT
public:
  /**
   * Fills the report from the main window (and the web sites of the links window) and sends it to the
   * target: the printer, or the preview (which returns once the user closes it).
   */
  explicit TPrintFrm(QWidget* parent = nullptr, TSendTo target = poPrinter);
  ~TPrintFrm() override;

  TPanel* Panel1;
  TLabel* Label1;
  TShape* Shape2;
  TLabel* Label3;
  TLabel* Data;
  TLabel* Label4;
  TLabel* Total;
  TLabel* Label2;
  TLabel* m1;
  TLabel* M2;
  TLabel* M3;
  TLabel* Label14;
  TShape* Shape18;
  /** The thirteen ruled note lines, top to bottom (Shape1, Shape3 ... Shape14). */
  TShape* NoteLines[13];
  TDBPrintWin* DBPrintWin1;

protected:
  void FormClose(TCloseAction& action) override;

private:
  void FormCreate();
  TSendTo target_;
};

/** The report form while it exists. */
extern TPrintFrm* PrintFrm;
