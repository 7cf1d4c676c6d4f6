#include "print/device/QV_Gdi.h"
#include "print/dialogs/Pagewick.h"
#include "print/preview/Qv_view.h"
#include "platform/StdCtrls.h"
#include "tests/print/engine/EngineTestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

TEST(PrintWinSettings, FooterCornersDependOnHowTheComponentWasMadeAndAboutStays) {
  TPrintWin runTime;
  TPrintWin designed(nullptr, TCreation::Designer);
  EXPECT_EQ(runTime.FooterStringLeft, QString(28, QLatin1Char(' ')));
  EXPECT_EQ(runTime.FooterStringRight, QString(29, QLatin1Char(' ')));
  EXPECT_EQ(designed.FooterStringLeft, QStringLiteral("Printed on @Date at @Time"));
  EXPECT_EQ(designed.FooterStringRight, QStringLiteral("Page @Page"));

  runTime.SetAbout(QStringLiteral("Version 1.0"));
  EXPECT_EQ(runTime.About(), QStringLiteral("Version 7.5"));
  EXPECT_EQ(runTime.ComponentDescription(), QStringLiteral("TPrintWin component"));
  for (TFont* font :
       {&runTime.HeaderFont(), &runTime.Font(), &runTime.FooterFont(), &runTime.FooterTextFont()})
    EXPECT_EQ(font->Name(), QStringLiteral("Arial"));
  EXPECT_EQ(runTime.HeaderFont().Height(), 16);
  EXPECT_EQ(runTime.FooterTextFont().Height(), 12);
  EXPECT_EQ(runTime.HeaderStringLeft, QString(34, QLatin1Char(' ')));
}

TEST(PrintWinSettings, SettingAFontCopiesItSoTheCallersFontStaysItsOwn) {
  TPrintWin win;
  TFont font = MakeFont(QStringLiteral("Courier New"), -20, fsBold, clRed);
  win.SetHeaderFont(font);
  font.SetName(QStringLiteral("Times New Roman"));
  EXPECT_EQ(win.HeaderFont().Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(win.HeaderFont().Style(), TFontStyles(fsBold));
  EXPECT_EQ(win.HeaderFont().Color(), clRed);
}

TEST(PrintWinSettings, DestroyingTheExecuteControlEmptiesItAndExecuteSaysSo) {
  TPrintWin win;
  auto panel = std::make_unique<TPanel>(nullptr);
  win.SetExecuteWinControl(panel.get());
  EXPECT_EQ(win.ExecuteWinControl(), panel.get());
  panel.reset();
  EXPECT_EQ(win.ExecuteWinControl(), nullptr);

  MessageRecorder messages;
  win.Execute();
  EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("The ExecuteWinControl property is empty")});
  EXPECT_EQ(PrintDialog1, nullptr) << "no job was started";
}

TEST_F(PrintJobTest, EventsFireInOrderAcrossAThreePassJobWithTheComponentAsSender) {
  PassesWin& win = *win_;
  QStringList fired;
  const auto record = [&fired, &win](const char* name) {
    return [&fired, &win, name](QObject* sender) {
      fired.append(QString::fromLatin1(name));
      EXPECT_EQ(sender, &win) << name;
    };
  };
  win.OnBeforePrint = record("BeforePrint");
  win.OnPrintHeader = record("Header");
  win.OnBeforePrintControl = record("Control");
  win.OnAfterPrintControl = record("AfterControl");
  win.OnNewPage = record("NewPage");
  win.OnPrintPage = record("Page");
  win.OnPrintFooter = record("Footer");
  win.OnAfterPrint = record("AfterPrint");
  win.OnPrint = record("Print");
  win.OnNewColumn = record("NewColumn");

  win.Passes = 3;
  win.StartJob();
  win.PrintControlPages(Panel(QRect(0, 0, 96, 48), clBlack), 1.0, 1.0);
  EXPECT_EQ(win.CurrentPage, 3);
  win.FinishJob();

  const QStringList pageBreak{"NewPage", "Page", "Footer", "Header"};
  QStringList expected{"BeforePrint", "Header"};
  expected << "Header"
           << "Control" << pageBreak << "Header"
           << "Control" << pageBreak << "Header"
           << "Control"
           << "NewPage"
           << "AfterPrint";
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(PdfReader(PdfFile()).PageCount(), 3);
  EXPECT_TRUE(PageFilesLeft().isEmpty());
}

