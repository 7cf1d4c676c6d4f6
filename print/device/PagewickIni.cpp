#include "print/device/PagewickIni.h"

#include "platform/Registry.h"
#include "platform/SysUtils.h"

namespace PagewickIni {

QString ReadString(const QString& ident, const QString& fallback) {
  const TRegIniFile store(StoreName);
  return store.ReadString(Section, ident, fallback);
}

int ReadInteger(const QString& ident, const QString& fallback) {
  return StrToInt(ReadString(ident, fallback), TIntegerSyntax::StrictDecimal);
}

void WriteString(const QString& ident, const QString& value) {
  TRegIniFile store(StoreName);
  store.WriteString(Section, ident, value);
}

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
  TRegIniFile store(StoreName);
  store.WriteStrings(Section,
                     {{QStringLiteral("PageHeight"), QString::number(settings.PageHeight)},
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
