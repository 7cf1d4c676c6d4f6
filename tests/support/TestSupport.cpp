#include "tests/support/TestSupport.h"

#include "platform/Screen.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QWidget>
#include <QProcess>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {
const char* const UnderXVariable = "QUENARY_TEST_UNDER_X";

// Runs the current test alone in a child run of this test program (started through launcher, when given);
// it must pass.
void RunCurrentTestInChild(const QProcessEnvironment& environment, const QString& launcher = QString(),
                           const QStringList& launcherArguments = {}) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const QString filter = QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name());
  QProcess run;
  run.setProcessEnvironment(environment);
  run.setProcessChannelMode(QProcess::MergedChannels);
  if (launcher.isEmpty())
    run.start(QCoreApplication::applicationFilePath(), {filter});
  else
    run.start(launcher, launcherArguments + QStringList{QCoreApplication::applicationFilePath(), filter});
  EXPECT_TRUE(run.waitForFinished(120000));
  const QString output = QString::fromUtf8(run.readAll());
  EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}
}  // namespace

void RunCurrentTestOnScreen(const QString& configurationFile, const QByteArray& screensJson,
                            const QList<QPair<QString, QString>>& variables) {
  QFile file(configurationFile);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(screensJson);
  file.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                     QStringLiteral("offscreen:configfile=") + configurationFile);
  for (const auto& [name, value] : variables) environment.insert(name, value);
  RunCurrentTestInChild(environment);
}

void RunCurrentTestUnderX() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QString::fromLatin1(UnderXVariable), QStringLiteral("1"));
  // Under the sanitizers: what the X11 platform's libraries keep to the end is theirs, not a leak of ours.
  const QString suppressions = QStringLiteral("suppressions=") + QStringLiteral(QT_TESTCASE_SOURCEDIR) +
                               QStringLiteral("/support/lsan-x11.supp");
  const QString leakOptions = environment.value(QStringLiteral("LSAN_OPTIONS"));
  environment.insert(QStringLiteral("LSAN_OPTIONS"),
                     leakOptions.isEmpty() ? suppressions : leakOptions + QLatin1Char(':') + suppressions);
  RunCurrentTestInChild(
      environment, QStringLiteral("xvfb-run"),
      {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1366x768x24 -dpi 96")});
}

bool UnderVirtualX() {
  return qEnvironmentVariableIsSet(UnderXVariable) && QGuiApplication::platformName() == QLatin1String("xcb");
}

WindowsSeen::WindowsSeen() { SetWindowsCanBeSeen(true); }
WindowsSeen::~WindowsSeen() { SetWindowsCanBeSeen(std::nullopt); }

QString XWindowTitle(const QWidget& window) {
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"),
              {QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("_NET_WM_NAME")});
  if (!xprop.waitForFinished(10000)) return QString();
  // _NET_WM_NAME(UTF8_STRING) = "the title"
  const QString answer = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
  const qsizetype open = answer.indexOf(QLatin1Char('"'));
  if (open < 0 || !answer.endsWith(QLatin1Char('"'))) return QString();
  return answer.mid(open + 1, answer.size() - open - 2);
}

ScratchDirectory::ScratchDirectory() {
  if (!directory_.isValid()) throw std::runtime_error("cannot create a scratch directory");
}

#include <QDesktopServices>

LaunchedLinks::LaunchedLinks(const QStringList& schemes) : schemes_(schemes) {
  for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "Open");
}

LaunchedLinks::~LaunchedLinks() {
  for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
}
