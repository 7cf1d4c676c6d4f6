#pragma once

// The ledger file: where the user's own lives, making a sample one, and telling a ledger from any other file.

#include <QString>

/** The ledger file: a SQLite file with the table ledger(id, posted, payee, note, amount). */
namespace LedgerFile {
inline const QString Table = QStringLiteral("ledger");

/** Where the ledger lives unless the command line names a file: the user's data folder. */
QString DefaultFile();

/**
 * Makes a new ledger file with that many sample entries (dated, a payee and a note each, amounts in cents),
 * with indexes on the date, the payee and the amount so those columns can be sorted. An existing file is
 * never touched: making one over it fails with EDatabaseError, as does any failure to write (and then no file
 * is left).
 */
void MakeSample(const QString& fileName, int entries);

/**
 * Fails with EDatabaseError, in one sentence naming the file, when it is missing, no SQLite database, or has
 * no table "ledger" with the columns id, posted, payee, note and amount, or its amount column is of a kind
 * whose values the grid printer does not add up (TEXT, NUMERIC, no type); with EDatabaseUnavailable when it
 * cannot be read or another program keeps it busy for longer than a few seconds. Only reads the file.
 */
void Check(const QString& fileName);
}  // namespace LedgerFile
