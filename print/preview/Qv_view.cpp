#include "print/preview/Qv_view.h"

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "platform/SvgIcon.h"
#include "platform/SysUtils.h"
#include "print/device/PagewickIni.h"
#include "print/device/RecordedPages.h"
#include "print/dialogs/Addit.h"
#include "print/preview/Drawscrn.h"
#include "print/shared/QV_MFunc.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QRadioButton>
#include <algorithm>
#include <cmath>
#include <iterator>

TQV_Prev* QV_Prev = nullptr;

namespace {
constexpr int BarHeight = 30;
constexpr double ZoomPercentages[] = {250, 200, 150, 100, 75, 50, 25, 10};
constexpr int ZoomEntries = 10;

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

TPanel* MakeBar(QWidget* parent) {
  auto* bar = new TPanel(parent);
  bar->SetBorderWidth(0);
  return bar;
}

TLabel* MakeCaption(QWidget* parent) {
  auto* label = new TLabel(parent);
  label->SetTransparent(true);
  return label;
}

// The page size of the selected printer as a ratio; the store's page when the printer reports none.
double PrinterHeightPerWidth(const TDrawIt& surface) {
  const int width = Printer().PageWidth();
  const int height = Printer().PageHeight();
  if (width > 0 && height > 0) return static_cast<double>(height) / width;
  return static_cast<double>(surface.PageHeight()) / surface.PageWidth();
}

int Rounded(double value) {
  return static_cast<int>(std::clamp<long long>(RoundHalfEven(value), 0, QWIDGETSIZE_MAX));
}
}  // namespace

TQV_Prev::TQV_Prev(QWidget* owner, std::shared_ptr<const TRecordedPages> pages)
    : TForm(owner), pages_(std::move(pages)) {
  SetName(QStringLiteral("QV_Prev"));
  SetPosition(poScreenCenter);
  SetFont(MakeFont(QStringLiteral("MS Sans Serif"), -16, fsBold));
  SetClientSize(760, 560);
  const TFont buttonFont = MakeFont(QStringLiteral("Arial"), -13);

  Panel1 = MakeBar(this);
  const auto printButton = [this, &buttonFont](const QString& name) {
    TButton* button = GlyphButton(Panel1, QStringLiteral("print.svg"), QString());
    button->SetName(name);
    button->SetFont(buttonFont);
    return button;
  };
  Print = printButton(QStringLiteral("Print"));
  Odd = printButton(QStringLiteral("Odd"));
  Even = printButton(QStringLiteral("Even"));
  Current = printButton(QStringLiteral("Current"));
  Additional = printButton(QStringLiteral("Additional"));

  Panel2 = MakeBar(this);
  CloseButton = new TButton(Panel2);
  CloseButton->SetCancel(true);
  ZoomIn = GlyphButton(Panel2, QStringLiteral("smaller.svg"), QStringLiteral("Smaller"));
  ZoomOut = GlyphButton(Panel2, QStringLiteral("larger.svg"), QStringLiteral("Larger"));
  PrintPreview = new QComboBox(Panel2);
  PrintPreview->setEditable(false);
  PrintPreview->setFont(MakeFont(QStringLiteral("Arial"), -13).ToQFont());
  QPalette listColors = PrintPreview->palette();
  listColors.setColor(QPalette::Base, Qt::white);
  listColors.setColor(QPalette::Button, Qt::white);
  PrintPreview->setPalette(listColors);
  PrintPreview->setFixedWidth(120);
  PageWidthButton = GlyphButton(Panel2, QStringLiteral("pagewidth.svg"), QStringLiteral("Page Width"));
  WholePageButton = GlyphButton(Panel2, QStringLiteral("wholepage.svg"), QStringLiteral("Whole Page"));

  ScrollBox1 = new TScrollBox(this);
  ScrollBox1->SetBorderStyle(bsNone);
  ScrollBox1->SetHorzIncrement(100);
  ScrollBox1->SetVertIncrement(100);

  Panel3 = MakeBar(this);
  Panel3->SetBevelInner(bvLowered);
  PageCaption = MakeCaption(Panel3);
  PageNo = new TEdit(Panel3);
  OfCaption = MakeCaption(Panel3);
  PageTot = new TEdit(Panel3);
  PageTot->SetReadOnly(true);
  PageTot->SetColor(clSilver);
  PageTot->SetTabStop(false);
  PageNo->setFixedWidth(60);
  PageTot->setFixedWidth(60);
  // One font across the bars, which their controls take: the window's own larger bold one stays for the
  // heading it shows.
  for (TPanel* bar : {Panel1, Panel2, Panel3}) bar->SetFont(buttonFont);
  PrevPage = GlyphButton(Panel3, QStringLiteral("prior.svg"), QStringLiteral("Previous page"));
  NextPage = GlyphButton(Panel3, QStringLiteral("next.svg"), QStringLiteral("Next page"));
  PrintedCaption = MakeCaption(Panel3);
  // It names a file, whose name may hold an "&".
  PrintedCaption->SetShowAccelChar(false);
  PrintedCaption->SetFont(buttonFont);

  const auto on = [this](TButton* button, void (TQV_Prev::*handler)()) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { Application().Guarded([this, handler] { (this->*handler)(); }); });
  };
  on(Print, &TQV_Prev::PrintClick);
  on(Odd, &TQV_Prev::OddClick);
  on(Even, &TQV_Prev::EvenClick);
  on(Current, &TQV_Prev::CurrentClick);
  on(Additional, &TQV_Prev::AdditionalClick);
  on(CloseButton, &TQV_Prev::CloseButtonClick);
  on(ZoomIn, &TQV_Prev::ZoomInClick);
  on(ZoomOut, &TQV_Prev::ZoomOutClick);
  on(PageWidthButton, &TQV_Prev::PageWidthButtonClick);
  on(WholePageButton, &TQV_Prev::WholePageButtonClick);
  on(PrevPage, &TQV_Prev::PrevPageClick);
  on(NextPage, &TQV_Prev::NextPageClick);
  connect(PrintPreview, &QComboBox::activated, this,
          [this] { Application().Guarded([this] { PrintPreviewClick(); }); });
  // Page Width and Whole Page depend on the room the window gives the page, so they follow its size.
  connect(ScrollBox1, &TScrollBox::Resized, this, [this] {
    if (DrawIt1 != nullptr && PrintPreview->currentIndex() >= zoPageWidth) Zoomfinish();
  });
  // The window sees keys before the control that has the focus.
  qApp->installEventFilter(this);

  LayOut();
  FormCreate();
}

