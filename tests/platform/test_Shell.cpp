#include "platform/Shell.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(Shell, LinkWithSchemeGoesToTheDesktopWhole) {
  LaunchedLinks launched({QStringLiteral("https"), QStringLiteral("mailto")});
  const QString longLink = QStringLiteral("https://www.example.com/") + QString(120, QLatin1Char('a'));
  EXPECT_EQ(ShellExecute(nullptr, QString(), longLink, QString(), QString(), SW_SHOWNOACTIVATE),
            ShellExecuteSuccess);
  EXPECT_EQ(ShellExecute(nullptr, QStringLiteral("open"), QStringLiteral("mailto:someone@example.org"),
                         QString(), QString(), SW_SHOWNORMAL),
            ShellExecuteSuccess);
  ASSERT_EQ(launched.Links().size(), 2);
  EXPECT_EQ(launched.Links().at(0), QUrl(longLink));
  EXPECT_EQ(launched.Links().at(1), QUrl(QStringLiteral("mailto:someone@example.org")));
}

TEST(Shell, FailuresAreReportedAtOrBelow32AndLaunchNothing) {
  LaunchedLinks launched({QStringLiteral("http"), QStringLiteral("file")});
  ScratchDirectory scratch;
  EXPECT_EQ(ShellExecute(nullptr, QString(), QString(), QString(), QString(), SW_SHOW), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ShellExecute(nullptr, QString(), QStringLiteral("   "), QString(), QString(), SW_SHOW),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(
      ShellExecute(nullptr, QString(), QStringLiteral("missing.txt"), QString(), scratch.Path(), SW_SHOW),
      ERROR_FILE_NOT_FOUND);
  // A drive letter is not a scheme, so this is a (missing) local path.
  EXPECT_EQ(ShellExecute(nullptr, QString(), QStringLiteral("C:\\letter.txt"), QString(), QString(), SW_SHOW),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ShellExecute(nullptr, QStringLiteral("print"), QStringLiteral("http://www.example.com/"),
                         QString(), QString(), SW_SHOW),
            SE_ERR_NOASSOC);
  EXPECT_TRUE(launched.Links().isEmpty());
}

TEST(Shell, SchemeNobodyHandlesIsNoAssociation) {
  // The offscreen desktop opens nothing of its own, so a scheme without a handler fails.
  EXPECT_EQ(ShellExecute(nullptr, QString(), QStringLiteral("gopher://gopher.example.net/"), QString(),
                         QString(), SW_SHOWNOACTIVATE),
            SE_ERR_NOASSOC);
}

TEST(Shell, RelativePathIsTakenInTheDirectory) {
  LaunchedLinks launched({QStringLiteral("file")});
  ScratchDirectory scratch;
  QFile file(scratch.File(QStringLiteral("notes.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_EQ(ShellExecute(nullptr, QString(), QStringLiteral("notes.txt"), QString(), scratch.Path(), SW_SHOW),
            ShellExecuteSuccess);
  ASSERT_EQ(launched.Links().size(), 1);
  EXPECT_EQ(QDir(launched.Links().at(0).toLocalFile()).canonicalPath(),
            QDir(file.fileName()).canonicalPath());
}
