#include "app/Inet.h"
#include "app/URL.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QStringList LinkSchemes = {QStringLiteral("http"), QStringLiteral("mailto")};

// Shows the links window modally and lets the answer act on it while it is up.
TModalResult ShowLinks(TInternetFrm& links, const std::function<void()>& answer) {
  ModalObserverScope scope([&](QWidget&) {
    answer();
    if (links.isVisible()) links.Close();
  });
  return links.ShowModal();
}
}  // namespace

TEST(TInternetFrm, LayoutOfTheLinksWindow) {
  TInternetFrm links;
  EXPECT_EQ(InternetFrm, &links);
  EXPECT_EQ(links.windowTitle(), QStringLiteral("Quenary Oracle ")) << "with its trailing blank";
  EXPECT_EQ(links.size(), QSize(370, 372));
  EXPECT_EQ(links.windowType(), Qt::Dialog);
  EXPECT_FALSE(links.windowFlags().testFlag(Qt::WindowCloseButtonHint)) << "Close is the way out";
  EXPECT_FALSE(links.isVisible()) << "created hidden";
  EXPECT_EQ(links.Panel3->Caption(), QStringLiteral("Internet Resources"));
  EXPECT_EQ(links.Panel3->Height(), 41);
  EXPECT_EQ(links.Panel3->Font().Height(), -19);
  EXPECT_EQ(links.Panel4->size(), QSize(333, 267));
  EXPECT_EQ(links.Panel4->BevelOuter(), bvLowered);
  EXPECT_EQ(links.Button1->Caption(), QStringLiteral("Close"));
  EXPECT_NEAR(links.Button1->Left() + links.Button1->Width() / 2.0, links.width() / 2.0, 1.0) << "centred";

  // Top to bottom: heading, web, mail, heading, web, mail, heading, web.
  const QList<TLabel*> order = {links.Label4, links.Label3, links.Label5, links.Label6,
                                links.Label2, links.Label1, links.Label7, links.Label8};
  for (qsizetype index = 1; index < order.size(); ++index) {
    EXPECT_GT(order.at(index)->Top(), order.at(index - 1)->Top());
  }
  EXPECT_EQ(links.Label4->Caption(), QStringLiteral("Quenary Oracle"));
  EXPECT_EQ(links.Label6->Caption(), QStringLiteral("Quenary Calculator"));
  EXPECT_TRUE(links.Label5->Caption().startsWith(QLatin1String("E-Mail: <")));
  for (TLabel* link : {links.Label3, links.Label5, links.Label2, links.Label1, links.Label8}) {
    EXPECT_EQ(link->Font().Color(), clNavy);
    EXPECT_EQ(link->Font().Style(), fsBold | fsUnderline);
    EXPECT_EQ(link->Alignment(), taCenter);
    EXPECT_FALSE(link->AutoSize());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  }
}

TEST(TInternetFrm, LinksAreMailAndWebAddressesUnderExampleDomainsOnly) {
  TInternetFrm links;
  const QRegularExpression web(QStringLiteral("^www\\.example\\.(com|org|net)/[^:]*$"));
  const QRegularExpression mail(QStringLiteral("^[a-z.]+@example\\.(com|org|net)$"));
  for (TURL* site : {links.URL1, links.URL3, links.URL4}) {
    EXPECT_EQ(site->URLType(), utHttp);
    EXPECT_TRUE(web.match(site->URL()).hasMatch()) << site->URL().toStdString();
  }
  for (TURL* contact : {links.URL2, links.URL5}) {
    EXPECT_EQ(contact->URLType(), utMailto);
    EXPECT_TRUE(mail.match(contact->URL()).hasMatch()) << contact->URL().toStdString();
  }
  EXPECT_TRUE(links.Label3->Caption().contains(links.URL4->URL()))
      << "the first web caption shows its address";
  EXPECT_TRUE(links.Label2->Caption().contains(links.URL3->URL()));
  EXPECT_TRUE(links.Label8->Caption().contains(links.URL1->URL()));
  EXPECT_TRUE(links.Label5->Caption().contains(QLatin1Char('<') + links.URL5->URL() + QLatin1Char('>')));
  EXPECT_TRUE(links.Label1->Caption().contains(links.URL2->URL()));
}

TEST(TInternetFrm, EachCaptionLaunchesItsOwnLinkAndTheWindowStaysOpen) {
  TInternetFrm links;
  LaunchedLinks launched(LinkSchemes);
  const QList<std::pair<TLabel*, TURL*>> captions = {{links.Label5, links.URL5},
                                                     {links.Label1, links.URL2},
                                                     {links.Label3, links.URL4},
                                                     {links.Label2, links.URL3},
                                                     {links.Label8, links.URL1}};
  bool stayedOpen = true;
  ShowLinks(links, [&] {
    for (const auto& [label, link] : captions) {
      QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
      stayedOpen = stayedOpen && links.isVisible();
    }
  });
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(launched.Links().size(), captions.size());
  for (qsizetype index = 0; index < captions.size(); ++index) {
    EXPECT_EQ(launched.Links().at(index), QUrl(captions.at(index).second->Target())) << index;
  }
}

TEST(TInternetFrm, HeadingsLaunchNothing) {
  TInternetFrm links;
  LaunchedLinks launched(LinkSchemes);
  ShowLinks(links, [&] {
    for (TLabel* heading : {links.Label4, links.Label6, links.Label7})
      QTest::mouseClick(heading, Qt::LeftButton);
  });
  EXPECT_TRUE(launched.Links().isEmpty());
}

// Keys as a user presses them, on a real X server (only there has a widget the keyboard): from where the
// keyboard starts, Return opens no link, and Escape closes the window.
TEST(TInternetFrm, OnAScreenReturnOpensNoLinkAndEscapeClosesTheWindow) {
  if (!UnderVirtualX()) {
    RunCurrentTestUnderX();
    return;
  }
  TInternetFrm links;
  LaunchedLinks launched(LinkSchemes);
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    bool hidden = false;
    const TModalResult result = ShowLinks(links, [&] {
      links.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&links));
      QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &links, key);
      hidden = !links.isVisible();
    });
    if (key == Qt::Key_Escape) {
      EXPECT_TRUE(hidden) << "Escape closes";
      EXPECT_EQ(result, mrCancel);
    }
  }
  EXPECT_TRUE(launched.Links().isEmpty()) << "no key opened a link";
}

TEST(TInternetFrm, EscapeAndCloseHideTheWindow) {
  TInternetFrm links;
  LaunchedLinks launched(LinkSchemes);
  EXPECT_EQ(ShowLinks(links, [&] { QTest::keyClick(&links, Qt::Key_Escape); }), mrCancel);
  EXPECT_FALSE(links.isVisible());
  bool closedByButton = false;
  ShowLinks(links, [&] {
    QTest::mouseClick(links.Button1, Qt::LeftButton);
    closedByButton = !links.isVisible();
  });
  EXPECT_TRUE(closedByButton);
  // Escape also closes from a link caption that had the focus of a click.
  ShowLinks(links, [&] {
    QTest::mouseClick(links.Label3, Qt::LeftButton);
    QTest::keyClick(links.focusWidget() != nullptr ? links.focusWidget() : &links, Qt::Key_Escape);
    closedByButton = !links.isVisible();
  });
  EXPECT_TRUE(closedByButton);
}