TQV_Prev::~TQV_Prev() {
  if (QV_Prev == this) QV_Prev = nullptr;
}

TButton* TQV_Prev::GlyphButton(QWidget* parent, const QString& glyph, const QString& hint) {
  auto* button = new TButton(parent);
  button->setIcon(SvgIcon(QStringLiteral(":/glyphs/") + glyph));
  button->setIconSize(QSize(18, 18));
  button->setToolTip(hint);
  // A button that shows its glyph alone is square.
  if (!hint.isEmpty()) button->setFixedWidth(BarHeight - 4);
  return button;
}

void TQV_Prev::FormCreate() {
  hide();
  QStringList entries;
  for (const double percentage : ZoomPercentages) entries.append(QStringLiteral("%1%").arg(percentage));
  entries << QStringLiteral("Page Width") << QStringLiteral("Whole Page");
  PrintPreview->addItems(entries);
  PrintPreview->setCurrentIndex(zoWholePage);

  const int background = pages_ ? pages_->Settings().ViewBackground : PagewickIni::ViewBackground();
  SetCaption(pages_ ? pages_->Settings().PreviewHeading : PagewickIni::PreviewHeading());
  Printer().SetPrinterIndex(pages_ ? pages_->Settings().PrinterIndex : PagewickIni::PrinterIndex());
  const bool portrait = pages_ ? pages_->Portrait() : PagewickIni::Orientation() == QLatin1String("Portrait");
  ScrollBox1->SetColor(background);

  DrawIt1 = new TDrawIt(ScrollBox1->Client(), pages_);
  DrawIt1->move(0, 20);
  if (portrait) {
    Printer().SetOrientation(poPortrait);
    DrawIt1->resize(553, 717);
  } else {
    Printer().SetOrientation(poLandscape);
    DrawIt1->resize(717, 553);
  }
  designedSurfaceSize_ = DrawIt1->size();
  DrawIt1->show();
  // A preview opens with the keyboard on its page, never on a print button: a Return pressed at once prints
  // nothing. The user reaches the buttons with Tab, and then their ring shows where the keyboard is.
  DrawIt1->setFocus(Qt::OtherFocusReason);
  setWindowState(windowState() | Qt::WindowMaximized);

  CloseButton->SetCaption(LoadTextOr(QVTextClose, QStringLiteral("&Close")));
  Additional->SetCaption(LoadTextOr(QVTextAddNl, QStringLiteral("&Add nl")));
  Print->SetCaption(LoadTextOr(QVTextAll, QStringLiteral("&All")));
  Odd->SetCaption(LoadTextOr(QVTextOdd, QStringLiteral("&Odd")));
  Even->SetCaption(LoadTextOr(QVTextEven, QStringLiteral("&Even")));
  Current->SetCaption(LoadTextOr(QVTextCurrent, QStringLiteral("&Current")));
  PageCaption->SetCaption(LoadTextOr(QVTextPage, QStringLiteral("Page")));
  OfCaption->SetCaption(LoadTextOr(QVTextOf, QStringLiteral("of")));
  PrintPreview->setItemText(zoPageWidth, LoadTextOr(QVTextPageWidth, QStringLiteral("Page Width")));
  PrintPreview->setItemText(zoWholePage, LoadTextOr(QVTextWholePage, QStringLiteral("Whole Page")));
  LayOut();
  Zoomfinish();
}

