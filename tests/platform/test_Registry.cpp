#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

/** The bytes of a text literal, zero bytes inside it included. */
template <std::size_t Size>
QByteArray Bytes(const char (&text)[Size]) {
  return QByteArray(text, static_cast<qsizetype>(Size - 1));
}

QByteArray ContentOf(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/** The message of the Exception the action fails with, or an empty text when it does not fail. */
QString ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return QString();
}

class RegIniFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    name_ = QStringLiteral("RegistryTest-%1.Ini").arg(::testing::UnitTest::GetInstance()->random_seed());
    name_ += QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    QFile::remove(TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + name_);
  }
  void TearDown() override { QFile::remove(TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + name_); }
  QString name_;
};

TEST_F(RegIniFileTest, OpeningCreatesTheStoreEvenWhenOnlyReading) {
  const TRegIniFile store(name_);
  EXPECT_TRUE(QFileInfo::exists(store.FileName()));
  EXPECT_EQ(store.ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("2400")),
            QStringLiteral("2400"));
}

TEST_F(RegIniFileTest, ValuesSurviveReopeningWithTheirExactText) {
  const QString awkward = QStringLiteral("  a, b; c = \"d\" [e] \\ f/g #h  ");
  {
    TRegIniFile store(name_);
    store.WriteString(QStringLiteral("Printer"), QStringLiteral("Preview Heading"), awkward);
    store.WriteString(QStringLiteral("Printer"), QStringLiteral("Directory"), QStringLiteral("/home/x/a b"));
    store.WriteString(QStringLiteral("Other"), QStringLiteral("Key/With/Slashes"), QStringLiteral("1"));
  }
  const TRegIniFile reopened(name_);
  EXPECT_EQ(reopened.ReadString(QStringLiteral("Printer"), QStringLiteral("Preview Heading"), QString()),
            awkward);
  EXPECT_EQ(reopened.ReadString(QStringLiteral("Printer"), QStringLiteral("Directory"), QString()),
            QStringLiteral("/home/x/a b"));
  EXPECT_EQ(reopened.ReadString(QStringLiteral("Other"), QStringLiteral("Key/With/Slashes"), QString()),
            QStringLiteral("1"));
  EXPECT_EQ(reopened.ReadString(QStringLiteral("Missing"), QStringLiteral("Directory"), QStringLiteral("d")),
            QStringLiteral("d"));
}

TEST_F(RegIniFileTest, ChangesMadeByAnotherProgramAreSeenAtTheNextRead) {
  TRegIniFile store(name_);
  store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("100"));
  QFile file(store.FileName());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("[Printer]\nPageWidth=2550\nPageHeight=3300 and more\n");
  file.close();
  const TRegIniFile again(name_);
  EXPECT_EQ(again.ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QString()),
            QStringLiteral("2550"));
  EXPECT_EQ(again.ReadString(QStringLiteral("Printer"), QStringLiteral("PageHeight"), QString()),
            QStringLiteral("3300 and more"));
}

TEST_F(RegIniFileTest, ACorruptedFileGivesDefaultsAndKeepsItsBytesWhenWritten) {
  const QByteArray garbage =
      QByteArray("\x00\xff[[[Printer\n=\n\xfe\xfePageWidth", 27) + QByteArray(4096, '\x01');
  {
    TRegIniFile store(name_);
    QFile file(store.FileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(garbage);
  }
  TRegIniFile store(name_);
  EXPECT_EQ(store.ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("2400")),
            QStringLiteral("2400"));
  store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("2550"));
  EXPECT_EQ(TRegIniFile(name_).ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QString()),
            QStringLiteral("2550"));
  // The unreadable bytes stay in the store itself, zero byte and all; nothing is set aside or thrown away.
  EXPECT_TRUE(ContentOf(store.FileName()).startsWith(garbage + "\n"));
  EXPECT_FALSE(QFileInfo::exists(store.FileName() + QStringLiteral(".unreadable")));
}

TEST_F(RegIniFileTest, AFolderInPlaceOfTheStoreIsRefusedByReadAndWriteWithTheFileName) {
  // A folder where the file should be cannot be written, whatever the rights of the user running the test.
  const QString path = TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + name_;
  ASSERT_TRUE(QDir().mkpath(path));
  TRegIniFile store(name_);
  EXPECT_TRUE(ErrorOf([&] {
                store.ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), "d");
              }).contains(store.FileName()));
  EXPECT_TRUE(ErrorOf([&] {
                store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), "1");
              }).contains(store.FileName()));
  EXPECT_TRUE(QFileInfo(path).isDir());
  QDir(path).removeRecursively();
}

