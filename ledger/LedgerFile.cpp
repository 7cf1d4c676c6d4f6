#include "ledger/LedgerFile.h"

#include "platform/Application.h"
#include "platform/AtomicFile.h"
#include "platform/SysUtils.h"
#include "platform/TempDirectory.h"
#include "platform/data/DB.h"
#include "platform/data/DBTables.h"
#include "platform/data/DatabaseWriter.h"
#include "platform/data/Fields.h"
#include "print/engine/DBPrnWin.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariantList>
#include <array>
#include <cstdint>

namespace {
const std::array<const char*, 12> Payees = {"Aster Bakery",      "Brightwater Power", "Cobalt Books",
                                            "Dunmore Garage",    "Elm Street Rent",   "Fennel Grocers",
                                            "Granite Insurance", "Harbour Telecom",   "Iris Pharmacy",
                                            "Juniper Cafe",      "Kestrel Transit",   "Linden Clinic"};
const std::array<const char*, 6> Notes = {"groceries", "household", "transport",
                                          "health",    "leisure",   "bills"};
const std::array<const char*, 5> Ways = {"", ", weekly", ", standing order", ", card", ", cash"};
const std::array<const char*, 5> Columns = {"id", "posted", "payee", "note", "amount"};

// A small generator of our own, so the sample is the same on every machine and every run.
class SampleNumbers {
public:
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }

private:
  std::uint32_t state_ = 20261208u;
};
}  // namespace

QString LedgerFile::DefaultFile() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/.local/share");
  return QDir(folder).filePath(QStringLiteral("quenary/ledger.sqlite"));
}

namespace {
// Fills a new database file with the sample; stops with EInterrupted at the next batch after a stop signal.
void WriteSample(const QString& workFile, int entries) {
  TDatabaseWriter writer(workFile);
  writer.Execute(
      QStringLiteral("CREATE TABLE ledger (id INTEGER PRIMARY KEY, posted DATE, payee VARCHAR(40), "
                     "note TEXT, amount CURRENCY)"));
  writer.Execute(QStringLiteral("CREATE INDEX ledger_posted ON ledger (posted)"));
  writer.Execute(QStringLiteral("CREATE INDEX ledger_payee ON ledger (payee)"));
  writer.Execute(QStringLiteral("CREATE INDEX ledger_amount ON ledger (amount)"));
  SampleNumbers numbers;
  QDate date(2026, 1, 2);
  const QString insert =
      QStringLiteral("INSERT INTO ledger (posted, payee, note, amount) VALUES (?, ?, ?, ?)");
  constexpr int Batch = 1024;
  for (int entry = 0; entry < entries; ++entry) {
    if (entry % Batch == 0) Application().ThrowIfInterrupted();
    if (numbers.Next() % 3 == 0) date = date.addDays(1);
    const std::uint32_t payee = numbers.Next() % Payees.size();
    const double amount = static_cast<double>(numbers.Next() % 25000 + 150) / 100.0;
    const QString note = QString::fromLatin1(Notes.at(payee % Notes.size())) +
                         QString::fromLatin1(Ways.at(numbers.Next() % Ways.size()));
    writer.Execute(insert, {date.toString(Qt::ISODate), QString::fromLatin1(Payees.at(payee)), note, amount});
  }
  Application().ThrowIfInterrupted();
  writer.Commit();
}

// Copies a file's bytes into the new file; false with the reason when either side fails.
bool CopyInto(const QString& from, TAtomicFile& to, QString& reason) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) {
    reason = source.errorString();
    return false;
  }
  QByteArray chunk(1024 * 1024, Qt::Uninitialized);
  for (;;) {
    const qint64 count = source.read(chunk.data(), chunk.size());
    if (count < 0) {
      reason = source.errorString();
      return false;
    }
    if (count == 0) return true;
    if (to.write(chunk.constData(), count) != count) {
      reason = to.errorString();
      return false;
    }
  }
}
}  // namespace

