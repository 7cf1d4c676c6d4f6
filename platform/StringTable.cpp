#include "platform/StringTable.h"

namespace {
QHash<int, QString>& Table() {
  static QHash<int, QString> table;
  return table;
}
}  // namespace

void SetStringTable(const QHash<int, QString>& table) { Table() = table; }

QString LoadStr(int identifier) { return Table().value(identifier); }
