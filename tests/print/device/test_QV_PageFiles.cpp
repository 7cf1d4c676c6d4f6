#include "print/device/QV_PageFiles.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(PageFiles, NamesCarryAtLeastThreeDigitsAfterOneSeparator) {
  EXPECT_EQ(PageFileNameIn("/t", 7, poPrinter), QStringLiteral("/t/PRN007.EMF"));
  EXPECT_EQ(PageFileNameIn("/t/", 1234, poViewer), QStringLiteral("/t/PRN1234.EMF"));
  EXPECT_EQ(PageFileNameIn("/t", 1, poHTML), QStringLiteral("/t/PRN001.HTM"));
  EXPECT_EQ(PageFileNameIn(QString(), 3, poViewer), QStringLiteral("PRN003.EMF"));
}

TEST(PageFiles, PagesLiveInThePrivateFolderAndDeletingTakesEveryPageOfTheKindOnly) {
  const QDir folder(PageDirectory());
  EXPECT_TRUE(folder.path().startsWith(TestHomeDirectory())) << "not the shared temporary folder";
  EXPECT_EQ(PageFileNameFor(5, poPrinter), folder.filePath("PRN005.EMF"));
  EXPECT_EQ(QFileInfo(folder.path()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);

  const QStringList pages = {"PRN001.EMF", "PRN003.EMF", "PRN1500.EMF"};
  const QStringList others = {"PRN001.HTM",     "PRN01.EMF",  "prn002.emf",
                              "PRN002.EMF.bak", "PRNabc.EMF", "notes.txt"};
  for (const QString& name : pages + others) QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
  DeletePageFiles(poViewer);
  for (const QString& name : pages) EXPECT_FALSE(folder.exists(name)) << name.toStdString();
  for (const QString& name : others) EXPECT_TRUE(folder.exists(name)) << name.toStdString();
  DeletePageFiles(poHTML);
  EXPECT_FALSE(folder.exists("PRN001.HTM"));
  for (const QString& name : others) QFile::remove(folder.filePath(name));
}

}  // namespace
