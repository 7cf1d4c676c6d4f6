#pragma once

// The one way the program writes a database (a sample ledger, test data): whole in one go, or not at all.

#include <QString>
#include <QVariantList>
#include <memory>

/**
 * Writes a SQLite database file for the programs that make one (a sample ledger, test data): statements with
 * bound values, all in one transaction that Commit ends. Data sets only ever read; this is the one way the
 * program writes a database. A writer dropped without Commit rolls everything back, so a file is never left
 * half made. Failures raise EDatabaseError naming the file and the statement's error.
 */
class TDatabaseWriter {
public:
  /** Opens the file for writing, making it when it is missing. */
  explicit TDatabaseWriter(const QString& fileName);
  ~TDatabaseWriter();
  TDatabaseWriter(const TDatabaseWriter&) = delete;
  TDatabaseWriter& operator=(const TDatabaseWriter&) = delete;

  /** Runs one statement with its "?" placeholders bound to the values in order. */
  void Execute(const QString& statement, const QVariantList& values = QVariantList());
  /** Makes everything written so far part of the file. */
  void Commit();

private:
  class Private;
  std::unique_ptr<Private> d_;
};
