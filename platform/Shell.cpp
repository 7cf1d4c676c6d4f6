#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {
// A scheme of at least two characters, so a drive letter ("C:\...") is not taken for one.
bool StartsWithScheme(const QString& file) {
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
  return scheme.match(file).hasMatch();
}
}  // namespace

int ShellExecute(QWidget*, const QString& operation, const QString& file, const QString&,
                 const QString& directory, int) {
  if (!operation.isEmpty() && operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0) {
    return SE_ERR_NOASSOC;
  }
  if (file.trimmed().isEmpty()) return ERROR_FILE_NOT_FOUND;
  QUrl target;
  if (StartsWithScheme(file)) {
    target = QUrl(file, QUrl::TolerantMode);
  } else {
    const QString path =
        QDir::isRelativePath(file) && !directory.isEmpty() ? QDir(directory).filePath(file) : file;
    const QFileInfo info(path);
    if (!info.exists()) return ERROR_FILE_NOT_FOUND;
    target = QUrl::fromLocalFile(info.absoluteFilePath());
  }
  if (!target.isValid()) return ERROR_FILE_NOT_FOUND;
  return QDesktopServices::openUrl(target) ? ShellExecuteSuccess : SE_ERR_NOASSOC;
}
