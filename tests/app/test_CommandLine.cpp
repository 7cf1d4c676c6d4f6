#include "app/CommandLine.h"
#include "platform/Application.h"
#include "platform/Printers.h"
#include "print/device/QV_PageFiles.h"
#include "tests/support/PdfReader.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WriterComparison.h"

#include <QDir>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <gtest/gtest.h>

namespace {
TCommandOutput RunWith(const QStringList& arguments) {
  return RunConsoleCommand(ParseCommandLine(arguments));
}

// Sets or clears an environment variable for one scope and puts the old value back.
class EnvironmentVariable {
public:
  EnvironmentVariable(const char* name, const char* value)
      : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    value != nullptr ? qputenv(name, value) : qunsetenv(name);
  }
  ~EnvironmentVariable() { wasSet_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
  const char* name_;
  bool wasSet_;
  QByteArray old_;
};
}  // namespace

TEST(CommandLine, TotalPrintsTheTotalThenEachLineOfTheReading) {
  const TCommandOutput output = RunWith({QStringLiteral("--total"), QStringLiteral("Hui")});
  EXPECT_EQ(output.ExitCode, 0);
  EXPECT_EQ(output.Out, QStringLiteral("909\n900. VALIANT, WARRIOR, CROSS, DECORATIONS\n"
                                       "  9. IMPERFECTIONS, PAIN, SORROW, MURDER ATTEMPT\n"));
  EXPECT_TRUE(output.Error.isEmpty());
  EXPECT_EQ(RunWith({QStringLiteral("--total=")}).Out, QStringLiteral("0\n"));
  EXPECT_EQ(RunWith({QStringLiteral("--total=Jos\u00E9")}).Out.section(QLatin1Char('\n'), 0, 0),
            QStringLiteral("740"));
  EXPECT_EQ(RunWith({QStringLiteral("--total"), QStringLiteral("-123-")}).Out, QStringLiteral("0\n"))
      << "a value may start with a dash";
}

TEST(CommandLine, TotalCutsTheTextTo35CharactersAsTheEntryDoes) {
  EXPECT_EQ(RunWith({QStringLiteral("--total"), QString(36, QLatin1Char('V'))})
                .Out.section(QLatin1Char('\n'), 0, 0),
            QStringLiteral("24500"));
  const QString face = QStringLiteral("\U0001F600");  // one character, two UTF-16 units
  const QString text = QString(34, QLatin1Char('A')) + face;
  EXPECT_EQ(CutToEntryLength(text), QString(34, QLatin1Char('A'))) << "a surrogate pair is not split";
  EXPECT_EQ(CutToEntryLength(QStringLiteral("short")), QStringLiteral("short"));
}

TEST(CommandLine, HelpVersionAndMistakes) {
  EXPECT_EQ(ParseCommandLine({}).Action, TCommandAction::OpenWindow);
  const TCommandOutput help =
      RunWith({QStringLiteral("--entry"), QStringLiteral("x"), QStringLiteral("--help")});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_TRUE(help.Out.contains(QLatin1String("--total TEXT")));
  const TCommandOutput version = RunWith({QStringLiteral("--version")});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_TRUE(version.Out.startsWith(QLatin1String("Quenary Oracle 1.")));

  const QList<QStringList> mistakes = {
      {QStringLiteral("--bogus")},
      {QStringLiteral("Ada")},
      {QStringLiteral("--total")},
      {QStringLiteral("--total"), QStringLiteral("x"), QStringLiteral("--entry"), QStringLiteral("y")},
      {QStringLiteral("--screenshot")}};
  for (const QStringList& arguments : mistakes) {
    const TCommandOutput output = RunWith(arguments);
    EXPECT_EQ(output.ExitCode, ExitUsage) << arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(output.Out.isEmpty());
    EXPECT_TRUE(output.Error.contains(QLatin1String("Usage:")));
  }
  EXPECT_TRUE(RunWith({QStringLiteral("--bogus")}).Error.contains(QLatin1String("--bogus")));
}