void TQV_Prev::LayOut() {
  const int across = width();
  Panel1->SetBounds(0, 0, across, BarHeight);
  Panel2->SetBounds(0, BarHeight, across, BarHeight);
  Panel3->SetBounds(0, height() - BarHeight, across, BarHeight);
  ScrollBox1->SetBounds(0, 2 * BarHeight, across, height() - 3 * BarHeight);

  // Controls of a bar stand in one row, each as wide as it is made or as its caption needs.
  const auto row = [](std::initializer_list<QWidget*> controls) {
    int x = 4;
    for (QWidget* control : controls) {
      const bool fixed = control->minimumWidth() == control->maximumWidth();
      const int width = fixed ? control->minimumWidth() : std::max(control->sizeHint().width(), 26);
      control->setGeometry(x, 3, width, BarHeight - 6);
      x += width + 4;
    }
  };
  row({Print, Odd, Even, Current, Additional});
  row({CloseButton, ZoomIn, ZoomOut, PrintPreview, PageWidthButton, WholePageButton});
  row({PageCaption, PageNo, OfCaption, PageTot, PrevPage, NextPage});
  // What was printed last fills the rest of the bottom bar.
  const int left = NextPage->geometry().right() + 12;
  PrintedCaption->setGeometry(left, 3, std::max(0, across - left - 4), BarHeight - 6);
}

void TQV_Prev::resizeEvent(QResizeEvent* event) {
  TForm::resizeEvent(event);
  LayOut();
}

void TQV_Prev::FitWholePage() {
  const int height = std::max(0, ScrollBox1->height() - 40);
  const int width = Rounded(height / PrinterHeightPerWidth(*DrawIt1));
  DrawIt1->setGeometry((ScrollBox1->width() - width) / 2, DrawIt1->y(), width, height);
  DrawIt1->update();
}

void TQV_Prev::Zoomfinish() {
  const int entry = PrintPreview->currentIndex();
  if (entry >= 0 && entry < static_cast<int>(std::size(ZoomPercentages))) {
    DrawIt1->SetZoom(width(), ZoomPercentages[entry]);
  } else if (entry == zoPageWidth) {
    const int width = std::max(0, ScrollBox1->width() - 40);
    const int height = Rounded(PrinterHeightPerWidth(*DrawIt1) * width);
    DrawIt1->setGeometry((ScrollBox1->width() - width) / 2, DrawIt1->y(), width, height);
    DrawIt1->update();
  } else if (entry == zoWholePage) {
    FitWholePage();
  }
  // The page with its 20-pixel margins on both sides: a page that fits (Page Width across, Whole Page
  // both ways) gets no scroll bar that scrolls nothing.
  ScrollBox1->SetHorzRange(DrawIt1->width() + 40);
  ScrollBox1->SetVertRange(DrawIt1->height() + 40);
  ScrollBox1->SetHorzIncrement(DrawIt1->width() / 10);
  ScrollBox1->SetVertIncrement(DrawIt1->height() / 10);
}

void TQV_Prev::FormActivate() {
  // Every activation shows the page actually displayed; only the first one (the window opening) fits the
  // page, so coming back from printing keeps the zoom the user chose.
  PageNo->SetText(QString::number(DrawIt1->ShownPage()));
  PageTot->SetText(QString::number(DrawIt1->CountPages()));
  if (!activated_) FitWholePage();
  activated_ = true;
}

void TQV_Prev::CloseButtonClick() {
  if (Modal())
    SetModalResult(mrOk);
  else
    Close();
}

void TQV_Prev::ZoomInClick() {
  PrintPreview->setCurrentIndex((PrintPreview->currentIndex() + 1) % ZoomEntries);
  Zoomfinish();
}

void TQV_Prev::ZoomOutClick() {
  PrintPreview->setCurrentIndex((PrintPreview->currentIndex() + ZoomEntries - 1) % ZoomEntries);
  Zoomfinish();
}

void TQV_Prev::PrintPreviewClick() { Zoomfinish(); }

void TQV_Prev::PageWidthButtonClick() {
  PrintPreview->setCurrentIndex(zoPageWidth);
  Zoomfinish();
}

void TQV_Prev::WholePageButtonClick() {
  PrintPreview->setCurrentIndex(zoWholePage);
  Zoomfinish();
}

