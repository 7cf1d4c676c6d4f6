#include "print/device/QV_PageFiles.h"

#include "platform/SysUtils.h"
#include "platform/TempDirectory.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {
QString Extension(TSendTo target) { return target == poHTML ? QStringLiteral("HTM") : QStringLiteral("EMF"); }
}  // namespace

QString PageDirectory() { return ProcessTempDirectory(); }

QString PageFileNameIn(const QString& directory, int pageNumber, TSendTo target) {
  const QString name = QString::asprintf("PRN%.3d.", pageNumber) + Extension(target);
  if (directory.isEmpty()) return name;
  return directory.endsWith(QLatin1Char('/')) ? directory + name : directory + QLatin1Char('/') + name;
}

QString PageFileNameFor(int pageNumber, TSendTo target) {
  const QString folder = PageDirectory();
  if (folder.isEmpty()) {
    throw Exception(
        QStringLiteral("No private folder for the page files can be made: neither the runtime "
                       "folder nor $TMPDIR or /tmp can take one."));
  }
  return PageFileNameIn(folder, pageNumber, target);
}

void DeletePageFiles(TSendTo target) {
  const QString folder = PageDirectory();
  if (folder.isEmpty()) return;
  const QDir directory(folder);
  const QRegularExpression pageName(QStringLiteral("^PRN[0-9]{3,}\\.%1$").arg(Extension(target)));
  const QStringList candidates = directory.entryList({QStringLiteral("PRN*.") + Extension(target)},
                                                     QDir::Files | QDir::System | QDir::Hidden);
  for (const QString& name : candidates) {
    if (pageName.match(name).hasMatch()) QFile::remove(directory.filePath(name));
  }
}