// A page range chosen in the print dialog prints those pages; one that holds none of them prints nothing and
// says so, rather than leaving the user waiting for paper.
TEST_F(PrintJobTest, APageRangeThatSelectsNoPageSaysSoAndPrintsNothing) {
  const struct {
    const char* Range;
    int Printed;
    QStringList Messages;
  } cases[] = {
      {"2-3", 2, {}},
      {"5-7",
       0,
       {QStringLiteral("The page range \"5-7\" selects none of the 3 pages; nothing was printed.")}}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.Range);
    QFile::remove(PdfFile());
    TPrintJobOptions options;
    options.PageRanges = QString::fromLatin1(test.Range);
    Printer().SetJobOptions(options);
    MessageRecorder messages;
    PrintPages(3);
    EXPECT_EQ(win_->PagesPrinted, test.Printed);
    EXPECT_EQ(messages.Texts(), test.Messages);
    EXPECT_EQ(QFile::exists(PdfFile()), test.Printed > 0);
  }
  Printer().SetJobOptions(TPrintJobOptions());
}

// A program printing where no one sees windows (a script on the offscreen platform) gets its print without
// a status dialog, neither while the pages are recorded nor while they go out, and Qt has nothing to say.
TEST_F(PrintJobTest, WhereNoOneSeesWindowsAJobBuildsNoStatusDialog) {
  win_->ShowCancelDialog = true;
  static QStringList warnings;
  warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& message) { warnings << message; });
  bool dialogSeen = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&dialogSeen] { dialogSeen = dialogSeen || PrintDialog1; });
  probe.start(0);
  win_->OnNewPage = [&dialogSeen](QObject*) { dialogSeen = dialogSeen || PrintDialog1; };
  PrintPages(3);
  probe.stop();
  qInstallMessageHandler(previous);
  EXPECT_FALSE(dialogSeen);
  EXPECT_EQ(PdfReader(PdfFile()).PageCount(), 3);
  EXPECT_EQ(warnings, QStringList());
}

TEST_F(PrintJobTest, TheBaseRendererMakesOnePageAndAnInvisibleControlPrintsNothing) {
  int controlEvents = 0;
  int newPages = 0;
  win_->OnBeforePrintControl = [&controlEvents](QObject*) { ++controlEvents; };
  win_->OnNewPage = [&newPages](QObject*) { ++newPages; };
  TPanel* panel = Panel(QRect(0, 0, 96, 96), clBlack);
  for (const bool visible : {false, true}) {
    panel->SetVisible(visible);
    win_->StartJob();
    win_->PrintControlPages(panel, 1.0, 1.0);
    win_->FinishJob();
    const PdfReader pdf(PdfFile());
    ASSERT_EQ(pdf.PageCount(), 1);
    const QImage page = pdf.Render(0, Dpi);
    EXPECT_EQ(page.pixelColor(Dpi + Dpi / 2, Dpi + Dpi / 2), visible ? QColor(Qt::black) : QColor(Qt::white));
    EXPECT_EQ(controlEvents, visible ? 1 : 0);
  }
  EXPECT_EQ(newPages, 2) << "one at the end of each job's only pass";
}

TEST_F(PrintJobTest, TheJobReplacesFooterTopAndLineSpacingInEitherUnit) {
  TPanel* panel = Panel(QRect(0, 0, 10, 10), clBlack);
  const int height = Printer().PageHeight();
  for (const TUnits units : {poInches, poCentimetres}) {
    win_->Units = units;
    win_->FooterTop = 7.777;
    win_->LineSpacing = 1.0;
    win_->StartJob();
    win_->PrintControlAt(panel, 0.5, 0.5);
    win_->FinishJob();
    const double perInch = units == poCentimetres ? 2.54 : 1.0;
    const double expected = std::round((height - height / 20) * perInch / Dpi * 100) / 100;
    EXPECT_DOUBLE_EQ(win_->FooterTop, expected) << "units " << units;
    EXPECT_DOUBLE_EQ(win_->LineSpacing, Dpi / 96.0);
    EXPECT_DOUBLE_EQ(win_->ScaleX, Dpi / 96.0);
  }
  SetUnits(false);
}