void TQV_Prev::NextPageClick() {
  DrawIt1->ShowNextPage();
  PageNo->SetText(QString::number(DrawIt1->ShownPage()));
}

void TQV_Prev::PrevPageClick() {
  DrawIt1->ShowPriorPage();
  PageNo->SetText(QString::number(DrawIt1->ShownPage()));
}

void TQV_Prev::PageNoKeyUp(int key) {
  if (!IsEnter(key)) return;
  const int page = StrToInt(PageNo->Text(), TIntegerSyntax::Framework);
  PageNo->SetText(QString::number(DrawIt1->GoToPage(page)));
}

bool TQV_Prev::FormKeyDown(int key) {
  if (key != Qt::Key_PageUp && key != Qt::Key_PageDown) return false;
  const int step = DrawIt1->height() / 20;
  const int position = ScrollBox1->VertPosition() + (key == Qt::Key_PageUp ? -step : step);
  ScrollBox1->SetVertPosition(std::max(0, position));
  Zoomfinish();
  return true;
}

QString TQV_Prev::WherePrinted(int pages) {
  const QString count = pages == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(pages);
  if (pages == 0) return QStringLiteral("No page was printed.");
  if (Printer().IsQueue()) return QStringLiteral("Sent %1 to %2.").arg(count, Printer().PrinterName());
  return QStringLiteral("Printed %1 to %2").arg(count, QDir::toNativeSeparators(Printer().LastPdfFile()));
}

// Every print from the preview ends by saying where it went, so a PDF file is never a guess.
void TQV_Prev::PrintFromButton(int mode, const QString& selection) {
  PrintedCaption->SetCaption(QString());
  DrawIt1->PrintFromPreview(mode, selection);
  PrintedCaption->SetCaption(WherePrinted(DrawIt1->PagesPrinted()));
}

void TQV_Prev::PrintClick() { PrintFromButton(0, QString()); }
void TQV_Prev::OddClick() { PrintFromButton(1, QString()); }
void TQV_Prev::EvenClick() { PrintFromButton(2, QString()); }

void TQV_Prev::CurrentClick() {
  const QSize size = DrawIt1->size();
  PrintFromButton(0, QString::number(DrawIt1->ShownPage()));
  DrawIt1->resize(size);
}

void TQV_Prev::AdditionalClick() {
  const QString current = QString::number(DrawIt1->ShownPage());
  const auto dialog = std::make_unique<TAddition>();
  dialog->hide();
  while (dialog->ShowModal() == mrOk) {
    const int copies = StrToInt(dialog->Copies->Text(), TIntegerSyntax::Framework);
    const int mode = dialog->ComboBox1->currentIndex();
    QString selection;
    if (dialog->Current->isChecked())
      selection = current;
    else if (dialog->Range->isChecked())
      selection = dialog->Edit1->Text();
    PrintedCaption->SetCaption(QString());
    int printed = 0;
    {
      // All copies are one print action, so into a PDF file they land one after the other.
      TPrintAction action(DrawIt1->Heading());
      for (int copy = 0; copy < copies; ++copy) {
        DrawIt1->PrintFromPreview(mode, selection);
        printed += DrawIt1->PagesPrinted();
        // Abort stops the whole print, not just the copy it interrupted.
        if (DrawIt1->PrintAborted()) break;
      }
      action.Finish();
    }
    PrintedCaption->SetCaption(WherePrinted(printed));
  }
}

bool TQV_Prev::event(QEvent* event) {
  if (event->type() == static_cast<QEvent::Type>(ZoomMessage)) {
    const long long percentage = static_cast<TWindowMessage*>(event)->WParam;
    const auto known =
        std::find(std::begin(ZoomPercentages), std::end(ZoomPercentages), static_cast<double>(percentage));
    if (known != std::end(ZoomPercentages))
      PrintPreview->setCurrentIndex(static_cast<int>(known - std::begin(ZoomPercentages)));
    Application().Guarded([this] { Zoomfinish(); });
    return true;
  }
  if (event->type() == QEvent::WindowActivate || (event->type() == QEvent::Show && !activated_)) {
    Application().Guarded([this] { FormActivate(); });
  }
  return TForm::event(event);
}

bool TQV_Prev::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this || !isVisible()) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (type == QEvent::KeyRelease) {
    if (watched == PageNo && IsEnter(key)) Application().Guarded([this, key] { PageNoKeyUp(key); });
    return false;
  }
  if (key == Qt::Key_Escape) {
    CloseButtonClick();
    return true;
  }
  if (watched == PrintPreview && IsEnter(key)) {
    Application().Guarded([this] { Zoomfinish(); });
    return false;
  }
  bool handled = false;
  Application().Guarded([this, key, &handled] { handled = FormKeyDown(key); });
  return handled;
}
