#include "app/Inet.h"

#include "app/URL.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"

TInternetFrm* InternetFrm = nullptr;

namespace {
constexpr int CaptionLeft = 8;
constexpr int CaptionWidth = 317;
constexpr int LineHeight = 16;

TLabel* MakeHeading(TPanel* panel, const QString& caption, int top) {
  auto* label = new TLabel(panel);
  label->SetAutoSize(false);
  label->SetAlignment(taCenter);
  label->SetCaption(caption);
  label->SetBounds(CaptionLeft, top, CaptionWidth, LineHeight);
  return label;
}

TLabel* MakeLink(TPanel* panel, const QString& caption, int top, int lines) {
  TLabel* label = MakeHeading(panel, caption, top);
  label->SetWordWrap(true);
  label->SetHeight(lines * LineHeight);
  label->SetFont(MakeFont(QStringLiteral("MS Sans Serif"), -13, fsBold | fsUnderline, clNavy));
  label->setCursor(Qt::PointingHandCursor);
  return label;
}

TURL* MakeURL(QObject* owner, const QString& url, TURLType type) {
  auto* link = new TURL(owner);
  link->SetURL(url);
  link->SetURLType(type);
  return link;
}
}  // namespace

TInternetFrm::TInternetFrm(QWidget* parent) : TForm(parent) {
  InternetFrm = this;
  SetName(QStringLiteral("InternetFrm"));
  SetCaption(QStringLiteral("Quenary Oracle "));
  SetBorderStyle(bsDialog);
  SetBorderIcons(0);
  SetPosition(poScreenCenter);
  SetColor(cl3DLight);
  SetFont(MakeFont(QStringLiteral("MS Sans Serif"), -13, fsBold));
  SetClientSize(370, 372);

  Panel3 = new TPanel(this);
  Panel3->SetBounds(0, 0, 370, 41);
  Panel3->SetBevelWidth(2);
  Panel3->SetCaption(QStringLiteral("Internet Resources"));
  Panel3->SetFont(MakeFont(QStringLiteral("MS Sans Serif"), -19));

  Panel4 = new TPanel(this);
  Panel4->SetBounds(18, 52, 333, 267);
  Panel4->SetColor(clWhite);
  Panel4->SetBevelOuter(bvLowered);
  Panel4->SetBevelWidth(2);

  Label4 = MakeHeading(Panel4, QStringLiteral("Quenary Oracle"), 12);
  Label3 = MakeLink(Panel4, QStringLiteral("Quenary Oracle Home Page\nwww.example.com/quenary/"), 32, 2);
  Label5 = MakeLink(Panel4, QStringLiteral("E-Mail: <oracle@example.com>"), 68, 1);
  Label6 = MakeHeading(Panel4, QStringLiteral("Quenary Calculator"), 100);
  Label2 =
      MakeLink(Panel4, QStringLiteral("Quenary Calculator Updates\nwww.example.org/calculator/"), 120, 2);
  Label1 = MakeLink(Panel4, QStringLiteral("Jordan Sample <jordan.sample@example.org>"), 156, 1);
  Label7 = MakeHeading(Panel4, QStringLiteral("Quenary Almanac"), 188);
  Label8 = MakeLink(Panel4, QStringLiteral("The Quenary Almanac of Names\nwww.example.net/almanac/"), 208, 2);

  Button1 = new TButton(this);
  Button1->SetCaption(QStringLiteral("Close"));
  Button1->SetBounds((370 - 75) / 2, 333, 75, 25);
  Button1->SetCancel(true);
  SetActiveControl(Button1);

  URL1 = MakeURL(this, QStringLiteral("www.example.net/almanac/"), utHttp);
  URL2 = MakeURL(this, QStringLiteral("jordan.sample@example.org"), utMailto);
  URL3 = MakeURL(this, QStringLiteral("www.example.org/calculator/"), utHttp);
  URL4 = MakeURL(this, QStringLiteral("www.example.com/quenary/"), utHttp);
  URL5 = MakeURL(this, QStringLiteral("oracle@example.com"), utMailto);

  connect(Label5, &TLabel::Click, this, &TInternetFrm::Label5Click);
  connect(Label1, &TLabel::Click, this, &TInternetFrm::Label1Click);
  connect(Label3, &TLabel::Click, this, &TInternetFrm::Label3Click);
  connect(Label2, &TLabel::Click, this, &TInternetFrm::Label2Click);
  connect(Label8, &TLabel::Click, this, &TInternetFrm::Label8Click);
  connect(Button1, &TButton::clicked, this, &TInternetFrm::Button1Click);
}

TInternetFrm::~TInternetFrm() {
  if (InternetFrm == this) InternetFrm = nullptr;
}

// The window stays open after a click, so several links can be opened one after another; a link the
// desktop cannot open simply does nothing.
void TInternetFrm::Label5Click() { URL5->Launch(); }
void TInternetFrm::Label1Click() { URL2->Launch(); }
void TInternetFrm::Label3Click() { URL4->Launch(); }
void TInternetFrm::Label2Click() { URL3->Launch(); }
void TInternetFrm::Label8Click() { URL1->Launch(); }

void TInternetFrm::Button1Click() { Close(); }
