#pragma once

// The per-user INI settings store, written so a file edited by hand keeps everything the user put in it.

#include <QList>
#include <QPair>
#include <QString>

/**
 * A per-user INI store in the standard configuration folder ($XDG_CONFIG_HOME, usually ~/.config), in the
 * shape of the framework's INI-style registry wrapper: sections of named string values. Opening creates the
 * store if it is missing (also when only reading); every value is read and written as text.
 *
 * The user may edit the file by hand, so a write changes only the line that gives a written identifier its
 * value (of an identifier given twice, the first, as a read takes the first), or adds a line after the
 * section's last entry, or a new section at the end, and keeps every other byte of the file: comments, other
 * sections and identifiers and their order, spacing, line breaks, and lines that are no entry at all.
 * Identifiers are written as they are named ("View Background=1234"); a value with blanks at either end, or
 * one that starts and ends with a double quote, is written between double quotes, which a read takes off
 * again. A write is read back before it is made, and one whose values would not read back as written fails
 * with an Exception; it replaces the file at once (a full disk or a crash half-way leaves the old one) and
 * goes through a symbolic link to the file it names.
 *
 * A store that is not a plain file or is larger than MaximumFileSize is refused by every read and write with
 * an Exception naming the file; it is never renamed, emptied or deleted.
 */
class TRegIniFile {
public:
  /** The largest store that is read or written; a hand-kept settings file is a few hundred bytes. */
  static constexpr qint64 MaximumFileSize = 1024 * 1024;

  /** Opens (and creates, when missing) the store of that file name in the configuration folder. */
  explicit TRegIniFile(const QString& name);
  ~TRegIniFile();
  TRegIniFile(const TRegIniFile&) = delete;
  TRegIniFile& operator=(const TRegIniFile&) = delete;

  /**
   * The identifier's value, or the fallback when the section or identifier is absent (of an identifier
   * written twice by hand, the first). Fails with an Exception naming the file when the store is refused or
   * cannot be read.
   */
  QString ReadString(const QString& section, const QString& ident, const QString& fallback) const;

  /**
   * Stores the value; the change is on disk when this returns. An identifier already in the section keeps
   * its place, a new one is added at the end of the section. Fails with an Exception naming the file when
   * the store is refused or cannot be written, or when the value holds a line break, leaving what was stored
   * before as it was.
   */
  void WriteString(const QString& section, const QString& ident, const QString& value);

  /** Stores several values of one section in the order given, with a single write of the file. */
  void WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values);

  /** Full path of the store's file. */
  QString FileName() const { return fileName_; }

  /** The folder stores live in: $XDG_CONFIG_HOME, else ~/.config. */
  static QString ConfigurationFolder();

private:
  QString fileName_;
};
