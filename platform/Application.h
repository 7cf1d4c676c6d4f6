#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <memory>

class TForm;
class THelpViewer;

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
   * The program's name for the user: the caption of message boxes and of the help window, and the name the
   * desktop shows for the program (its task bar entry; a desktop may also add it to window title bars). Each
   * window's own caption stays as the program sets it.
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
  /** Lets waiting window events run, so a long task keeps the windows alive. */
  void ProcessMessages();

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
