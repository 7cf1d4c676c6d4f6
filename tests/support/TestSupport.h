#pragma once

#include <QString>
#include <QList>
#include <QPair>
#include <QTemporaryDir>

/** A scratch directory removed with everything in it when the test ends. */
class ScratchDirectory {
public:
  ScratchDirectory();
  QString Path() const { return directory_.path(); }
  /** Full path of a file inside the directory. */
  QString File(const QString& name) const { return directory_.filePath(name); }

private:
  QTemporaryDir directory_;
};

/**
 * Runs the current test again in a child run of this test program on Qt's offscreen platform with the given
 * screens (the JSON of the platform's configuration file, written to configurationFile) and the environment
 * variables added; the child's run must pass.
 */
void RunCurrentTestOnScreen(const QString& configurationFile, const QByteArray& screensJson,
                            const QList<QPair<QString, QString>>& variables);

/**
 * Runs the current test again in a child run of this test program on a virtual X display (xvfb-run and Qt's
 * xcb platform), where the X server's own view of the windows can be read; the child's run must pass. The
 * test does its work when UnderVirtualX() says it is that child.
 */
void RunCurrentTestUnderX();
bool UnderVirtualX();

/**
 * Lets the program's windows count as seen while it lives, so a test on the offscreen platform gets the
 * dialogs a user would (a print's status dialog).
 */
class WindowsSeen {
public:
  WindowsSeen();
  ~WindowsSeen();
  WindowsSeen(const WindowsSeen&) = delete;
  WindowsSeen& operator=(const WindowsSeen&) = delete;
};

class QWidget;
/** The title the X server holds for a shown window (its _NET_WM_NAME, read with xprop). */
QString XWindowTitle(const QWidget& window);

/** Directory that holds the test program's private settings and runtime files (set up by the test main). */
QString TestHomeDirectory();

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

/**
 * Catches the links handed to the desktop (QDesktopServices::openUrl) for the given schemes while it lives,
 * so a test sees what would have been opened and nothing is opened for real.
 */
class LaunchedLinks : public QObject {
  Q_OBJECT
public:
  explicit LaunchedLinks(const QStringList& schemes);
  ~LaunchedLinks() override;
  const QList<QUrl>& Links() const { return links_; }

  /** Called by QDesktopServices for each link of a caught scheme. */
  Q_INVOKABLE void Open(const QUrl& url) { links_.append(url); }

private:
  QStringList schemes_;
  QList<QUrl> links_;
};

#include <ostream>

/** Lets GoogleTest print texts readably in failure messages. */
inline void PrintTo(const QString& text, std::ostream* stream) {
  *stream << '"' << text.toStdString() << '"';
}
