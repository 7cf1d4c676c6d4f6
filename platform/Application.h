#pragma once

// The program-wide application object: main form, help, message loop, and an orderly stop on a signal.

#include <QString>
#include <exception>
#include <functional>
#include <memory>

#include "platform/SysUtils.h"

class TForm;
class THelpViewer;

/** The program was asked to stop (SIGTERM, SIGINT, SIGHUP) while it worked; what it was doing is dropped. */
class EInterrupted : public Exception {
public:
  using Exception::Exception;
};

/**
 * The program-wide application object: title, main form, help file and the message loop. It stands beside
 * the QApplication that main() (or a test's main) creates and never owns it.
 */
class TApplication {
public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  /**
   * The program's name for the user: the caption of message boxes and of the help window. Each window's
   * title is its own caption alone; the desktop's task bar names the program from its desktop entry.
   */
  QString Title() const { return title_; }
  void SetTitle(const QString& title);

  /** The first form created; closing it ends the program. */
  TForm* MainForm() const { return mainForm_; }

  /**
   * The help file, an HTML page. A bare file name is looked for beside the program, then in the program's
   * folder of the desktop's data folders (where an installation puts it, "<data>/quenary/"), and then among
   * the help pages built into it (the ":/help/" resource folder).
   */
  QString HelpFile() const { return helpFile_; }
  void SetHelpFile(const QString& helpFile) { helpFile_ = helpFile; }
  /** Where HelpFile was found, or an empty text when it is nowhere. */
  QString HelpFilePath() const;

  /**
   * Opens the help file in the help window at the topic whose anchor is the context string. A missing file
   * or topic is told to the user in a message box; the result says whether the topic is shown.
   */
  bool HelpJump(const QString& contextString);
  /** The help window, once HelpJump has opened it. */
  THelpViewer* HelpViewer() const { return helpViewer_.get(); }
  /** Closes and frees the help window (done for the program as its QApplication ends). */
  void DestroyHelpViewer();

  /** Runs the message loop until Terminate or the main form's close; returns the exit code. */
  int Run();
  /** Ends the message loop; Terminated then stays true until the next Run. */
  void Terminate();
  bool Terminated() const { return terminated_; }
  /**
   * Lets waiting window events run, so a long task keeps the windows alive. Fails with EInterrupted once
   * the program has been asked to stop (QuitOnSignals), so the task unwinds and tidies up after itself.
   */
  void ProcessMessages();

  /**
   * Makes SIGTERM, SIGINT and SIGHUP end the program in order rather than at once: the message loop and
   * every modal dialog's loop end, a long task stops at its next ProcessMessages with EInterrupted, and
   * the program ends through its normal path, so its temporary files go and nothing half-written is left.
   * A second such signal ends the program at once. Call it once a QApplication exists.
   */
  void QuitOnSignals();
  /** The signal that asked the program to stop, or 0. */
  int InterruptingSignal() const;
  /** Fails with EInterrupted when a signal has asked the program to stop. */
  void ThrowIfInterrupted() const;
  /**
   * The exit code for a program that ends with that code: 128 plus the signal's number when a signal asked
   * it to stop (as a shell reports a program a signal ended), else the code itself.
   */
  int ExitCode(int code) const;

  /** The default handler of an exception that reached the message loop: a message box with its text. */
  void HandleException(const std::exception& exception);
  /**
   * Runs an action the user asked for from the event loop, which must not see an exception: what the action
   * throws goes to HandleException.
   */
  void Guarded(const std::function<void()>& action);

  /** Bookkeeping of TForm's constructor and destructor. */
  void FormCreated(TForm& form);
  void FormDestroyed(TForm& form);

private:
  QString title_;
  QString helpFile_;
  TForm* mainForm_ = nullptr;
  std::unique_ptr<THelpViewer> helpViewer_;
  bool terminated_ = false;
};

/** The one application object. */
TApplication& Application();
