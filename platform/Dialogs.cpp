#include "platform/Dialogs.h"

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Printers.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPointer>
#include <QPushButton>
#include <map>
#include <utility>

namespace {
TModalObserver& CurrentObserver() {
  static TModalObserver observer;
  return observer;
}

TMessageSink& CurrentSink() {
  static TMessageSink sink;
  return sink;
}

/** Ends a local event loop when the watched window is hidden. */
class HideWatcher : public QObject {
public:
  explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}

  bool eventFilter(QObject*, QEvent* event) override {
    // Minimizing or unmapping by the window system also hides the window, but leaves it open.
    if (event->type() == QEvent::Hide && !event->spontaneous()) loop_.quit();
    return false;
  }

private:
  QEventLoop& loop_;
};

struct ButtonDescription {
  TMsgDlgBtn Button;
  const char* Caption;
  QMessageBox::ButtonRole Role;
  TModalResult Result;
};

constexpr ButtonDescription ButtonDescriptions[] = {
    {mbYes, "&Yes", QMessageBox::YesRole, mrYes},
    {mbNo, "&No", QMessageBox::NoRole, mrNo},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
    {mbCancel, "Cancel", QMessageBox::RejectRole, mrCancel},
    {mbAbort, "&Abort", QMessageBox::RejectRole, mrAbort},
    {mbRetry, "&Retry", QMessageBox::AcceptRole, mrRetry},
    {mbIgnore, "&Ignore", QMessageBox::AcceptRole, mrIgnore},
    {mbAll, "&All", QMessageBox::AcceptRole, mrAll},
    {mbNoToAll, "N&o to All", QMessageBox::NoRole, mrNoToAll},
    {mbYesToAll, "Yes to &All", QMessageBox::YesRole, mrYesToAll},
};

QString CaptionOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    case mtCustom: break;
  }
  const QString title = Application().Title();
  return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

TModalResult MessageDlg(const QString& message, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  if (const TMessageSink sink = CurrentSink()) return sink(message, type, buttons);
  QMessageBox box(IconOf(type), CaptionOf(type), message, QMessageBox::NoButton, Application().MainForm());
  box.setTextFormat(Qt::PlainText);
  if ((buttons & ~mbHelp) == 0) buttons = mbOK;
  std::map<QAbstractButton*, TModalResult> results;
  QPushButton* first = nullptr;
  QPushButton* escape = nullptr;
  QPushButton* no = nullptr;
  for (const ButtonDescription& description : ButtonDescriptions) {
    if ((buttons & description.Button) == 0) continue;
    QPushButton* button = box.addButton(QString::fromLatin1(description.Caption), description.Role);
    results[button] = description.Result;
    if (first == nullptr) first = button;
    if (description.Button == mbCancel) escape = button;
    if (description.Button == mbNo) no = button;
  }
  if (escape == nullptr) escape = no;
  if (escape == nullptr && buttons == mbOK) escape = first;
  box.setDefaultButton(first);
  box.setEscapeButton(escape);
  ExecuteDialog(box);
  const auto pressed = results.find(box.clickedButton());
  return pressed != results.end() ? pressed->second : mrCancel;
}

void ShowMessage(const QString& message) { MessageDlg(message, mtCustom, mbOK); }

void RunModal(QWidget& window) {
  const QPointer<QWidget> guard(&window);
  QEventLoop loop;
  HideWatcher watcher(loop);
  const Qt::WindowModality previousModality = window.windowModality();
  window.setWindowModality(Qt::ApplicationModal);
  window.installEventFilter(&watcher);
  const QMetaObject::Connection destroyed =
      QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
  window.show();
  // A copy, so an observer that installs another one for a nested window does not pull itself away.
  if (const TModalObserver observer = CurrentObserver(); observer && guard) observer(window);
  if (guard && !guard->isHidden()) loop.exec(QEventLoop::DialogExec);
  QObject::disconnect(destroyed);
  if (guard) {
    guard->removeEventFilter(&watcher);
    // Modality can only change while the window is hidden; a window still up here stays modal.
    if (guard->isHidden()) guard->setWindowModality(previousModality);
  }
}

int ExecuteDialog(QDialog& dialog) {
  dialog.setResult(QDialog::Rejected);
  const QPointer<QDialog> guard(&dialog);
  RunModal(dialog);
  return guard ? guard->result() : QDialog::Rejected;
}

namespace {
constexpr int MaximumChosenPage = 99999;
}  // namespace

bool ExecutePrintDialog(QWidget* parent) {
  QPrintDialog dialog(&Printer().QtPrinter(), parent);
  // The pages are recorded only once the dialog is confirmed, so any page number may be chosen; the job
  // prints those of its pages that the choice takes.
  dialog.setMinMax(1, MaximumChosenPage);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  if (ExecuteDialog(dialog) != QDialog::Accepted) return false;
  Printer().TakeQtPrinterSettings();
  return true;
}

ModalObserverScope::ModalObserverScope(TModalObserver observer)
    : previous_(std::exchange(CurrentObserver(), std::move(observer))) {}

ModalObserverScope::~ModalObserverScope() { CurrentObserver() = std::move(previous_); }

MessageSinkScope::MessageSinkScope(TMessageSink sink)
    : previous_(std::exchange(CurrentSink(), std::move(sink))) {}

MessageSinkScope::~MessageSinkScope() { CurrentSink() = std::move(previous_); }
