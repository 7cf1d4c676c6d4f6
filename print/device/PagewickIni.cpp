#include "print/device/PagewickIni.h"

#include "platform/Registry.h"
#include "platform/SysUtils.h"

#include <QHash>
#include <QList>
#include <QPair>

namespace PagewickIni {

namespace {
// The settings of a job the store could not take: this run reads them instead of the store's older values,
// so its preview and its printing still follow the job, until the store takes a write again.
QHash<QString, QString>& Unsaved() {
  static QHash<QString, QString> values;
  return values;
}

void Write(const QList<QPair<QString, QString>>& values) {
  try {
    TRegIniFile store(StoreName);
    store.WriteStrings(Section, values);
  } catch (const Exception&) {
    for (const auto& [ident, value] : values) Unsaved().insert(ident, value);
    throw;
  }
  for (const auto& [ident, value] : values) Unsaved().remove(ident);
}
}  // namespace

QString ReadString(const QString& ident, const QString& fallback) {
  const auto unsaved = Unsaved().constFind(ident);
  if (unsaved != Unsaved().constEnd()) return unsaved.value();
  const TRegIniFile store(StoreName);
  return store.ReadString(Section, ident, fallback);
}

int ReadInteger(const QString& ident, const QString& fallback) {
  return StrToInt(ReadString(ident, fallback), TIntegerSyntax::StrictDecimal);
}

void WriteString(const QString& ident, const QString& value) { Write({{ident, value}}); }

int PageHeight() { return ReadInteger(QStringLiteral("PageHeight"), QStringLiteral("3112")); }
int PageWidth() { return ReadInteger(QStringLiteral("PageWidth"), QStringLiteral("2400")); }
QString Orientation() { return ReadString(QStringLiteral("Orientation"), QStringLiteral("Portrait")); }
bool IsPortrait() { return Orientation() == QLatin1String("Portrait"); }
int ViewBackground() { return ReadInteger(QStringLiteral("View Background"), QStringLiteral("1234")); }
QString PreviewHeading() {
  return ReadString(QStringLiteral("Preview Heading"), QStringLiteral("Tarnvale Preview"));
}
int PrinterIndex() { return ReadInteger(QStringLiteral("PrinterIndex"), QStringLiteral("-1")); }
QString ZoomFactor() { return ReadString(QStringLiteral("ZoomFactor"), QStringLiteral("100.0")); }
QString Directory() { return ReadString(QStringLiteral("Directory"), QStringLiteral(".")); }

void WriteJob(const JobSettings& settings) {
  Write({{QStringLiteral("PageHeight"), QString::number(settings.PageHeight)},
         {QStringLiteral("PageWidth"), QString::number(settings.PageWidth)},
         {QStringLiteral("Orientation"),
          settings.Landscape ? QStringLiteral("Landscape") : QStringLiteral("Portrait")},
         {QStringLiteral("View Background"), QString::number(settings.ViewBackground)},
         {QStringLiteral("Preview Heading"), settings.PreviewHeading},
         {QStringLiteral("PrinterName"), settings.PrinterName},
         {QStringLiteral("PrinterIndex"), QString::number(settings.PrinterIndex)},
         {QStringLiteral("ZoomFactor"), FloatToStr(settings.ZoomFactor)},
         {QStringLiteral("Directory"), settings.Directory}});
}

}  // namespace PagewickIni
