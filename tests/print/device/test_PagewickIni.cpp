#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "print/device/PagewickIni.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString StorePath() { return TRegIniFile::ConfigurationFolder() + QStringLiteral("/Pagewick.Ini"); }

class PagewickIniTest : public ::testing::Test {
protected:
  void SetUp() override { QFile::remove(StorePath()); }
  void TearDown() override { QFile::remove(StorePath()); }

  static void WriteRaw(const QByteArray& content) {
    QFile file(StorePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
  }
};

TEST_F(PagewickIniTest, AnEmptyStoreGivesEveryDefault) {
  EXPECT_EQ(PagewickIni::PageHeight(), 3112);
  EXPECT_EQ(PagewickIni::PageWidth(), 2400);
  EXPECT_EQ(PagewickIni::Orientation(), QStringLiteral("Portrait"));
  EXPECT_TRUE(PagewickIni::IsPortrait());
  EXPECT_EQ(PagewickIni::ViewBackground(), 1234);
  EXPECT_EQ(PagewickIni::PreviewHeading(), QStringLiteral("Tarnvale Preview"));
  EXPECT_EQ(PagewickIni::PrinterIndex(), -1);
  EXPECT_EQ(PagewickIni::ZoomFactor(), QStringLiteral("100.0"));
  EXPECT_EQ(PagewickIni::Directory(), QStringLiteral("."));
  EXPECT_TRUE(QFile::exists(StorePath())) << "reading creates the store";
}

TEST_F(PagewickIniTest, AJobRoundTripsAllNineSettingsInOrder) {
  PagewickIni::JobSettings job;
  job.PageHeight = 2550;
  job.PageWidth = 3300;
  job.Landscape = true;
  job.ViewBackground = 0xAB6D07;
  job.PreviewHeading = QStringLiteral("Quillora Viewer");
  job.PrinterName = QStringLiteral("QuenaryPDF");
  job.PrinterIndex = 1;
  job.ZoomFactor = 100.0;
  job.Directory = QStringLiteral("/home/someone/work dir");
  PagewickIni::WriteJob(job);

  EXPECT_EQ(PagewickIni::PageHeight(), 2550);
  EXPECT_EQ(PagewickIni::PageWidth(), 3300);
  EXPECT_EQ(PagewickIni::Orientation(), QStringLiteral("Landscape"));
  EXPECT_FALSE(PagewickIni::IsPortrait());
  EXPECT_EQ(PagewickIni::ViewBackground(), 11234567);
  EXPECT_EQ(PagewickIni::PreviewHeading(), QStringLiteral("Quillora Viewer"));
  EXPECT_EQ(PagewickIni::ReadString(QStringLiteral("PrinterName"), QString()), QStringLiteral("QuenaryPDF"));
  EXPECT_EQ(PagewickIni::PrinterIndex(), 1);
  EXPECT_EQ(PagewickIni::ZoomFactor(), QStringLiteral("100"));
  EXPECT_EQ(PagewickIni::Directory(), QStringLiteral("/home/someone/work dir"));

  QFile file(StorePath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()), QStringLiteral("[Printer]\n"
                                                              "PageHeight=2550\n"
                                                              "PageWidth=3300\n"
                                                              "Orientation=Landscape\n"
                                                              "View Background=11234567\n"
                                                              "Preview Heading=Quillora Viewer\n"
                                                              "PrinterName=QuenaryPDF\n"
                                                              "PrinterIndex=1\n"
                                                              "ZoomFactor=100\n"
                                                              "Directory=/home/someone/work dir\n"))
      << "each identifier as it is named, in the order of the job";
}

TEST_F(PagewickIniTest, ALowerCaseOrientationMeansLandscape) {
  PagewickIni::WriteString(QStringLiteral("Orientation"), QStringLiteral("portrait"));
  EXPECT_FALSE(PagewickIni::IsPortrait());
}

TEST_F(PagewickIniTest, NonNumericValuesFailWithTheConversionMessage) {
  WriteRaw("[Printer]\nPageHeight=tall\nPageWidth=\"12 \"\nView Background=\nPrinterIndex=1.0\n");
  const auto message = [](auto read) -> std::string {
    try {
      read();
    } catch (const EConvertError& error) {
      return error.Message().toStdString();
    }
    return "no error";
  };
  EXPECT_EQ(message([] { return PagewickIni::PageHeight(); }), "'tall' is not a valid integer value");
  EXPECT_EQ(message([] { return PagewickIni::PageWidth(); }), "'12 ' is not a valid integer value");
  EXPECT_EQ(message([] { return PagewickIni::ViewBackground(); }), "'' is not a valid integer value");
  EXPECT_EQ(message([] { return PagewickIni::PrinterIndex(); }), "'1.0' is not a valid integer value");
  // The failing reads left the store as it was.
  EXPECT_EQ(PagewickIni::ReadString(QStringLiteral("PageHeight"), QString()), QStringLiteral("tall"));
}

TEST_F(PagewickIniTest, ACorruptedStoreIsSurvivedAndKeptByTheNextJob) {
  static const char bytes[] = "\xff\xfe\x00[Printer\nPageWidth\n==\x01\x02";
  const QByteArray corrupted(bytes, sizeof bytes - 1);
  WriteRaw(corrupted);
  EXPECT_EQ(PagewickIni::PageWidth(), 2400);
  PagewickIni::JobSettings job;
  job.PageWidth = 2480;
  job.PageHeight = 3508;
  PagewickIni::WriteJob(job);
  EXPECT_EQ(PagewickIni::PageWidth(), 2480);
  EXPECT_EQ(PagewickIni::PageHeight(), 3508);
  QFile file(StorePath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith(corrupted + "\n\n[Printer]\nPageHeight=3508\n"))
      << "the user's bytes stay where they were";
  EXPECT_FALSE(QFile::exists(StorePath() + QStringLiteral(".unreadable")));
}

// The store's numbers are decimal and nothing else, though the framework's everyday conversion would take
// blanks, a sign or hexadecimal.
TEST_F(PagewickIniTest, StoredNumbersAreStrictlyDecimal) {
  for (const char* text :
       {"$960", "0x960", "+5", " 12", "12 ", "2147483648", "-2147483649", "99999999999999999999"}) {
    SCOPED_TRACE(text);
    PagewickIni::WriteString(QStringLiteral("PageHeight"), QString::fromLatin1(text));
    try {
      PagewickIni::PageHeight();
      ADD_FAILURE() << "accepted";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(),
                QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(text)));
    }
  }
  PagewickIni::WriteString(QStringLiteral("PrinterIndex"), QStringLiteral("-1"));
  EXPECT_EQ(PagewickIni::PrinterIndex(), -1);
  PagewickIni::WriteString(QStringLiteral("PageWidth"), QStringLiteral("-2147483648"));
  EXPECT_EQ(PagewickIni::PageWidth(), -2147483647 - 1);
}

}  // namespace