// What the user typed is shown back, but nothing in it reaches the terminal as a command: an escape
// sequence in an unknown option would otherwise recolour or retitle the terminal.
TEST(CommandLine, MistakesAreEchoedWithTheirControlCharactersEscaped) {
  const QString hostile = QStringLiteral("--x\x1b[31mred\x1b]0;title\x07\r\nnext\u202Eevil\u0085");
  const QString error = RunWith({hostile}).Error;
  EXPECT_TRUE(error.startsWith(QStringLiteral(
      "quenary: unknown option \"--x\\x1b[31mred\\x1b]0;title\\x07\\r\\nnext\\u202eevil\\x85\"\n")))
      << error.toStdString();
  for (const QChar character : error.section(QLatin1String("\n\n"), 0, 0)) {
    EXPECT_FALSE(character.category() == QChar::Other_Control || character == QChar(0x202E))
        << "U+" << std::hex << character.unicode();
  }
  EXPECT_TRUE(RunWith({QStringLiteral("plain\ttab")}).Error.contains(QLatin1String("\"plain\\ttab\"")));
  EXPECT_EQ(EscapedForTerminal(QStringLiteral("Jos\u00E9 \"a\\b\" \U0001F600")),
            QStringLiteral("Jos\u00E9 \\\"a\\\\b\\\" \U0001F600"))
      << "letters of any script stay; quote and backslash are escaped so the echo reads back unambiguously";
}

TEST(CommandLine, OffscreenOnlyWithoutDisplayOrChosenPlatform) {
  {
    EnvironmentVariable display("DISPLAY", nullptr);
    EnvironmentVariable wayland("WAYLAND_DISPLAY", nullptr);
    EnvironmentVariable platform("QT_QPA_PLATFORM", nullptr);
    UseOffscreenWithoutDisplay();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("offscreen"));
  }
  {
    EnvironmentVariable display("DISPLAY", ":7");
    EnvironmentVariable platform("QT_QPA_PLATFORM", nullptr);
    UseOffscreenWithoutDisplay();
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
  }
  {
    EnvironmentVariable display("DISPLAY", nullptr);
    EnvironmentVariable wayland("WAYLAND_DISPLAY", nullptr);
    EnvironmentVariable platform("QT_QPA_PLATFORM", "minimal");
    UseOffscreenWithoutDisplay();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("minimal"));
  }
}

TEST(CommandLine, ScreenshotsShowEachWindowAtItsSize) {
  ScratchDirectory scratch;
  const QString main = scratch.File(QStringLiteral("main.png"));
  const QString links = scratch.File(QStringLiteral("links.png"));
  const QString help = scratch.File(QStringLiteral("help.png"));
  const TCommandLine command = ParseCommandLine(
      {QStringLiteral("--entry"), QStringLiteral("Quenary Oracle"), QStringLiteral("--screenshot"), main,
       QStringLiteral("--screenshot-links"), links, QStringLiteral("--screenshot-help"), help});
  ASSERT_EQ(command.Action, TCommandAction::Screenshot);
  EXPECT_EQ(RunWindowCommand(command), 0);
  const QImage mainPicture(main);
  EXPECT_EQ(mainPicture.size(), QSize(514, 232));
  EXPECT_EQ(QImage(links).size(), QSize(370, 372));
  EXPECT_EQ(QImage(help).size(), QSize(640, 520));
  Application().DestroyHelpViewer();
  // The stone shows along the top edge: many light grey shades, where a missing picture leaves one colour.
  QSet<QRgb> shades;
  for (int x = 0; x < mainPicture.width(); ++x) {
    const QColor pixel = mainPicture.pixelColor(x, 2);
    EXPECT_GT(pixel.lightness(), 110) << x;
    shades.insert(pixel.rgb());
  }
  EXPECT_GT(shades.size(), 20);

  const TCommandLine unwritable = ParseCommandLine(
      {QStringLiteral("--screenshot"), scratch.File(QStringLiteral("missing/folder/main.png"))});
  EXPECT_EQ(RunWindowCommand(unwritable), ExitFailure);
}

