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
  const QString text = QString::fromUtf8(file.readAll());
  const QStringList order = {
      QStringLiteral("PageHeight"),        QStringLiteral("PageWidth"),         QStringLiteral("Orientation"),
      QStringLiteral("View%20Background"), QStringLiteral("Preview%20Heading"), QStringLiteral("PrinterName"),
      QStringLiteral("PrinterIndex"),      QStringLiteral("ZoomFactor"),        QStringLiteral("Directory")};
  for (const QString& ident : order) {
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("(^|\\n)") + ident + QStringLiteral("="))))
        << ident.toStdString() << " is stored as its own identifier";
  }
  EXPECT_TRUE(text.startsWith(QStringLiteral("[Printer]")));
}

TEST_F(PagewickIniTest, ALowerCaseOrientationMeansLandscape) {
  PagewickIni::WriteString(QStringLiteral("Orientation"), QStringLiteral("portrait"));
  EXPECT_FALSE(PagewickIni::IsPortrait());
}

TEST_F(PagewickIniTest, NonNumericValuesFailWithTheConversionMessage) {
  WriteRaw("[Printer]\nPageHeight=tall\nPageWidth=\"12 \"\nView%20Background=\nPrinterIndex=1.0\n");
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

TEST_F(PagewickIniTest, ACorruptedStoreIsSurvivedAndRewrittenByTheNextJob) {
  WriteRaw(QByteArray("\xff\xfe\x00[Printer\nPageWidth\n==\x01\x02", 22));
  EXPECT_EQ(PagewickIni::PageWidth(), 2400);
  PagewickIni::JobSettings job;
  job.PageWidth = 2480;
  job.PageHeight = 3508;
  PagewickIni::WriteJob(job);
  EXPECT_EQ(PagewickIni::PageWidth(), 2480);
  EXPECT_EQ(PagewickIni::PageHeight(), 3508);
  EXPECT_TRUE(QFile::remove(StorePath() + QStringLiteral(".unreadable")));
}

}  // namespace
