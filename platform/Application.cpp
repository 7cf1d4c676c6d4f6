#include "platform/Application.h"

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
// The help window is a widget and must go before the QApplication under it; Qt calls post routines at the
// start of the QApplication's destruction, while widgets can still be deleted.
void DestroyHelpViewerWithApplication();
}  // namespace

TApplication::TApplication() = default;

TApplication::~TApplication() = default;

QString TApplication::HelpFilePath() const {
  if (helpFile_.isEmpty()) return {};
  const QFileInfo given(helpFile_);
  if (helpFile_.contains(QLatin1Char('/'))) return given.isFile() ? given.absoluteFilePath() : QString();
  const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(helpFile_));
  if (beside.isFile()) return beside.absoluteFilePath();
  const QString installed =
      QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                             QCoreApplication::applicationName() + QLatin1Char('/') + helpFile_);
  if (!installed.isEmpty()) return installed;
  const QString builtIn = QStringLiteral(":/help/") + helpFile_;
  if (QFileInfo(builtIn).isFile()) return builtIn;
  return {};
}

bool TApplication::HelpJump(const QString& contextString) {
  const QString path = HelpFilePath();
  if (path.isEmpty()) {
    const QString name = helpFile_.isEmpty() ? QStringLiteral("(none)") : helpFile_;
    MessageDlg(QStringLiteral("Cannot find the help file \"%1\".").arg(name), mtError, mbOK);
    return false;
  }
  if (!helpViewer_) {
    helpViewer_ = std::make_unique<THelpViewer>();
    qAddPostRoutine(DestroyHelpViewerWithApplication);
  }
  helpViewer_->setWindowTitle(title_.isEmpty() ? QStringLiteral("Help") : title_ + QStringLiteral(" Help"));
  const QString problem = helpViewer_->ShowTopic(path, contextString);
  helpViewer_->show();
  helpViewer_->raise();
  helpViewer_->activateWindow();
  if (!problem.isEmpty()) {
    MessageDlg(problem, mtError, mbOK);
    return false;
  }
  return true;
}

void TApplication::SetTitle(const QString& title) {
  title_ = title;
  if (QCoreApplication::instance() != nullptr) QGuiApplication::setApplicationDisplayName(title);
}

int TApplication::Run() {
  terminated_ = false;
  return QCoreApplication::exec();
}

void TApplication::Terminate() {
  terminated_ = true;
  QCoreApplication::quit();
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(); }

void TApplication::HandleException(const std::exception& exception) {
  MessageDlg(QString::fromUtf8(exception.what()), mtError, mbOK);
}

void TApplication::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    HandleException(error);
  }
}

void TApplication::FormCreated(TForm& form) {
  if (mainForm_ == nullptr) mainForm_ = &form;
}

void TApplication::FormDestroyed(TForm& form) {
  if (mainForm_ == &form) mainForm_ = nullptr;
}

void TApplication::DestroyHelpViewer() { helpViewer_.reset(); }

TApplication& Application() {
  static TApplication application;
  return application;
}

namespace {
void DestroyHelpViewerWithApplication() { Application().DestroyHelpViewer(); }
}  // namespace
