#pragma once

#include <QString>
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

/** Directory that holds the test program's private settings and runtime files (set up by the test main). */
QString TestHomeDirectory();
