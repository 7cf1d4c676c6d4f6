#include "platform/Application.h"
#include "platform/SysUtils.h"

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// What the signal handler may touch: a flag and the writing end of a pipe the message loop watches.
volatile std::sig_atomic_t interruptingSignal = 0;
int signalPipe[2] = {-1, -1};
constexpr int StopSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void OnStopSignal(int signal) {
  interruptingSignal = signal;
  // Asked twice, the program ends at once, as it would without a handler.
  std::signal(signal, SIG_DFL);
  const int savedError = errno;
  const char byte = static_cast<char>(signal);
  if (signalPipe[1] >= 0 && ::write(signalPipe[1], &byte, 1) < 0) {
    // A full pipe already carries a wake-up; the flag says the rest.
  }
  errno = savedError;
}

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
    MessageDlg(QStringLiteral("Cannot find the help file \"%1\".").arg(ShownName(name)), mtError, mbOK);
    return false;
  }
  if (!helpViewer_) {
    helpViewer_ = std::make_unique<THelpViewer>();
    qAddPostRoutine(DestroyHelpViewerWithApplication);
  }
  helpViewer_->setWindowTitle(title_.isEmpty() ? QStringLiteral("Help") : title_ + QStringLiteral(" Help"));
  const QString problem = helpViewer_->ShowTopic(path, contextString);
  helpViewer_->ShowOver(QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : MainForm());
  if (!problem.isEmpty()) {
    MessageDlg(problem, mtError, mbOK);
    return false;
  }
  return true;
}

void TApplication::SetTitle(const QString& title) {
  // Not Qt's application display name: Qt would add it to every window's title on X11, so each window's
  // caption would read twice its program's name. The desktop takes the program's name from its entry.
  title_ = title;
}

int TApplication::Run() {
  terminated_ = false;
  return QCoreApplication::exec();
}

void TApplication::Terminate() {
  terminated_ = true;
  QCoreApplication::quit();
}

void TApplication::ProcessMessages() {
  QCoreApplication::processEvents();
  ThrowIfInterrupted();
}

void TApplication::QuitOnSignals() {
  if (signalPipe[0] >= 0 || QCoreApplication::instance() == nullptr) return;
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    // Every running loop ends (the main one and any modal dialog's); work in progress stops at its next
    // ProcessMessages.
    QCoreApplication::exit(128 + interruptingSignal);
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : StopSignals) sigaction(signal, &action, nullptr);
}

int TApplication::InterruptingSignal() const { return interruptingSignal; }

void TApplication::ThrowIfInterrupted() const {
  const int signal = interruptingSignal;
  if (signal == 0) return;
  const char* name = sigabbrev_np(signal);
  throw EInterrupted(QStringLiteral("interrupted by SIG%1; the work in progress was dropped")
                         .arg(QString::fromLatin1(name != nullptr ? name : "NAL")));
}

int TApplication::ExitCode(int code) const {
  const int signal = interruptingSignal;
  return signal != 0 ? 128 + signal : code;
}

void TApplication::HandleException(const std::exception& exception) {
  MessageDlg(QString::fromUtf8(exception.what()), mtError, mbOK);
}

void TApplication::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInterrupted&) {
    // The program is on its way out; a message box now would only hold it up.
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
