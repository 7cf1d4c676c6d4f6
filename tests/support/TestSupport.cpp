#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <stdexcept>

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
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  QProcess run;
  run.setProcessEnvironment(environment);
  run.setProcessChannelMode(QProcess::MergedChannels);
  run.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
  EXPECT_TRUE(run.waitForFinished(120000));
  const QString output = QString::fromUtf8(run.readAll());
  EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
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
