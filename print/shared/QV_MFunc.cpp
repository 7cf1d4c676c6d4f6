#include "print/shared/QV_MFunc.h"

#include "platform/SysUtils.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>

TQVComponent::TQVComponent(QObject* owner) : QObject(owner), about_(QStringLiteral("Version 7.5")) {}

void TQVComponent::Execute() {}

QString TQVComponent::ComponentDescription() const { return QString(); }

QString LoadTextOr(int identifier, const QString& fallback) {
  const QString text = LoadStr(identifier);
  return text.isEmpty() ? fallback : text;
}

void FillPrintRecord(int left, int top, int right, int bottom, TQVPrint& record, DrawingContext* context) {
  record.Left = left;
  record.Top = top;
  record.OriginLeft = left;
  record.OriginTop = top;
  record.Right = right;
  record.Bottom = bottom;
  record.Context = context;
}

std::vector<int> PagesWithCopies(const std::vector<int>& pages, int copies, bool collate) {
  const std::size_t each = static_cast<std::size_t>(std::max(1, copies));
  std::vector<int> plan;
  plan.reserve(pages.size() * each);
  if (collate) {
    for (std::size_t copy = 0; copy < each; ++copy) plan.insert(plan.end(), pages.begin(), pages.end());
  } else {
    for (const int page : pages) plan.insert(plan.end(), each, page);
  }
  return plan;
}

bool ShowOnPage(TShow kind, int pass, bool last) {
  const bool first = pass == 1;
  switch (kind) {
    case tFirstPage: return first;
    case tLastPage: return last;
    case tAllPages: return true;
    case tAllButFirst: return !first;
    case tAllButLast: return !last;
    case tFirstAndlast: return first || last;
    case tAllButFirstAndLast: return !first && !last;
  }
  return false;
}

namespace {
bool OnlySpaces(const QString& text) {
  for (const QChar character : text) {
    if (character != QLatin1Char(' ')) return false;
  }
  return true;
}
}  // namespace

void TrimTrailingSpaces(QString& text) {
  if (OnlySpaces(text)) return;
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) --end;
  text.truncate(end);
}

void TrimLeadingSpaces(QString& text) {
  if (OnlySpaces(text)) return;
  qsizetype start = 0;
  while (start < text.size() && text.at(start) == QLatin1Char(' ')) ++start;
  text.remove(0, start);
}

bool IsNumberText(const QString& text) {
  for (const QChar character : text) {
    if (!(character >= QLatin1Char('0') && character <= QLatin1Char('9')) && character != QLatin1Char('.')) {
      return false;
    }
  }
  return true;
}

long long RoundDiv(double a, double b) {
  if (b == 0.0) throw Exception(QStringLiteral("Division by zero"));
  return RoundHalfEven(a / b);
}

long long TruncDiv(int a, int b) {
  if (b == 0) throw Exception(QStringLiteral("Division by zero"));
  return static_cast<long long>(std::trunc(static_cast<double>(a) / static_cast<double>(b)));
}