void LedgerFile::MakeSample(const QString& fileName, int entries) {
  const auto exists = [&fileName] {
    return EDatabaseError(QStringLiteral("The ledger file \"%1\" already exists; it is left as it is")
                              .arg(ShownName(fileName)));
  };
  if (QFileInfo::exists(fileName)) throw exists();
  QDir().mkpath(QFileInfo(fileName).absolutePath());
  // The ledger is made in the process's private folder, which goes with the process (and, should the process
  // be killed, with the next run's tidy-up), and is then copied into a file that takes its name only whole
  // and never over a file that appeared meanwhile. Nothing half made is ever left beside the user's files.
  const std::shared_ptr<TProcessTempDirectory> work = ProcessTempFolder();
  TAtomicFile file(fileName, TAtomicFile::TMode::NoReplace,
                   work ? TAtomicFile::TTemporary::Unnamed : TAtomicFile::TTemporary::Named);
  const auto failed = [&fileName](const QString& reason) {
    return EDatabaseError(
        QStringLiteral("Cannot write the ledger file \"%1\": %2").arg(ShownName(fileName), reason));
  };
  if (!file.Open()) throw QFileInfo::exists(fileName) ? exists() : failed(file.errorString());
  // Without a private folder the database engine writes the new file beside the target, under its own name.
  const QString workFile =
      work ? QDir(work->Path()).filePath(QStringLiteral("sample-ledger.sqlite")) : file.TemporaryFileName();
  const QStringList workFiles = {workFile, workFile + QStringLiteral("-journal")};
  struct WorkFilesGo {
    const QStringList& files;
    bool beside;
    ~WorkFilesGo() {
      // The file beside the target is the atomic file's own; it goes with it.
      for (qsizetype index = beside ? 1 : 0; index < files.size(); ++index) QFile::remove(files.at(index));
    }
  } workFilesGo{workFiles, !work};
  try {
    QFile::remove(workFile);
    WriteSample(workFile, entries);
  } catch (const EDatabaseError& error) {
    throw EDatabaseError(QString(error.Message()).replace(ShownName(workFile), ShownName(fileName)));
  }
  QString reason;
  if (work && !CopyInto(workFile, file, reason)) throw failed(reason);
  if (!file.Commit()) throw QFileInfo::exists(fileName) ? exists() : failed(file.errorString());
}

void LedgerFile::Check(const QString& fileName) {
  if (!QFileInfo::exists(fileName))
    throw EDatabaseError(QStringLiteral("The ledger file \"%1\" does not exist").arg(ShownName(fileName)));
  TTable table;
  table.SetDatabaseName(fileName);
  table.SetTableName(Table);
  try {
    table.Open();
  } catch (const EDatabaseUnavailable&) {
    // A ledger that is busy or unreadable may be a fine ledger: said as it is.
    throw;
  } catch (const EDatabaseError& error) {
    throw EDatabaseError(
        QStringLiteral("\"%1\" is no ledger file: %2").arg(ShownName(fileName), error.Message()));
  }
  for (const char* column : Columns) {
    if (table.FindField(QString::fromLatin1(column)) == nullptr)
      throw EDatabaseError(
          QStringLiteral("\"%1\" is no ledger file: its table \"ledger\" has no column \"%2\"")
              .arg(ShownName(fileName), QString::fromLatin1(column)));
  }  // Amounts in a column of another kind (TEXT, NUMERIC, none) would print while the totals beneath them
  // stayed 0.00: the grid printer sums only number columns.
  const TField* amount = table.FindField(QStringLiteral("amount"));
  if (!IsSummedFieldType(amount->DataType())) {
    const QString declared = amount->DeclaredType().trimmed();
    throw EDatabaseError(
        QStringLiteral("\"%1\" is no ledger file: its column \"amount\" is declared %2, so its amounts could "
                       "not be added up; a ledger declares it CURRENCY, REAL or INTEGER")
            .arg(ShownName(fileName), declared.isEmpty() ? QStringLiteral("without a type")
                                                         : QStringLiteral("as ") + ShownName(declared)));
  }
}
