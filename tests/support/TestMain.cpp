#include "platform/Screen.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString& HomeDirectoryPath() {
  static QString path;
  return path;
}
}  // namespace

QString TestHomeDirectory() { return HomeDirectoryPath(); }

int main(int argc, char** argv) {
  // Before any thread exists, which a new mount namespace needs.
  EnterPrivateMountNamespace();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Tests get settings and page directories of their own, so they never touch the user's files
  // and test programs running side by side never see each other's pages.
  QTemporaryDir home;
  if (!home.isValid()) return 3;
  HomeDirectoryPath() = home.path();
  QDir(home.path()).mkpath(QStringLiteral("config"));
  QDir(home.path()).mkpath(QStringLiteral("runtime"));
  QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("runtime")).toLocal8Bit());

  QApplication application(argc, argv);
  RegisterFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
