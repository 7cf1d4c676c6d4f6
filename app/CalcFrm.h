#pragma once

// The calculator's main window: a name typed in, its total and reading shown anew at every keystroke.

#include "platform/Forms.h"

#include <memory>

class QPrinter;
class TButton;
class TEdit;
class TImage;
class TLabel;
class TMemo;
class TPanel;

/**
 * The main window: the entry field, the total, the reading memo and the five buttons, over the stone
 * background picture. Every change of the entry recomputes total and reading (Calculate).
 */
class TCalcFrm : public TForm {
  Q_OBJECT
public:
  explicit TCalcFrm(QWidget* parent = nullptr);
  ~TCalcFrm() override;

  TImage* Image1;
  /** Each caption is drawn twice: white (Label2, Label3, Label1), then black 2 pixels lower right. */
  TLabel* Label2;
  TLabel* Label5;
  TLabel* Label3;
  TLabel* Label6;
  TLabel* Label1;
  TLabel* Label4;
  TEdit* Data;
  TEdit* Total;
  TPanel* Panel1;
  TMemo* Memo1;
  TButton* ClearBtn;
  TButton* HelpBtn;
  TButton* InternetBtn;
  TButton* PrintBtn;
  TButton* ExitBtn;

private:
  void FormCreate();
  void DataChange();
  void ClearBtnClick();
  void HelpBtnClick();
  void InternetBtnClick();
  void PrintBtnClick();
  void ExitBtnClick();
};

/** The main window, while it exists. */
extern TCalcFrm* CalcFrm;
