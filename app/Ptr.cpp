#include "app/Ptr.h"

#include "app/CalcFrm.h"
#include "app/Inet.h"
#include "app/Numb.h"
#include "app/URL.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "print/engine/DBPrnWin.h"

TPrintFrm* PrintFrm = nullptr;

namespace {
TLabel* MakeLabel(QWidget* parent, int left, int top, const QString& caption) {
  auto* label = new TLabel(parent);
  label->SetCaption(caption);
  label->SetLeft(left);
  label->SetTop(top);
  return label;
}

// A label of fixed size in the report's fixed-pitch face, so the capitals and reading lines line up.
TLabel* MakeFixedLabel(QWidget* parent, const QRect& bounds) {
  auto* label = new TLabel(parent);
  label->SetAutoSize(false);
  label->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  label->SetFont(MakeFont(QStringLiteral("Courier New"), -19));
  return label;
}

TShape* MakeRule(QWidget* parent, const QRect& bounds, bool grayPen) {
  auto* shape = new TShape(parent);
  shape->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  shape->SetBrush(TBrush{bsSolid, clBlack});
  if (grayPen) shape->SetPen(TPen{psSolid, 1, clGray});
  return shape;
}

QString MemoLine(const QStringList& lines, int index) {
  return QStringLiteral("+ ") + (index < lines.size() ? lines.at(index) : QString());
}
}  // namespace

TPrintFrm::TPrintFrm(QWidget* parent, TSendTo target) : TForm(parent), target_(target) {
  PrintFrm = this;
  SetName(QStringLiteral("PrintFrm"));
  SetCaption(QStringLiteral("Print Format"));
  SetFont(MakeFont(QStringLiteral("Arial"), -16, fsBold));
  SetClientSize(780, 861);

  Panel1 = new TPanel(this);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetBorderStyle(bsNone);
  Panel1->SetColor(clWhite);
  Panel1->SetBounds(0, 0, 780, 861);

  Label1 = MakeLabel(Panel1, 24, 12, QString());
  Label1->SetFont(MakeFont(QStringLiteral("Arial"), -27));
  Shape2 = MakeRule(Panel1, QRect(20, 44, 665, 2), false);
  Label3 = MakeLabel(Panel1, 44, 80, QStringLiteral("Data:"));
  Data = MakeFixedLabel(Panel1, QRect(96, 80, 441, 22));
  Label4 = MakeLabel(Panel1, 552, 80, QStringLiteral("Total:"));
  Total = MakeFixedLabel(Panel1, QRect(607, 80, 49, 18));
  Label2 = MakeLabel(Panel1, 44, 134, QStringLiteral("Quenary Oracle"));
  // The name heads the printed report, the reading's title heads the reading: a screen reader says so.
  Label1->setProperty(HeadingLevelProperty, 1);
  Label2->setProperty(HeadingLevelProperty, 2);
  m1 = MakeFixedLabel(Panel1, QRect(56, 160, 600, 18));
  M2 = MakeFixedLabel(Panel1, QRect(56, 186, 600, 18));
  M3 = MakeFixedLabel(Panel1, QRect(56, 210, 600, 18));
  Label14 = MakeLabel(Panel1, 25, 308, QStringLiteral("Notes:  "));
  Shape18 = MakeRule(Panel1, QRect(88, 322, 587, 1), true);
  for (int line = 0; line < 13; ++line)
    NoteLines[line] = MakeRule(Panel1, QRect(25, 362 + 40 * line, 650, 1), true);

  DBPrintWin1 = new TDBPrintWin(this, TCreation::Designer);
  DBPrintWin1->SetHeaderFont(MakeFont(QStringLiteral("Arial"), 16));
  DBPrintWin1->SetFont(MakeFont(QStringLiteral("Arial"), 16));
  DBPrintWin1->SetFooterFont(MakeFont(QStringLiteral("Arial"), 12));
  DBPrintWin1->LineWidth = 0;
  DBPrintWin1->ZoomPercentage = 100.0;
  DBPrintWin1->HeaderTop = 0.5;
  DBPrintWin1->HeaderLeft = 0.5;
  DBPrintWin1->HeaderStringLeft = TPrintWin::Blanks(34);
  DBPrintWin1->HeaderStringCenter = TPrintWin::Blanks(34);
  DBPrintWin1->HeaderStringRight = TPrintWin::Blanks(34);
  DBPrintWin1->ViewHeading = QStringLiteral("Quillora Viewer");
  DBPrintWin1->HeadingColor = clSilver;
  DBPrintWin1->FrameStyle = frThin;
  DBPrintWin1->FooterString = TPrintWin::Blanks(50);
  DBPrintWin1->FooterStringLeft = QStringLiteral("Printed on @Date at @Time");
  DBPrintWin1->FooterStringRight = QStringLiteral("Page @Page");
  DBPrintWin1->BorderLeft = 0.5;
  DBPrintWin1->BorderRight = 0.5;
  DBPrintWin1->LineSpacing = 2.8;

  try {
    FormCreate();
  } catch (...) {
    // The form never finished being made: nothing may reach it through the program-wide reference.
    PrintFrm = nullptr;
    throw;
  }
}

TPrintFrm::~TPrintFrm() {
  if (PrintFrm == this) PrintFrm = nullptr;
}

void TPrintFrm::FormCreate() {
  const QString entry = CalcFrm != nullptr ? CalcFrm->Data->Text() : QString();
  const QStringList reading = CalcFrm != nullptr ? CalcFrm->Memo1->Lines() : QStringList();
  // What the user typed prints as typed: an "&" in a name is no accelerator.
  for (TLabel* typed : {Label1, Data, Total, m1, M2, M3}) typed->SetShowAccelChar(false);
  Label1->SetCaption(entry);
  Data->SetCaption(UpperCaseLetters(entry));
  Total->SetCaption(CalcFrm != nullptr ? CalcFrm->Total->Text() : QStringLiteral("0"));
  m1->SetCaption(MemoLine(reading, 0));
  M2->SetCaption(MemoLine(reading, 1));
  M3->SetCaption(MemoLine(reading, 2));
  hide();

  DBPrintWin1->OutputTo = target_;
  DBPrintWin1->DocumentTitle = QStringLiteral("Quenary reading for %1").arg(entry);
  TPrintJobScope job(*DBPrintWin1);
  DBPrintWin1->FooterStringLeft = QStringLiteral("        Printed on @Date at @Time");
  if (InternetFrm != nullptr) {
    DBPrintWin1->FooterStringRight = QStringLiteral("http://") + InternetFrm->URL4->URL() +
                                     TPrintWin::Blanks(10) + QStringLiteral("http://") +
                                     InternetFrm->URL3->URL();
  }
  DBPrintWin1->AddOutlineEntry(DBPrintWin1->DocumentTitle, 0, 0.5);
  DBPrintWin1->PrintControlAt(Panel1, 0.5, 0.5);
  job.Finish();
  DBPrintWin1->OutputTo = poViewer;
  Close();
}

void TPrintFrm::FormClose(TCloseAction& action) { action = caFree; }
