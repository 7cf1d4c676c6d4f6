#pragma once

#include <QString>

/** The ledger table and its columns, as the ledger window and its printout read them. */
namespace LedgerFile {
inline const QString Table = QStringLiteral("entries");

/** Where the ledger lives unless the command line names a file: the user's data folder. */
QString DefaultFile();

/**
 * Makes a new ledger file with that many sample entries (dated, one payee and category each, amounts in
 * cents), with indexes on the date, the payee and the amount so those columns can be sorted. An existing file
 * is never touched: making one over it fails with EDatabaseError, as does any failure to write (and then no
 * file is left).
 */
void MakeSample(const QString& fileName, int entries);
}  // namespace LedgerFile
