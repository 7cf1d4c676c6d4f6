// The ordering clause a sortable grid writes into a query, rewritten into the words SQLite knows: whatever
// the statement, only the spelled-out ordering words change, so a statement without them stays as it is, the
// rewrite never grows it and a second rewrite changes nothing.
#include "platform/data/SqlOrdering.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstring>

namespace {
// Besides UTF-8 text, any sequence of UTF-16 code units, lone surrogates included.
QString Statement(const std::uint8_t* data, std::size_t size) {
  if (data[0] % 2 == 0)
    return QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  QString statement(static_cast<qsizetype>((size - 1) / 2), Qt::Uninitialized);
  std::memcpy(statement.data(), data + 1, static_cast<std::size_t>(statement.size()) * sizeof(char16_t));
  return statement;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const QString statement = Statement(data, size);
  const QString rewritten = WithSqliteOrderingWords(statement);
  FuzzCheck(rewritten.size() <= statement.size(), "the rewrite never makes a statement longer");
  FuzzCheck(WithSqliteOrderingWords(rewritten) == rewritten, "a rewritten statement stays as it is");
  if (!statement.contains(QLatin1String("ascending"), Qt::CaseInsensitive) &&
      !statement.contains(QLatin1String("descending"), Qt::CaseInsensitive))
    FuzzCheck(rewritten == statement, "a statement without ordering words stays as it is");
  return 0;
}
