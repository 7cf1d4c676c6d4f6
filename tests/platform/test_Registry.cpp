#include "platform/Registry.h"
#include "platform/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

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

TEST_F(RegIniFileTest, ACorruptedFileGivesDefaultsAndCanBeWrittenAgain) {
  {
    TRegIniFile store(name_);
    QFile file(store.FileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray("\x00\xff[[[Printer\n=\n\xfe\xfePageWidth", 27));
    file.write(QByteArray(4096, '\x01'));
    file.close();
  }
  TRegIniFile store(name_);
  EXPECT_EQ(store.ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("2400")),
            QStringLiteral("2400"));
  store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("2550"));
  EXPECT_EQ(TRegIniFile(name_).ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QString()),
            QStringLiteral("2550"));
  // The unreadable bytes are kept for the user, not thrown away.
  QFile kept(store.FileName() + QStringLiteral(".unreadable"));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.size(), 27 + 4096);
  kept.close();
  kept.remove();
}

TEST_F(RegIniFileTest, AStoreThatCannotBeWrittenFailsWithTheFileName) {
  // A folder where the file should be cannot be written, whatever the rights of the user running the test.
  const QString path = TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + name_;
  ASSERT_TRUE(QDir().mkpath(path));
  TRegIniFile store(name_);
  EXPECT_EQ(store.ReadString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("d")),
            QStringLiteral("d"));
  try {
    store.WriteString(QStringLiteral("Printer"), QStringLiteral("PageWidth"), QStringLiteral("1"));
    ADD_FAILURE() << "the write was reported as done";
  } catch (const Exception& error) {
    EXPECT_TRUE(error.Message().contains(store.FileName()));
  }
  QDir(path).removeRecursively();
}

}  // namespace