// A store someone edited by hand: comments (also indented and after the last entry), words on no entry at
// all, an unclosed bracket, a line with nothing before "=", an identifier given twice, text after a section's
// closing bracket, blanks around "=", a zero byte and another program's section.
const QByteArray HandEdited = Bytes(
    "; Settings of the print library\n"
    "# kept by hand\n"
    "\n"
    "[Printer]\n"
    "; the height of the last job\n"
    "PageHeight=3300\n"
    "this line is no entry\n"
    "Orientation = Portrait\n"
    "  ; indented note\n"
    "[unclosed\n"
    "=value without a name\n"
    "Custom=mine\n"
    "Custom=second\n"
    "\n"
    "[Other Program] trailing words\n"
    "Colour=red\n"
    "zero\0byte\n"
    "; the end of the file\n");

TEST_F(RegIniFileTest, AWriteKeepsEveryOtherByteOfAHandEditedStoreAndTheOrderOfItsIdentifiers) {
  TRegIniFile store(name_);
  {
    QFile file(store.FileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(HandEdited), HandEdited.size());
  }
  EXPECT_EQ(store.ReadString(QStringLiteral("Printer"), QStringLiteral("Orientation"), QString()),
            QStringLiteral("Portrait"));
  EXPECT_EQ(store.ReadString(QStringLiteral("Printer"), QStringLiteral("Custom"), QString()),
            QStringLiteral("mine"))
      << "of an identifier given twice, the first counts";
  EXPECT_EQ(store.ReadString(QStringLiteral("Other Program"), QStringLiteral("Colour"), QString()),
            QStringLiteral("red"));

  store.WriteStrings(QStringLiteral("Printer"),
                     {{QStringLiteral("PageWidth"), QStringLiteral("2550")},
                      {QStringLiteral("PageHeight"), QStringLiteral("3508")},
                      {QStringLiteral("View Background"), QStringLiteral("1234")}});
  const QByteArray written = ContentOf(store.FileName());
  // Only the line of the value that changed is new, the new identifiers follow the section's last entry,
  // and every other byte stays: spacing, the words after a bracket, the zero byte.
  EXPECT_EQ(written, Bytes("; Settings of the print library\n"
                           "# kept by hand\n"
                           "\n"
                           "[Printer]\n"
                           "; the height of the last job\n"
                           "PageHeight=3508\n"
                           "this line is no entry\n"
                           "Orientation = Portrait\n"
                           "  ; indented note\n"
                           "[unclosed\n"
                           "=value without a name\n"
                           "Custom=mine\n"
                           "Custom=second\n"
                           "PageWidth=2550\n"
                           "View Background=1234\n"
                           "\n"
                           "[Other Program] trailing words\n"
                           "Colour=red\n"
                           "zero\0byte\n"
                           "; the end of the file\n"));
  store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("2550"));
  EXPECT_EQ(ContentOf(store.FileName()), written) << "a second write of the same values changes nothing";
}

TEST_F(RegIniFileTest, AStoreThatIsNoPlainFileOrTooLargeIsRefusedAndLeftAsItWas) {
  const QString path = TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + name_;
  const QByteArray large =
      "[Printer]\nPageWidth=1\n; " + QByteArray(TRegIniFile::MaximumFileSize, 'x') + "\n";
  struct Case {
    const char* what;
    std::function<void()> make;
  };
  const std::vector<Case> cases = {
      {"a pipe", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }},
      {"a link to /dev/zero", [&] { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path)); }},
      {"a file over the limit",
       [&] {
         QFile file(path);
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         file.write(large);
       }},
  };
  for (const Case& refused : cases) {
    SCOPED_TRACE(refused.what);
    refused.make();
    TRegIniFile store(name_);
    const QString readError =
        ErrorOf([&] { store.ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), "d"); });
    EXPECT_TRUE(readError.contains(QStringLiteral("\"%1\"").arg(path))) << readError.toStdString();
    const QString writeError =
        ErrorOf([&] { store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), "2"); });
    EXPECT_EQ(writeError, readError);
    const QFileInfo after(path);
    if (after.isSymLink())
      EXPECT_EQ(after.symLinkTarget(), QStringLiteral("/dev/zero"));
    else if (after.size() > 0)
      EXPECT_EQ(ContentOf(path), large);
    else
      EXPECT_FALSE(after.isFile()) << "the pipe is still a pipe";
    QFile::remove(path);
  }
}

