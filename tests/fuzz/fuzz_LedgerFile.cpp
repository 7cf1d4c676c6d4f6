// Ledger files as the ledger program opens them: any file is either refused with EDatabaseError or accepted,
// and an accepted one reads record by record with every field shown as the ledger window shows it. The file
// is only ever read: its bytes stay as they were.
#include "ledger/LedgerFile.h"
#include "platform/data/DB.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QDir>

namespace {
QDir LedgerFolder() {
  QDir folder(FuzzFolder());
  folder.mkpath(QStringLiteral("ledger"));
  folder.cd(QStringLiteral("ledger"));
  return folder;
}

void ReadEntries(const QString& fileName) {
  TTable table;
  table.SetDatabaseName(fileName);
  table.SetTableName(LedgerFile::Table);
  // A damaged file may fail part way through; what was read up to there was read whole.
  try {
    table.Open();
    if (auto* amount = dynamic_cast<TNumericField*>(table.FieldByName(QStringLiteral("amount"))))
      amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
    int records = 0;
    for (table.First(); !table.Eof() && records < 64; table.Next(), ++records) {
      for (int index = 0; index < table.FieldCount(); ++index) {
        table.Fields(index)->AsString();
        table.Fields(index)->DisplayText();
      }
    }
  } catch (const EDatabaseError&) {
  }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QDir folder = LedgerFolder();
  folder.removeRecursively();
  folder = LedgerFolder();
  const QString fileName = folder.filePath(QStringLiteral("ledger.sqlite"));
  const QByteArray input = InputBytes(data, size);
  WriteFuzzFile(fileName, input);

  bool accepted = true;
  try {
    LedgerFile::Check(fileName);
  } catch (const EDatabaseError& error) {
    FuzzCheck(error.Message().contains(fileName), "a refusal names the file");
    accepted = false;
  }
  if (accepted) ReadEntries(fileName);

  // SQLite itself may put its shared-memory index beside a file in write-ahead mode; the file stays as it
  // was.
  FuzzCheck(ReadFuzzFile(fileName) == input, "a ledger file is only read");
  return 0;
}
