#include "platform/Registry.h"

#include "platform/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
// Keys are written as "Section/Identifier"; QSettings would read a "/" inside an identifier as a deeper
// group, so such identifiers are kept whole by escaping the separator.
QString KeyOf(const QString& section, const QString& ident) {
  QString escaped = ident;
  escaped.replace(QLatin1Char('/'), QStringLiteral("%2F"));
  return section + QLatin1Char('/') + escaped;
}
}  // namespace

QString TRegIniFile::ConfigurationFolder() {
  const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) return configured;
  return QDir::homePath() + QStringLiteral("/.config");
}

TRegIniFile::TRegIniFile(const QString& name) : fileName_(ConfigurationFolder() + QLatin1Char('/') + name) {
  // Opening creates the store when it is missing, as the registry key it stands for would be.
  if (!QFileInfo::exists(fileName_)) {
    QDir().mkpath(QFileInfo(fileName_).absolutePath());
    QFile file(fileName_);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) file.close();
  }
}

TRegIniFile::~TRegIniFile() = default;

void TRegIniFile::SetAsideIfUnreadable() {
  {
    const QSettings settings(fileName_, QSettings::IniFormat);
    (void)settings.allKeys();  // the file is parsed on first use; only then is its status known
    if (settings.status() != QSettings::FormatError) return;
  }
  // A store that cannot be parsed would refuse every write for good; keep its bytes for the user beside it
  // and start a fresh one.
  const QString kept = fileName_ + QStringLiteral(".unreadable");
  QFile::remove(kept);
  if (!QFile::rename(fileName_, kept)) {
    throw Exception(
        QStringLiteral("The settings file %1 cannot be read and cannot be set aside.").arg(fileName_));
  }
}

QString TRegIniFile::ReadString(const QString& section, const QString& ident, const QString& fallback) const {
  const QSettings settings(fileName_, QSettings::IniFormat);
  const QVariant value = settings.value(KeyOf(section, ident));
  if (!value.isValid()) return fallback;
  // A value the INI syntax turned into a list ("a, b") is still one text to us.
  if (value.userType() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", "));
  return value.toString();
}

void TRegIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  WriteStrings(section, {{ident, value}});
}

void TRegIniFile::WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values) {
  SetAsideIfUnreadable();
  QSettings settings(fileName_, QSettings::IniFormat);
  for (const auto& [ident, value] : values) settings.setValue(KeyOf(section, ident), value);
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw Exception(QStringLiteral("Cannot write the settings file %1.").arg(fileName_));
  }
}