TEST_F(RegIniFileTest, AStoreOfExactlyTheLimitIsStillUsed) {
  const QString path = TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + name_;
  QByteArray content = "[Printer]\nPageWidth=1\n; ";
  content += QByteArray(TRegIniFile::MaximumFileSize - content.size() - 1, 'x') + "\n";
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
  file.close();
  EXPECT_EQ(TRegIniFile(name_).ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), "d"),
            QStringLiteral("1"));
}

TEST_F(RegIniFileTest, ASymbolicLinkInPlaceOfTheStoreStaysAndTheFileItNamesIsWritten) {
  ScratchDirectory elsewhere;
  const QString target = elsewhere.File(QStringLiteral("kept.ini"));
  {
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; mine\n[Printer]\nPageWidth=1\n");
  }
  QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const QString path = TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + name_;
  ASSERT_TRUE(QFile::link(target, path));
  TRegIniFile store(name_);
  store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("2"));
  EXPECT_EQ(QFileInfo(path).symLinkTarget(), target);
  EXPECT_EQ(ContentOf(target), QByteArray("; mine\n[Printer]\nPageWidth=2\n"));
  EXPECT_EQ(QFile::permissions(target), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser);
}

// Layouts a plain rewrite would change the meaning of: repeated sections and identifiers with comments
// between them, words after a closing bracket that look like an entry or a section, a byte order mark that
// starts a value, line breaks of another system.
TEST_F(RegIniFileTest, AWriteChangesTheMeaningOfNothingElseWhateverTheLayout) {
  const struct {
    const char* before;
    const char* section;
    const char* ident;
    const char* value;
    const char* after;
  } cases[] = {
      {"[Printer]\nPageHeight=2\n; second\n[Printer]\nPrinterName=x\n", "Printer", "PrinterName", "y",
       "[Printer]\nPageHeight=2\n; second\n[Printer]\nPrinterName=y\n"},
      {"[P]\nH=1\n; about the second\nH=2\n", "P", "H", "3", "[P]\nH=3\n; about the second\nH=2\n"},
      {"[Printer]View Background=old\nPageHeight=3\n", "Printer", "View Background", "1",
       "[Printer]View Background=old\nPageHeight=3\nView Background=1\n"},
      {"[A][B]\nx=1", "Other", "y", "2", "[A][B]\nx=1\n\n[Other]\ny=2\n"},
      {"[Printer]\nx=1\n", "printer", "x", "2", "[Printer]\nx=1\n\n[printer]\nx=2\n"},
      {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "y", "\xEF\xBB\xBFint",
       "\xEF\xBB\xBF[A]\r\nx=1\r\ny=\xEF\xBB\xBFint\r\n"},
  };
  // A plain UTF-8 decode would take the byte order mark off the value's start.
  const auto text = [](const char* utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return QString(decoder.decode(QByteArrayView(utf8)));
  };
  TRegIniFile store(name_);
  for (const auto& example : cases) {
    SCOPED_TRACE(example.before);
    {
      QFile file(store.FileName());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(example.before);
    }
    const QString x = store.ReadString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("none"));
    store.WriteString(QString::fromUtf8(example.section), QString::fromUtf8(example.ident),
                      text(example.value));
    EXPECT_EQ(ContentOf(store.FileName()), QByteArray(example.after));
    EXPECT_EQ(
        store.ReadString(QString::fromUtf8(example.section), QString::fromUtf8(example.ident), QString()),
        text(example.value));
    EXPECT_EQ(store.ReadString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("none")), x);
  }
}

TEST_F(RegIniFileTest, AValueWithALineBreakIsRefusedBeforeAnythingIsWritten) {
  TRegIniFile store(name_);
  store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("1"));
  const QByteArray before = ContentOf(store.FileName());
  for (const QString& value : {QStringLiteral("a\n[Injected]\nx=1"), QStringLiteral("a\rb"),
                               QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")}) {
    const QString error = ErrorOf([&] {
      store.WriteStrings(QStringLiteral("Printer"), {{QStringLiteral("PageHeight"), QStringLiteral("2")},
                                                     {QStringLiteral("Heading"), value}});
    });
    EXPECT_TRUE(error.contains(store.FileName())) << error.toStdString();
    EXPECT_EQ(ContentOf(store.FileName()), before);
  }
  EXPECT_FALSE(
      ErrorOf([&] { store.WriteString(QStringLiteral("Bad]"), QStringLiteral("x"), "1"); }).isEmpty());
  EXPECT_FALSE(
      ErrorOf([&] { store.WriteString(QStringLiteral("Printer"), QStringLiteral("a=b"), "1"); }).isEmpty());
  EXPECT_EQ(ContentOf(store.FileName()), before);
}

}  // namespace
