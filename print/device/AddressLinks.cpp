#include "print/device/AddressLinks.h"

#include <QRegularExpression>

std::vector<TAddressSpan> FindAddresses(const QString& text) {
  std::vector<TAddressSpan> spans;
  // Most printed texts (amounts, names, dates) hold none: they are passed over without the expression.
  if (!text.contains(QLatin1Char('@')) && !text.contains(QLatin1String("://")) &&
      !text.contains(QLatin1String("www."), Qt::CaseInsensitive)) {
    return spans;
  }
  static const QRegularExpression address(
      QStringLiteral("\\b(?:(https?://)|(www\\.))[^\\s<>\"']+|"
                     "\\b[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}\\b"),
      QRegularExpression::CaseInsensitiveOption);
  for (auto matches = address.globalMatch(text); matches.hasNext();) {
    const QRegularExpressionMatch match = matches.next();
    QString found = match.captured(0);
    while (!found.isEmpty() && QStringLiteral(".,;:!?)]}").contains(found.back())) found.chop(1);
    const bool web = match.capturedLength(1) > 0 || match.capturedLength(2) > 0;
    if (web && found.size() <= match.capturedLength(1) + match.capturedLength(2)) continue;  // nothing after
    QString target = found;
    if (!web) {
      target.prepend(QLatin1String("mailto:"));
    } else if (match.capturedLength(2) > 0) {
      target.prepend(QLatin1String("https://"));
    }
    spans.push_back({match.capturedStart(0), found.size(), target});
  }
  return spans;
}
