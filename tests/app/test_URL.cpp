#include "app/URL.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
const QStringList AllSchemes = {QStringLiteral("file"), QStringLiteral("ftp"),    QStringLiteral("gopher"),
                                QStringLiteral("http"), QStringLiteral("https"),  QStringLiteral("mailto"),
                                QStringLiteral("news"), QStringLiteral("telnet"), QStringLiteral("wais")};
}  // namespace

TEST(TURL, StartsAsAnEmptyHttpLink) {
  TURL link(nullptr);
  EXPECT_EQ(link.URLType(), utHttp);
  EXPECT_TRUE(link.URL().isEmpty());
}

TEST(TURL, LaunchPutsEachTypesPrefixInFront) {
  const struct {
    TURLType Type;
    const char* Address;
    const char* Launched;
  } cases[] = {
      {utFile, "/srv/quenary/readme.txt", "file:///srv/quenary/readme.txt"},
      {utFtp, "ftp.example.com/pub/", "ftp://ftp.example.com/pub/"},
      {utGopher, "gopher.example.net/1/", "gopher://gopher.example.net/1/"},
      {utHttp, "www.example.com/quenary/", "http://www.example.com/quenary/"},
      {utHttps, "www.example.org/", "https://www.example.org/"},
      {utMailto, "oracle@example.com", "mailto:oracle@example.com"},
      {utNews, "comp.example.numerology", "news:comp.example.numerology"},
      {utTelnet, "bbs.example.net", "telnet:bbs.example.net"},
      {utWais, "wais.example.org/db", "wais:wais.example.org/db"},
  };
  LaunchedLinks launched(AllSchemes);
  for (const auto& example : cases) {
    TURL link(nullptr);
    link.SetURLType(example.Type);
    link.SetURL(QString::fromLatin1(example.Address));
    EXPECT_EQ(link.Target(), QString::fromLatin1(example.Launched));
    EXPECT_TRUE(link.Launch()) << example.Launched;
    ASSERT_FALSE(launched.Links().isEmpty());
    EXPECT_EQ(launched.Links().last(), QUrl(QString::fromLatin1(example.Launched)));
  }
  EXPECT_EQ(launched.Links().size(), 9);
}

TEST(TURL, EmptyAddressLaunchesNothing) {
  LaunchedLinks launched(AllSchemes);
  TURL link(nullptr);
  for (const TURLType type : {utHttp, utMailto, utFile}) {
    link.SetURLType(type);
    EXPECT_FALSE(link.Launch());
  }
  EXPECT_TRUE(launched.Links().isEmpty());
}

TEST(TURL, SchemeAlreadyInTheAddressIsDoubled) {
  LaunchedLinks launched(AllSchemes);
  TURL link(nullptr);
  link.SetURL(QStringLiteral("http://www.example.com/"));
  EXPECT_EQ(link.URL(), QStringLiteral("http://www.example.com/")) << "the address is kept as given";
  EXPECT_TRUE(link.Launch());
  ASSERT_EQ(launched.Links().size(), 1);
  EXPECT_EQ(launched.Links().at(0), QUrl(QStringLiteral("http://http://www.example.com/")));
}

TEST(TURL, ShellFailureIsFalse) {
  LaunchedLinks launched({QStringLiteral("http")});
  TURL link(nullptr);
  link.SetURLType(utTelnet);
  link.SetURL(QStringLiteral("bbs.example.net"));
  EXPECT_FALSE(link.Launch()) << "nothing on the offscreen desktop opens telnet links";
  EXPECT_TRUE(launched.Links().isEmpty());
}

TEST(TURL, LongTargetsArePassedWhole) {
  LaunchedLinks launched({QStringLiteral("http")});
  TURL link(nullptr);
  const QString address = QStringLiteral("www.example.com/") + QString(200, QLatin1Char('q'));
  link.SetURL(address);
  EXPECT_GT(ShellRun(link.Target(), QString(), QString(), 4), 32);
  ASSERT_EQ(launched.Links().size(), 1);
  EXPECT_EQ(launched.Links().at(0).toString(), QStringLiteral("http://") + address);
}
