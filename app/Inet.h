#pragma once

// The links window: the program's web sites and mail contacts, each opened by the desktop's own program.

#include "platform/Forms.h"

class TButton;
class TLabel;
class TPanel;
class TURL;

/**
 * The links window: two mail contacts and three web sites as clickable captions, each launching its own TURL.
 * Created hidden at start, shown modally by the main window's Internet button, hidden again by Close or
 * Escape.
 */
class TInternetFrm : public TForm {
  Q_OBJECT
public:
  explicit TInternetFrm(QWidget* parent = nullptr);
  ~TInternetFrm() override;

  TPanel* Panel3;
  TPanel* Panel4;
  /** Headings: "Quenary Oracle", "Quenary Calculator" and the related title. */
  TLabel* Label4;
  TLabel* Label6;
  TLabel* Label7;
  /** Link captions, top to bottom: first web site, first mail, second web site, second mail, third web site.
   */
  TLabel* Label3;
  TLabel* Label5;
  TLabel* Label2;
  TLabel* Label1;
  TLabel* Label8;
  TButton* Button1;

  /** Web sites: URL4 is the first (under Label3), URL3 the second (Label2), URL1 the third (Label8). */
  TURL* URL1;
  TURL* URL3;
  TURL* URL4;
  /** Mail contacts: URL5 the first (Label5), URL2 the second (Label1). */
  TURL* URL2;
  TURL* URL5;

private:
  void Label5Click();
  void Label1Click();
  void Label3Click();
  void Label2Click();
  void Label8Click();
  void Button1Click();
};

/** The links window, while it exists. */
extern TInternetFrm* InternetFrm;
