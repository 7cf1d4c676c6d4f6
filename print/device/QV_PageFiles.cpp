#include "print/device/QV_PageFiles.h"

#include "platform/SysUtils.h"
#include "platform/TempDirectory.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>

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

void DeletePageFiles(TSendTo target) { DeletePageFilesIn(PageDirectory(), target); }

void DeletePageFilesIn(const QString& folder, TSendTo target) {
  if (folder.isEmpty()) return;
  const QDir directory(folder);
  const QString suffix = QLatin1Char('.') + Extension(target);
  // The names are tested here rather than by a name filter, which would build a pattern on every call.
  QStringList candidates;
  for (QDirIterator entries(folder, QDir::Files | QDir::System | QDir::Hidden); entries.hasNext();) {
    entries.next();
    candidates.append(entries.fileName());
  }
  // PRN, three or more digits, the suffix: a page file of this kind and nothing else.
  const auto isPageFile = [&suffix](const QString& name) {
    if (!name.startsWith(QLatin1String("PRN")) || !name.endsWith(suffix)) return false;
    const QStringView digits = QStringView(name).mid(3, name.size() - 3 - suffix.size());
    return digits.size() >= 3 &&
           std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
  };
  for (const QString& name : candidates) {
    if (isPageFile(name)) QFile::remove(directory.filePath(name));
  }
}