TEST_F(PrintJobTest, WithoutAPrinterTheJobSaysSoOnceAndNothingLaterTouchesADevice) {
  Printer().SetPrinters({});
  const WindowsSeen seen;
  win_->ShowCancelDialog = true;
  int events = 0;
  win_->OnBeforePrint = win_->OnAfterPrint = win_->OnNewPage = [&events](QObject*) { ++events; };
  TPanel* panel = Panel(QRect(0, 0, 10, 10), clBlack);
  MessageRecorder messages;
  win_->StartJob();
  win_->PrintControlAt(panel, 1, 1);
  win_->PrintControlPages(panel, 1, 1);
  win_->FinishJob();
  EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Error: No Printer Available")});
  EXPECT_EQ(win_->PageDevice(), nullptr);
  EXPECT_EQ(PrintDialog1, nullptr) << "the status dialog went with the job";
  EXPECT_EQ(events, 0);
  EXPECT_FALSE(QFile::exists(PdfFile()));
}

TEST_F(PrintJobTest, AbortInTheStatusDialogPrintsNothingAndLeavesNoPageFiles) {
  const WindowsSeen seen;
  win_->ShowCancelDialog = true;
  win_->Copies = 2;
  TPanel* panel = Panel(QRect(0, 0, 96, 96), clBlack);
  win_->StartJob();
  ASSERT_NE(PrintDialog1, nullptr);
  EXPECT_EQ(PrintDialog1->Page->text(), QStringLiteral("1"));
  PrintDialog1->CancelBtn->click();
  win_->PrintControlAt(panel, 1, 1);
  win_->FinishJob();
  EXPECT_TRUE(win_->Cancelled);
  EXPECT_EQ(PrintDialog1, nullptr);
  EXPECT_FALSE(QFile::exists(PdfFile()));
  EXPECT_TRUE(PageFilesLeft().isEmpty());
}

TEST_F(PrintJobTest, AViewerJobOpensThePreviewModallyAndItsPagesGoWhenItCloses) {
  win_->OutputTo = poViewer;
  TPanel* panel = Panel(QRect(0, 0, 96, 96), clBlack);
  int shown = 0;
  QString pages;
  const ModalObserverScope answer([&](QWidget& window) {
    auto* preview = qobject_cast<TQV_Prev*>(&window);
    ASSERT_NE(preview, nullptr) << "only the preview is shown";
    ++shown;
    EXPECT_TRUE(preview->isModal() || preview->windowModality() == Qt::ApplicationModal);
    EXPECT_EQ(QV_Prev, preview) << "the program-wide reference is the open preview";
    pages = preview->PageTot->Text();
    EXPECT_EQ(PageFilesLeft(), QStringList{QStringLiteral("PRN001.EMF")})
        << "the preview reads the job's page";
    preview->CloseButton->click();
  });
  win_->StartJob();
  win_->PrintControlAt(panel, 1, 1);
  win_->FinishJob();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(pages, QStringLiteral("1"));
  EXPECT_FALSE(win_->Cancelled);
  EXPECT_EQ(QV_Prev, nullptr);
  EXPECT_FALSE(QFile::exists(PdfFile())) << "closing the preview prints nothing";
  EXPECT_TRUE(PageFilesLeft().isEmpty());
}

}  // namespace

namespace {

class FontSelectingWin : public PassesWin {
public:
  using TPrintWin::SelectControlFont;
};

TEST_F(PrintJobTest, ControlFontsGoToThePrinterInPointsAndSansSerifFacesPrintAsArial) {
  struct Case {
    const char* name;
    bool fix;
    const char* printed;
  };
  for (const Case& test :
       {Case{"MS Sans Serif", true, "Arial"}, Case{"System", true, "Arial"},
        Case{"MS Sans Serif", false, "MS Sans Serif"}, Case{"ms sans serif", true, "ms sans serif"},
        Case{"Courier New", true, "Courier New"}}) {
    FontSelectingWin win;
    win.FixSansSerif = test.fix;
    win.ShowCancelDialog = false;
    win.OutputTo = poPrinter;
    win.StartJob();
    TFont font =
        MakeFont(QString::fromLatin1(test.name), -13, fsBold | fsUnderline);  // 10 points on the screen
    win.SelectControlFont(font);
    EXPECT_EQ(font.Name(), QString::fromLatin1(test.printed)) << "the control's own font is renamed";
    EXPECT_EQ(win.PageDevice()->FontName(), QString::fromLatin1(test.printed));
    EXPECT_EQ(win.PageDevice()->FontHeight(), std::lround(10 * Dpi / 72.0));
    EXPECT_TRUE(win.PageDevice()->Bold() && win.PageDevice()->Underline() && !win.PageDevice()->Italic());
    win.FinishJob();
  }
}

}  // namespace
