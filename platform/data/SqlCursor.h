#pragma once

// The read-only SQLite connection and forward-only statements through which data sets read their records.

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

class QSqlQuery;

/**
 * A read-only SQLite connection to one database file, of one data set alone. Data sets never write: the file
 * is opened read-only, so no statement run through a data set can change it, and a missing file is never
 * created.
 */
class SqlConnection {
public:
  /** Opens the file; fails with EDatabaseError when it is missing, is no regular file or no SQLite database.
   */
  explicit SqlConnection(const QString& fileName);
  ~SqlConnection();
  SqlConnection(const SqlConnection&) = delete;
  SqlConnection& operator=(const SqlConnection&) = delete;

  QSqlDatabase Database() const;
  const QString& FileName() const { return fileName_; }
  /** Every row of a small statement (a catalogue query) with bound values; fails with EDatabaseError. */
  std::vector<std::vector<QVariant>> Rows(const QString& statement, const QVariantList& values = {}) const;

private:
  QString fileName_;
  QString connectionName_;
};

/** A column of a statement's result as SQLite describes it. */
struct SqlColumn {
  QString Name;
  /** The declared type of the column it comes from; empty for a computed column. */
  QString DeclaredType;
  /** The column is its table's INTEGER PRIMARY KEY (the rowid itself). */
  bool RowIdAlias = false;
};

/** A forward-only statement read record by record: memory for one record whatever the size of the result. */
class SqlStream {
public:
  /** Runs the statement; fails with EDatabaseError whose message starts with `context`. */
  SqlStream(const SqlConnection& connection, const QString& statement, const QString& context);
  ~SqlStream();
  SqlStream(const SqlStream&) = delete;
  SqlStream& operator=(const SqlStream&) = delete;

  /** Moves to the next record; false at the end; fails with EDatabaseError when reading fails. */
  bool Next();
  QVariant Value(int column) const;
  int ColumnCount() const;
  /** Whether the statement gives records at all (a SELECT does, a PRAGMA that sets something does not). */
  bool IsSelect() const;
  std::vector<SqlColumn> Columns() const;

private:
  const SqlConnection& connection_;
  std::unique_ptr<QSqlQuery> query_;
  QString context_;
};

/** A name quoted as an SQL identifier, so that no name can change the statement around it. */
QString QuoteIdentifier(const QString& name);
