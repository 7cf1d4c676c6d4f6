#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;

/**
 * A file system of a few KiB mounted on a folder of its own, in this test program's own mount namespace (the
 * test main enters one when it runs as root, as CI does), so a write to it really fails with "No space left
 * on device". Without the rights to mount, Mounted() is false and the test skips.
 */
class SmallDisk {
public:
  explicit SmallDisk(int kibibytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  /** Why no disk could be mounted. */
  QString Problem() const { return problem_; }
  QString Path() const { return folder_.path(); }
  QString File(const QString& name) const { return folder_.filePath(name); }
  /** Fills the disk with a file of its own until about `free` bytes are left (0: none at all). */
  void Fill(qint64 free = 0);
  /** Removes what Fill wrote. */
  void Empty();

private:
  QTemporaryDir folder_;
  bool mounted_ = false;
  QString problem_;
};

/** Called by the test main before anything else runs: enters a mount namespace of the test program's own. */
void EnterPrivateMountNamespace();

/** How a run of one of the programs ended. */
struct ProgramRun {
  int ExitCode = -1;
  /** It ended through a signal (a crash, or one sent to it), or did not end in time and was killed. */
  bool Crashed = false;
  bool TimedOut = false;
  QString Out;
  QString Error;
  /** The lines of standard error. */
  QStringList ErrorLines() const;
};

/**
 * An environment for a run of the programs: the test program's own, on Qt's offscreen platform, with the
 * variables given added (XDG_RUNTIME_DIR for the page folder, XDG_CONFIG_HOME for the settings store, ...).
 */
QList<QPair<QString, QString>> ProgramEnvironment(const QList<QPair<QString, QString>>& variables = {});

/** Starts a program with the arguments and environment variables (ProgramEnvironment) and waits till it runs.
 */
bool StartProgram(QProcess& process, const QString& program, const QStringList& arguments,
                  const QList<QPair<QString, QString>>& variables = {});

/** Runs a program with the arguments and environment variables; it must end within the timeout. */
ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QList<QPair<QString, QString>>& variables = {}, int timeoutMilliseconds = 120000);

/** A file's bytes, or an empty array when it cannot be read. */
QByteArray FileBytes(const QString& fileName);
/** Writes the bytes as the whole file (test set-up). */
void WriteBytes(const QString& fileName, const QByteArray& bytes);

/** The files and folders in a folder and below it, as paths relative to it ("" when it is missing). */
QStringList FilesBelow(const QString& folder);

/** A private folder for the page folders of program runs, as XDG_RUNTIME_DIR wants it (mode 0700). */
QString MakeRuntimeFolder(const QString& path);
