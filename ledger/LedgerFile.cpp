#include "ledger/LedgerFile.h"

#include "platform/data/DB.h"
#include "platform/data/DatabaseWriter.h"

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
const std::array<const char*, 6> Categories = {"Food",   "Household", "Transport",
                                               "Health", "Leisure",   "Bills"};
const std::array<const char*, 5> Notes = {"", "weekly", "monthly standing order", "card", "cash"};

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

void LedgerFile::MakeSample(const QString& fileName, int entries) {
  if (QFileInfo::exists(fileName))
    throw EDatabaseError(
        QStringLiteral("The ledger file \"%1\" already exists; it is left as it is").arg(fileName));
  QDir().mkpath(QFileInfo(fileName).absolutePath());
  try {
    TDatabaseWriter writer(fileName);
    writer.Execute(
        QStringLiteral("CREATE TABLE entries (id INTEGER PRIMARY KEY, entry_date DATE NOT NULL, "
                       "payee VARCHAR(40) NOT NULL, category VARCHAR(20), note VARCHAR(60), "
                       "amount CURRENCY NOT NULL)"));
    writer.Execute(QStringLiteral("CREATE INDEX entries_date ON entries (entry_date)"));
    writer.Execute(QStringLiteral("CREATE INDEX entries_payee ON entries (payee)"));
    writer.Execute(QStringLiteral("CREATE INDEX entries_amount ON entries (amount)"));
    SampleNumbers numbers;
    QDate date(2026, 1, 2);
    const QString insert = QStringLiteral(
        "INSERT INTO entries (entry_date, payee, category, note, amount) VALUES (?, ?, ?, ?, ?)");
    for (int entry = 0; entry < entries; ++entry) {
      if (numbers.Next() % 3 == 0) date = date.addDays(1);
      const std::uint32_t payee = numbers.Next() % Payees.size();
      const double amount = static_cast<double>(numbers.Next() % 25000 + 150) / 100.0;
      writer.Execute(insert, {date.toString(Qt::ISODate), QString::fromLatin1(Payees.at(payee)),
                              QString::fromLatin1(Categories.at(payee % Categories.size())),
                              QString::fromLatin1(Notes.at(numbers.Next() % Notes.size())), amount});
    }
    writer.Commit();
  } catch (...) {
    QFile::remove(fileName);
    throw;
  }
}
