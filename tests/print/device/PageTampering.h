#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <functional>
#include <sys/stat.h>
#include <vector>

// What a hostile environment does to a job's page files between their recording and their printing: a
// desktop tidying its runtime folder at log-out, another program, a full disk that cut a file short.

/** One way of spoiling a page file of the folder, page numbers from 1. */
struct PageTampering {
  const char* Name;
  /** Spoils page `page` of the files in `folder` (named like PRN001.EMF); other pages stay as they are. */
  std::function<void(const QString& folder, int page)> Apply;
  /** Whether the folder as a whole is gone afterwards. */
  bool FolderGone = false;
};

inline QString TamperedPageFile(const QString& folder, int page) {
  return QDir(folder).filePath(QString::asprintf("PRN%.3d.EMF", page));
}

/** Every way the page files of a job were seen to go wrong. */
inline std::vector<PageTampering> PageTamperings() {
  const auto file = TamperedPageFile;
  return {
      {"deleted", [file](const QString& f, int p) { QFile::remove(file(f, p)); }},
      {"cut short",
       [file](const QString& f, int p) {
         QFile page(file(f, p));
         page.open(QIODevice::ReadWrite);
         page.resize(page.size() / 2);
       }},
      {"junk",
       [file](const QString& f, int p) {
         QFile page(file(f, p));
         page.open(QIODevice::WriteOnly | QIODevice::Truncate);
         page.write("junk, not a page");
       }},
      {"another page of the job",
       [file](const QString& f, int p) {
         QFile::remove(file(f, p));
         QFile::copy(file(f, p == 1 ? 2 : 1), file(f, p));
       }},
      {"a link to another page",
       [file](const QString& f, int p) {
         QFile::remove(file(f, p));
         QFile::link(file(f, p == 1 ? 2 : 1), file(f, p));
       }},
      {"a pipe",
       [file](const QString& f, int p) {
         QFile::remove(file(f, p));
         ::mkfifo(QFile::encodeName(file(f, p)).constData(), 0600);
       }},
      {"the page folder removed", [](const QString& f, int) { QDir(f).removeRecursively(); }, true},
  };
}
