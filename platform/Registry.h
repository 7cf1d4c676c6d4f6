#pragma once

#include <QList>
#include <QPair>
#include <QString>

/**
 * A per-user INI store in the standard configuration folder ($XDG_CONFIG_HOME, usually ~/.config), in the
 * shape of the framework's INI-style registry wrapper: sections of named string values. Opening creates the
 * store if it is missing (also when only reading); every value is read and written as text.
 */
class TRegIniFile {
public:
  /** Opens (and creates, when missing) the store of that file name in the configuration folder. */
  explicit TRegIniFile(const QString& name);
  ~TRegIniFile();
  TRegIniFile(const TRegIniFile&) = delete;
  TRegIniFile& operator=(const TRegIniFile&) = delete;

  /** The identifier's value, or the fallback when the section or identifier is absent. */
  QString ReadString(const QString& section, const QString& ident, const QString& fallback) const;

  /**
   * Stores the value; the change is on disk when this returns. Fails with an Exception naming the file when
   * the store cannot be written, leaving what was stored before as it was. A store that cannot be parsed is
   * kept beside the new one as "<name>.unreadable" before the value is written.
   */
  void WriteString(const QString& section, const QString& ident, const QString& value);

  /** Stores several values of one section in the order given, with a single write of the file. */
  void WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values);

  /** Full path of the store's file. */
  QString FileName() const { return fileName_; }

  /** The folder stores live in: $XDG_CONFIG_HOME, else ~/.config. */
  static QString ConfigurationFolder();

private:
  void SetAsideIfUnreadable();
  QString fileName_;
};
