#pragma once

// Message boxes and modal windows, with the seams through which tests and printing classes answer them.

#include "platform/Controls.h"

#include <QString>
#include <functional>

class QDialog;
class QWidget;

/** Kind of a message box: its icon and caption. mtCustom has no icon and the application title as caption. */
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/** Buttons of a message box. */
enum TMsgDlgBtn : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbNoToAll = 1u << 8,
  mbYesToAll = 1u << 9,
  mbHelp = 1u << 10
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

/**
 * The one message-box routine: shows the message modally with the given buttons (the first is the default;
 * Escape presses Cancel, or No, or a lone OK) and returns the modal result of the button pressed (mrOk,
 * mrCancel, ...), mrCancel when the box was closed without one. Help buttons and contexts are not offered.
 */
TModalResult MessageDlg(const QString& message, TMsgDlgType type, TMsgDlgButtons buttons,
                        int helpContext = 0);

/**
 * Takes the messages MessageDlg would show, instead of a box: it gets the text and the kind, and answers
 * with the button pressed. A program that reports its own errors (a printing class that returns them to its
 * caller) installs one for the work it does.
 */
using TMessageSink =
    std::function<TModalResult(const QString& message, TMsgDlgType type, TMsgDlgButtons buttons)>;

/** Installs a message sink for the scope's lifetime; the previous sink comes back when it ends. */
class MessageSinkScope {
public:
  explicit MessageSinkScope(TMessageSink sink);
  ~MessageSinkScope();
  MessageSinkScope(const MessageSinkScope&) = delete;
  MessageSinkScope& operator=(const MessageSinkScope&) = delete;

private:
  TMessageSink previous_;
};

/** A message with one OK button under the application's title. */
void ShowMessage(const QString& message);

/**
 * The one routine that shows a window modally: it makes the window application-modal, shows it, hands it to
 * the current modal observer (if any) and then runs a local event loop until the window is hidden or
 * destroyed. Timers keep running in that loop, so a test may also answer the window from a QTimer.
 */
void RunModal(QWidget& window);

/** RunModal for a Qt dialog (print dialog, message box); returns the dialog's result code. */
int ExecuteDialog(QDialog& dialog);

/** The system print dialog over the program-wide printer, which takes the choice; false when cancelled. */
bool ExecutePrintDialog(QWidget* parent);

/** Sees each modal window just after it appears; it may read the window and answer it (click, close). */
using TModalObserver = std::function<void(QWidget& window)>;

/**
 * Installs a modal observer for the scope's lifetime; the previous observer comes back when it ends.
 * This is how tests and scripted runs answer message boxes and dialogs and read what they showed.
 */
class ModalObserverScope {
public:
  explicit ModalObserverScope(TModalObserver observer);
  ~ModalObserverScope();
  ModalObserverScope(const ModalObserverScope&) = delete;
  ModalObserverScope& operator=(const ModalObserverScope&) = delete;

private:
  TModalObserver previous_;
};
