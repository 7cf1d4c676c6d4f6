#pragma once

// Private temporary folders, where page files live that no other user or instance can see or plant.

#include <QString>
#include <memory>

class QTemporaryDir;

/**
 * The program's private per-user folder for temporary files: "quenary" inside $XDG_RUNTIME_DIR when that is
 * set, otherwise "quenary-<uid>" inside $TMPDIR (or /tmp). It is created with mode 0700 and used only when it
 * is a real folder (never followed through a symbolic link) owned by this user with no access for others,
 * so no other user can plant or read files in it.
 *
 * Returns the folder's path, or an empty text when no such folder can be had.
 */
QString PrivateTempDirectory();

/**
 * A fresh folder of one process alone: a new folder with an unguessable name and mode 0700, made inside
 * PrivateTempDirectory() ("process-XXXXXX"), or, when there is no private folder, directly inside $TMPDIR
 * or /tmp ("quenary-process-XXXXXX"), where a fresh name cannot be taken first by anyone else. It is removed
 * with everything in it when the object goes.
 *
 * While it lives it holds a lock on its folder. A process killed before it could remove its folder leaves
 * the folder unlocked, and the next one made in the same private folder removes it.
 */
class TProcessTempDirectory {
public:
  /** Makes the folder for the environment as it is now; IsValid() tells whether that worked. */
  TProcessTempDirectory();
  ~TProcessTempDirectory();
  TProcessTempDirectory(const TProcessTempDirectory&) = delete;
  TProcessTempDirectory& operator=(const TProcessTempDirectory&) = delete;

  bool IsValid() const;
  /** The folder's full path; empty when it could not be made or was removed. */
  QString Path() const;
  /**
   * The folder reached through the descriptor this object holds open ("/proc/self/fd/N" where the system
   * offers that, else Path()). A file named through it lands in this very folder even after the folder was
   * renamed or another was put at its path; once the folder is removed, no file can be made through it.
   */
  QString HeldPath() const;
  /**
   * Whether the folder is still there as this object made it, at its path (a tidy-up of the disk may have
   * removed it, or put another folder in its place).
   */
  bool StillThere() const;
  /** Removes the folder with everything in it now. */
  void Remove();

private:
  bool Make(const QString& pathTemplate);
  std::unique_ptr<QTemporaryDir> folder_;
  // The folder held open: its lock, and the way to it whatever happens to its path.
  int descriptor_ = -1;
  QString heldPath_;
};

/**
 * The temporary folder of this process alone (a TProcessTempDirectory made on first use, and made anew for
 * later users if it vanished). Those who hold the returned folder keep that one: work that began in a folder
 * finds out that the folder went, instead of going on in a new one. It is removed when the process ends
 * (or, made anew meanwhile, when its last holder lets it go), also when the process ends through an
 * exception nobody caught. Two processes never share it, whatever the user runs side by side. Null when no
 * folder can be made, and once the process has begun to end.
 */
std::shared_ptr<TProcessTempDirectory> ProcessTempFolder();

/** The path of ProcessTempFolder(); empty when there is none. */
QString ProcessTempDirectory();
