#include "app/URL.h"

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/Shell.h"

QString URLTypePrefix(TURLType type) {
  switch (type) {
    case utFile: return QStringLiteral("file://");
    case utFtp: return QStringLiteral("ftp://");
    case utGopher: return QStringLiteral("gopher://");
    case utHttp: return QStringLiteral("http://");
    case utHttps: return QStringLiteral("https://");
    case utMailto: return QStringLiteral("mailto:");
    case utNews: return QStringLiteral("news:");
    case utTelnet: return QStringLiteral("telnet:");
    case utWais: return QStringLiteral("wais:");
  }
  return {};
}

int ShellRun(const QString& file, const QString& parameters, const QString& directory, int showMode) {
  return ShellExecute(Application().MainForm(), QString(), file, parameters, directory, showMode);
}

TURL::TURL(QObject* owner) : QObject(owner) {}

bool TURL::Launch() {
  if (url_.isEmpty()) return false;
  return ShellRun(Target(), QString(), QString(), SW_SHOWNOACTIVATE) > 32;
}
