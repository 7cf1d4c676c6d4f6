#include "app/CalcFrm.h"

#include "app/Inet.h"
#include "app/Numb.h"
#include "app/Ptr.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/JpegImage.h"
#include "platform/StdCtrls.h"

#include <QtGlobal>
#include <memory>

TCalcFrm* CalcFrm = nullptr;

namespace {
const QString BackgroundPicture = QStringLiteral(":/images/Stone.jpg");
const QString HelpFileName = QStringLiteral("qnynumb.html");
const QString ContentsTopic = QStringLiteral("IDH_CONTENTS");

// A caption that stands out of the stone: white, and the same text in black two pixels to the lower right.
TLabel* MakeCaption(QWidget* parent, const QString& caption, int left, int top, TColor color) {
  auto* label = new TLabel(parent);
  label->SetCaption(caption);
  label->SetTransparent(true);
  label->SetFont(MakeFont(QStringLiteral("MS Sans Serif"), -13, fsBold, color));
  label->SetLeft(left);
  label->SetTop(top);
  return label;
}

TButton* MakeButton(QWidget* parent, const QString& caption, int left) {
  auto* button = new TButton(parent);
  button->SetCaption(caption);
  button->SetBounds(left, 192, 75, 25);
  return button;
}
}  // namespace

TCalcFrm::TCalcFrm(QWidget* parent) : TForm(parent) {
  CalcFrm = this;
  SetName(QStringLiteral("CalcFrm"));
  SetCaption(QStringLiteral("Quenary Calculator Ver. 1.1"));
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetPosition(poScreenCenter);
  SetColor(cl3DLight);
  SetFont(MakeFont(QStringLiteral("MS Sans Serif"), -13, fsBold));
  SetClientSize(514, 232);

  Image1 = new TImage(this);
  Image1->SetBounds(0, 0, 514, 232);
  try {
    Image1->SetPicture(LoadJpeg(BackgroundPicture));
  } catch (const EJpegError& error) {
    // The window works without its picture; the form's own colour shows instead.
    qWarning("%s", error.what());
  }

  Label2 = MakeCaption(this, QStringLiteral("Data Entry"), 20, 18, clWhite);
  Label5 = MakeCaption(this, QStringLiteral("Data Entry"), 22, 20, clBlack);
  Label3 = MakeCaption(this, QStringLiteral("Total"), 436, 18, clWhite);
  Label6 = MakeCaption(this, QStringLiteral("Total"), 438, 20, clBlack);
  Label1 = MakeCaption(this, QStringLiteral("Quenary Oracle"), 20, 86, clWhite);
  Label4 = MakeCaption(this, QStringLiteral("Quenary Oracle"), 22, 88, clBlack);

  const TFont entryFont = MakeFont(QStringLiteral("Courier New"), -19, fsBold);
  Data = new TEdit(this);
  Data->SetName(QStringLiteral("Data"));
  Data->SetBounds(20, 40, 410, 27);
  Data->SetFont(entryFont);
  Data->SetMaxLength(EntryMaxLength);

  Total = new TEdit(this);
  Total->SetName(QStringLiteral("Total"));
  Total->SetBounds(436, 40, 61, 27);
  Total->SetFont(entryFont);
  Total->SetReadOnly(true);
  Total->SetTabStop(false);
  Total->SetText(QStringLiteral("0"));

  Panel1 = new TPanel(this);
  Panel1->SetBounds(20, 106, 477, 74);
  Panel1->SetColor(clWhite);
  Panel1->SetBevelOuter(bvLowered);
  Panel1->SetBevelWidth(3);

  Memo1 = new TMemo(Panel1);
  Memo1->SetName(QStringLiteral("Memo1"));
  const QRect inside = Panel1->InnerRect();
  Memo1->SetBounds(inside.x(), inside.y(), inside.width(), inside.height());
  Memo1->SetBorderStyle(bsNone);
  Memo1->SetColor(clWhite);
  Memo1->SetFont(MakeFont(QStringLiteral("Courier New"), -15));
  Memo1->SetReadOnly(true);
  Memo1->SetTabStop(false);

  ClearBtn = MakeButton(this, QStringLiteral("Clear"), 20);
  HelpBtn = MakeButton(this, QStringLiteral("Help"), 121);
  InternetBtn = MakeButton(this, QStringLiteral("Internet"), 222);
  PrintBtn = MakeButton(this, QStringLiteral("Print"), 322);
  ExitBtn = MakeButton(this, QStringLiteral("Exit"), 422);

  setTabOrder(Data, ClearBtn);
  setTabOrder(ClearBtn, HelpBtn);
  setTabOrder(HelpBtn, InternetBtn);
  setTabOrder(InternetBtn, PrintBtn);
  setTabOrder(PrintBtn, ExitBtn);
  SetActiveControl(Data);

  connect(Data, &TEdit::Change, this, &TCalcFrm::DataChange);
  connect(ClearBtn, &TButton::clicked, this, &TCalcFrm::ClearBtnClick);
  connect(HelpBtn, &TButton::clicked, this, &TCalcFrm::HelpBtnClick);
  connect(InternetBtn, &TButton::clicked, this, &TCalcFrm::InternetBtnClick);
  connect(PrintBtn, &TButton::clicked, this, &TCalcFrm::PrintBtnClick);
  connect(ExitBtn, &TButton::clicked, this, &TCalcFrm::ExitBtnClick);

  FormCreate();
}

TCalcFrm::~TCalcFrm() {
  if (CalcFrm == this) CalcFrm = nullptr;
}

void TCalcFrm::FormCreate() { Application().SetHelpFile(HelpFileName); }

void TCalcFrm::DataChange() { Calculate(); }

void TCalcFrm::ClearBtnClick() {
  NameTotal = 0;
  Total->SetText(QStringLiteral("0"));
  Data->SetText(QString());
  Memo1->Clear();
  Data->setFocus(Qt::OtherFocusReason);
}

void TCalcFrm::HelpBtnClick() { Application().HelpJump(ContentsTopic); }

void TCalcFrm::InternetBtnClick() {
  if (InternetFrm != nullptr) InternetFrm->ShowModal();
}

void TCalcFrm::PrintBtnClick() {
  // The program-wide printer takes the choice; the report prints on it while its form is made.
  if (!ExecutePrintDialog(this)) return;
  Application().Guarded([] {
    const std::unique_ptr<TPrintFrm> report = std::make_unique<TPrintFrm>();
    report->SetVisible(false);
  });
}

void TCalcFrm::ExitBtnClick() { Application().Terminate(); }
