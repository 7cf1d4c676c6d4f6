#pragma once

// The Letter window: a letter showing the print library's decorative controls and text flowing across pages.

#include "platform/Forms.h"
#include "print/device/QV_PageFiles.h"

class TButton;
class TDBPrintWin;
class TImage;
class TLabel;
class TPanel;
class TQVCustom;
class TQVPanel;
class TQVRichContinue;
class TQV_Label;
class TRichEditE;
class TScrollBox;
class TQVGraphicControl;

/**
 * The Letter: a one-sheet letter of reading that shows the print library's decorative controls. A banner
 * tiles a small motif (TQVPanel) behind the block-shadowed title, labels show the other caption styles, the
 * addressee sits in a titled container (TQVCustom), a seal prints itself (a TQVGraphicControl), and the long
 * styled body text flows, when printed, from its rich-text edit into two continuation panels and on to a
 * further page.
 */
class TLetterFrm : public TForm {
  Q_OBJECT
public:
  explicit TLetterFrm(QWidget* parent = nullptr);
  ~TLetterFrm() override;

  /**
   * The sheet scrolls in this box when the screen is too small for the whole window; the buttons below it
   * stay in view.
   */
  TScrollBox* SheetBox;
  /** The white sheet that is printed; the buttons below it are not. */
  TPanel* Sheet;
  /** The motif the banner tiles; never shown itself. */
  TImage* Motif;
  TQVPanel* Banner;
  TQV_Label* Title;
  TQV_Label* Subtitle;
  TQV_Label* Raised;
  TQV_Label* Sunken;
  TQV_Label* Plain;
  TQV_Label* Stamp;
  TQVCustom* Addressee;
  TLabel* AddresseeName;
  TLabel* AddresseeStreet;
  TLabel* AddresseeTown;
  TRichEditE* Body;
  TQVRichContinue* BodyContinued;
  TQVRichContinue* BodyConcluded;
  TQV_Label* Closing;
  TQVGraphicControl* Seal;
  TButton* PrintBtn;
  TButton* CloseBtn;
  TDBPrintWin* DBPrintWin1;

  /**
   * Prints the sheet on the selected printer (poPrinter) or into the preview (poViewer) without any dialog,
   * as many pages as the body needs; the body starts from its beginning on every print.
   */
  void PrintLetter(TSendTo target = poPrinter);

private:
  void FillBody();
  void PrintBtnClick();
};