TEST(CommandLine, PrintTakesOneDestinationTheDialogsChoicesAndAResolutionOnlyForPdf) {
  const TCommandLine pdf = ParseCommandLine(
      {QStringLiteral("--print"), QStringLiteral("Ada"), QStringLiteral("--pdf"), QStringLiteral("out.pdf")});
  EXPECT_EQ(pdf.Action, TCommandAction::PrintReport);
  EXPECT_EQ(pdf.Print.PdfFile, QDir::current().absoluteFilePath(QStringLiteral("out.pdf")))
      << "relative to the start folder";
  EXPECT_EQ(pdf.Print.Dpi, 600);
  EXPECT_EQ(ParseCommandLine({"--print", "Ada", "--pdf", "/tmp/a.pdf", "--dpi", "150"}).Print.Dpi, 150);
  EXPECT_TRUE(ParseCommandLine({"--print", "Ada", "--pdf", "/tmp/a.pdf", "--pdf-a"}).Print.PdfA);
  EXPECT_TRUE(ParseCommandLine({"--print", "Ada", "--pdf", "/tmp/a.pdf", "--untagged"}).Print.Untagged);
  EXPECT_EQ(ParseCommandLine({"--print=Ada", "--printer", "Office"}).Print.PrinterName,
            QStringLiteral("Office"));
  const TPrintOptions chosen =
      ParseCommandLine({"--print", "Ada", "--pdf", "a.pdf", "--copies", "3", "--collate", "--duplex", "short",
                        "--paper", "Legal", "--landscape"})
          .Print;
  EXPECT_EQ(chosen.Copies, 3);
  EXPECT_TRUE(chosen.Collate && chosen.Landscape);
  EXPECT_EQ(chosen.Duplex, TDuplex::ShortEdge);
  EXPECT_EQ(chosen.Paper, QStringLiteral("Legal"));

  const QList<QStringList> mistakes = {{"--print", "Ada"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--printer", "Office"},
                                       {"--pdf", "a.pdf"},
                                       {"--print", "Ada", "--printer", "Office", "--dpi", "300"},
                                       {"--print", "Ada", "--printer", "Office", "--pdf-a"},
                                       {"--print", "Ada", "--printer", "Office", "--untagged"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--dpi", "300x"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--dpi", "71"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--dpi", "99999999999"},
                                       {"--print", "Ada", "--pdf="},
                                       {"--total", "Ada", "--pdf", "a.pdf"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--entry", "Bo"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--copies", "0"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--duplex", "sideways"},
                                       {"--print", "Ada", "--pdf", "a.pdf", "--paper", "B5"},
                                       {"--preview", "Ada", "--landscape"},
                                       {"--copies", "2"}};
  for (const QStringList& arguments : mistakes) {
    const TCommandOutput output = RunWith(arguments);
    EXPECT_EQ(output.ExitCode, ExitUsage) << arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(output.Error.contains(QLatin1String("Usage:")));
  }
}

TEST(CommandLine, PrintFailuresExitWithoutPageFilesOrAHalfWrittenPdf) {
  ScratchDirectory scratch;
  struct Case {
    QStringList arguments;
    QString file;  // must not exist afterwards
  };
  const Case cases[] = {
      {{"--print", "Ada", "--printer", "No Such Printer"}, QString()},
      {{"--print", "Ada", "--pdf", scratch.File(QStringLiteral("missing/folder/a.pdf"))},
       scratch.File(QStringLiteral("missing/folder/a.pdf"))},
  };
  for (const Case& test : cases) {
    const TCommandLine command = ParseCommandLine(test.arguments);
    ASSERT_EQ(command.Action, TCommandAction::PrintReport);
    EXPECT_EQ(RunWindowCommand(command), ExitFailure) << test.arguments.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(test.file.isEmpty() || !QFile::exists(test.file));
    EXPECT_TRUE(QDir(PageDirectory()).entryList({QStringLiteral("PRN*")}, QDir::Files).isEmpty());
  }
  Printer().RefreshPrinters();

  const QString made = scratch.File(QStringLiteral("made.pdf"));
  EXPECT_EQ(RunWindowCommand(ParseCommandLine({"--print", "Ada", "--pdf", made, "--dpi", "150"})), 0);
  EXPECT_EQ(PdfReader(made).PageCount(), 1);
  EXPECT_FALSE(PdfReader(made).Find(0, QStringLiteral("ADA")).isEmpty());
  Printer().RefreshPrinters();
}

namespace {
// The report printed through the program's PDF writer is the page Qt's writer makes of it (but for the
// footer's time of printing).
TEST(CommandLine, TheReportPrintsAlikeThroughBothPdfWriters) {
  ScratchDirectory scratch;
  const QStringList problems = PrintThroughBothWriters(
      scratch.Path(),
      [](const QString& file) {
        EXPECT_EQ(RunWindowCommand(ParseCommandLine({"--print", "Marie Curie", "--pdf", file})), 0);
      },
      QStringLiteral("^[0-9]{1,2}:[0-9]{2}(:[0-9]{2})?$"));
  EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
  Printer().RefreshPrinters();
}

TEST(CommandLine, PreviewShowsTheReportAtWholePageAndLeavesNoPages) {
  ScratchDirectory scratch;
  const QString picture = scratch.File(QStringLiteral("preview.png"));
  const TCommandLine command = ParseCommandLine(
      {QStringLiteral("--preview"), QStringLiteral("Ada"), QStringLiteral("--screenshot"), picture});
  ASSERT_EQ(command.Action, TCommandAction::PreviewReport);
  Printer().RefreshPrinters();
  Printer().SetPrinterIndex(static_cast<int>(Printer().Printers().indexOf(TPrinter::PdfPrinterName())));
  EXPECT_EQ(RunWindowCommand(command), 0);
  const QImage image(picture);
  ASSERT_FALSE(image.isNull());
  // The preview fills the screen; the sheet stands white in the middle of the stored background colour.
  EXPECT_GT(image.width(), 600);
  EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2).lightness(), 255);
  const QColor around = image.pixelColor(8, image.height() / 2);  // the report's 11234567: 0x07, 0x6C, 0xAB
  EXPECT_NEAR(around.red(), 0x07, 2);
  EXPECT_NEAR(around.green(), 0x6C, 2);
  EXPECT_NEAR(around.blue(), 0xAB, 2);
  EXPECT_TRUE(QDir(PageDirectory()).entryList({QStringLiteral("PRN*")}, QDir::Files).isEmpty());
  EXPECT_EQ(Application().Title(), QStringLiteral("Quenary Oracle"));
  // The program's icon is drawn for the screen's scale: 64 pixels for a 32-pixel icon on a doubled screen.
  const QImage icon = QApplication::windowIcon().pixmap(QSize(32, 32), 2.0).toImage();
  EXPECT_EQ(icon.size(), QSize(64, 64));
  EXPECT_GT(qAlpha(icon.pixel(32, 32)), 200) << "the icon's picture was read";

  for (const QStringList& mistake : QList<QStringList>{{"--preview", "Ada", "--print", "Bo"},
                                                       {"--preview", "Ada", "--pdf", "a.pdf"},
                                                       {"--preview", "Ada", "--entry", "Bo"},
                                                       {"--preview"}}) {
    EXPECT_EQ(RunWith(mistake).ExitCode, ExitUsage) << mistake.join(QLatin1Char(' ')).toStdString();
  }
  Printer().RefreshPrinters();
}
}  // namespace
