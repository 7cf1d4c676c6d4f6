#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/HelpViewer.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QMessageBox>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
// A help page whose topic lies far below its top, so showing the topic has to scroll.
QString WriteHelpPage(const ScratchDirectory& scratch) {
  const QString path = scratch.File(QStringLiteral("help.html"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  QByteArray page = "<html><body><h1>Top</h1>";
  for (int line = 0; line < 200; ++line) page += "<p>filler line</p>";
  page +=
      "<h2><a name=\"IDH_CONTENTS\">Contents</a></h2><p>the topic, <a href=\"#further\">further</a> and "
      "<a href=\"https://www.example.com/quenary/\">the web site</a></p>";
  for (int line = 0; line < 200; ++line) page += "<p>more filler</p>";
  page += "<h2><a name=\"further\">Further</a></h2></body></html>";
  file.write(page);
  return path;
}
}  // namespace

TEST(HelpViewer, ShowsTheTopicScrolledIntoView) {
  ScratchDirectory scratch;
  const QString path = WriteHelpPage(scratch);
  THelpViewer viewer;
  viewer.resize(400, 300);
  EXPECT_EQ(viewer.ShowTopic(path, QStringLiteral("IDH_CONTENTS")), QString());
  viewer.show();
  EXPECT_EQ(viewer.Topic(), QStringLiteral("IDH_CONTENTS"));
  EXPECT_GT(viewer.Browser().verticalScrollBar()->value(), 0);
}

TEST(HelpViewer, MissingTopicOrFileIsToldNotHidden) {
  ScratchDirectory scratch;
  const QString path = WriteHelpPage(scratch);
  THelpViewer viewer;
  viewer.resize(400, 300);
  viewer.show();
  const QString noTopic = viewer.ShowTopic(path, QStringLiteral("IDH_NOWHERE"));
  EXPECT_NE(noTopic.indexOf(QStringLiteral("IDH_NOWHERE")), -1) << noTopic.toStdString();
  EXPECT_TRUE(viewer.Topic().isEmpty());
  EXPECT_EQ(viewer.Browser().verticalScrollBar()->value(), 0);
  EXPECT_FALSE(
      viewer.ShowTopic(scratch.File(QStringLiteral("none.html")), QStringLiteral("IDH_CONTENTS")).isEmpty());
}

TEST(HelpViewer, ApplicationJumpsToTheTopicOrSaysWhyNot) {
  ScratchDirectory scratch;
  const QString path = WriteHelpPage(scratch);
  QStringList messages;
  ModalObserverScope scope([&messages](QWidget& window) {
    if (auto* box = qobject_cast<QMessageBox*>(&window)) messages.append(box->text());
    window.hide();
  });

  Application().SetHelpFile(path);
  EXPECT_EQ(Application().HelpFilePath(), path);
  EXPECT_TRUE(Application().HelpJump(QStringLiteral("IDH_CONTENTS")));
  ASSERT_NE(Application().HelpViewer(), nullptr);
  EXPECT_TRUE(Application().HelpViewer()->isVisible());
  EXPECT_EQ(Application().HelpViewer()->Topic(), QStringLiteral("IDH_CONTENTS"));
  EXPECT_TRUE(messages.isEmpty());

  Application().SetHelpFile(QStringLiteral("no-such-help.html"));
  EXPECT_TRUE(Application().HelpFilePath().isEmpty());
  EXPECT_FALSE(Application().HelpJump(QStringLiteral("IDH_CONTENTS")));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_NE(messages.at(0).indexOf(QStringLiteral("no-such-help.html")), -1);
  Application().DestroyHelpViewer();
}

// Back, Forward and Home go through the topics visited; a web link goes to the desktop; Escape and Ctrl+W
// close the window, which opens centred on the window it helps.
TEST(HelpViewer, ItGoesBackForwardAndHomeHandsWebLinksToTheDesktopAndClosesByKey) {
  ScratchDirectory scratch;
  const QString path = WriteHelpPage(scratch);
  THelpViewer viewer;
  QWidget owner;
  owner.setGeometry(100, 80, 900, 700);
  owner.show();
  EXPECT_EQ(viewer.ShowTopic(path, QStringLiteral("IDH_CONTENTS")), QString());
  viewer.ShowOver(&owner);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
  EXPECT_LE((viewer.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 8);
  EXPECT_GE(viewer.Browser().document()->documentMargin(), 12) << "the text keeps off the window's edge";
  QScrollBar& scroll = *viewer.Browser().verticalScrollBar();
  const int contents = scroll.value();
  EXPECT_FALSE(viewer.BackButton().isEnabled());

  Q_EMIT viewer.Browser().anchorClicked(QUrl(QStringLiteral("#further")));
  const int further = scroll.value();
  EXPECT_GT(further, contents);
  EXPECT_EQ(viewer.Topic(), QStringLiteral("further"));
  viewer.BackButton().click();
  EXPECT_EQ(scroll.value(), contents) << "back at the contents";
  viewer.ForwardButton().click();
  EXPECT_EQ(scroll.value(), further);
  viewer.HomeButton().click();
  EXPECT_EQ(scroll.value(), contents);
  EXPECT_EQ(viewer.Topic(), THelpViewer::ContentsTopic());

  {
    const LaunchedLinks launched({QStringLiteral("https")});
    Q_EMIT viewer.Browser().anchorClicked(QUrl(QStringLiteral("https://www.example.com/quenary/")));
    EXPECT_EQ(launched.Links(), QList<QUrl>{QUrl(QStringLiteral("https://www.example.com/quenary/"))});
    EXPECT_EQ(scroll.value(), contents) << "the help stays where it was";
  }

  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    viewer.ShowOver(&owner);
    viewer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    QTest::keySequence(&viewer, keys);
    EXPECT_FALSE(viewer.isVisible()) << keys.toString().toStdString();
  }
}
