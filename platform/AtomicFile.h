#pragma once

// How the programs write files: a file takes its name only once whole, so no failure leaves one half-written.

#include <QByteArray>
#include <QIODevice>
#include <QString>

/**
 * A file that takes its name in one step. Its bytes go to a new file beside the target; every write is
 * checked, also the last ones at the flush, the sync to disk and the close, and only a file that was written
 * whole takes the target's name. Until Commit succeeds, and whenever anything fails, whatever was at the
 * target stays byte for byte as it was and the new file is removed: a full disk or a broken-off job never
 * leaves a half-written file behind, under the target's name or any other.
 *
 * A symbolic link at the target is followed to the file it names; a target that exists and is no plain file
 * (a folder, a device) is refused. A replaced file keeps its permission bits; a new one gets 0666 less the
 * umask. Writes are buffered, so a writer of many small pieces (a PDF engine) costs few system calls.
 *
 * The new file has no name until it is complete where the system allows it (Linux's O_TMPFILE), so a
 * process killed while it writes leaves nothing behind; elsewhere it is named beside the target and removed
 * on every way out but a kill.
 *
 * The bytes can also come from another writer that opens TemporaryFileName() itself (a database engine):
 * that file is named from the start (TTemporary::Named).
 */
class TAtomicFile : public QIODevice {
  Q_OBJECT
public:
  enum class TMode {
    /** Commit replaces a file of the target's name. */
    Replace,
    /** Commit fails when the target exists, so nothing already there is ever written over. */
    NoReplace,
  };

  enum class TTemporary {
    /** Without a name until Commit or Complete, where the file system allows it. */
    Unnamed,
    /** Named beside the target from Open on, for a writer that opens it by its name. */
    Named,
  };

  explicit TAtomicFile(const QString& target, TMode mode = TMode::Replace,
                       TTemporary temporary = TTemporary::Unnamed);
  /** Removes the new file unless it was committed. */
  ~TAtomicFile() override;
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  /** Makes the new file beside the target and opens the device for writing; false with ErrorString(). */
  bool Open();
  /**
   * Writes what is buffered, syncs and closes the new file and gives it the target's name. False, with
   * ErrorString() and the new file removed, when any write before failed or any of these steps fails.
   */
  bool Commit();
  /**
   * Writes what is buffered, syncs and closes the new file, which stays under TemporaryFileName() until the
   * object goes (a spool file handed to another program). False, with ErrorString() and the new file
   * removed, as for Commit.
   */
  bool Complete();
  /** Abandons the new file; the target stays as it was. */
  void Discard();

  /** The file the target names (after following a symbolic link), absolute. */
  QString Target() const { return target_; }
  /** The new file's path while it is open and has one (Named, or after Complete). */
  QString TemporaryFileName() const { return temporary_; }
  /** Whether a write has failed; every later write then fails too, and Commit does. */
  bool Failed() const { return !failure_.isEmpty(); }

  bool isSequential() const override { return true; }

protected:
  qint64 readData(char* data, qint64 maximumSize) override;
  qint64 writeData(const char* data, qint64 length) override;

private:
  bool Fail(const QString& reason);
  bool WriteOut(const char* data, qint64 length);
  bool FlushBuffer();
  void CloseDescriptor();
  enum class TFinish { Name, LinkToTarget };
  /** Writes out, syncs and closes the file, naming it as finish says; false with the reason. */
  bool Finish(TFinish finish);
  bool OpenUnnamed(const QString& folder, unsigned int creationMode);
  /** Gives the unnamed file a fresh random name beside the target (temporary_); false with errno. */
  bool NameUnnamed();

  QString target_;
  QString temporary_;
  TMode mode_;
  TTemporary wanted_;
  /** The open file has no name yet. */
  bool unnamed_ = false;
  int descriptor_ = -1;
  bool replacesFile_ = false;
  unsigned int keptPermissions_ = 0;
  QByteArray buffer_;
  QString failure_;
};

/**
 * Writes the bytes as the whole new content of the file in one step (TAtomicFile). Fails with an Exception
 * "<what> "<file>": <reason>" (for instance what = "Cannot write the settings file"), leaving the file as
 * it was.
 */
void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, const QString& what);
