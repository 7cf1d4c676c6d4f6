#pragma once

// Data sets over SQLite files: a table in an index's or fields' order, or the records an SQL query gives.

#include "platform/data/DB.h"

#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

class SqlConnection;
class SqlStream;

/**
 * A data set over a SQLite database file. The file is opened read-only by each data set on its own (no data
 * set ever changes a file), and the records are read forward with a statement of their own, so reading in
 * order costs one pass. An unfinished statement keeps other programs from writing the file, so a data set
 * lets go of it once it has read nothing for half a second (the next read starts a new one). Errors (missing
 * file, missing table, bad SQL, a file that is no database) fail with EDatabaseError naming the file or the
 * statement.
 */
class TDBDataSet : public TDataSet {
  Q_OBJECT
public:
  explicit TDBDataSet(QObject* owner = nullptr);
  ~TDBDataSet() override;

  /** The database file: a path, absolute or relative to the current folder. Changing it closes the data set.
   */
  QString DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const QString& databaseName);

protected:
  /**
   * The statement that reads the records in order. When `offset` is not 0 and the statement can start at that
   * record itself, it does and sets `startsAtOffset`; otherwise the records before it are read and dropped.
   */
  virtual QString SelectStatement(qint64 offset, bool& startsAtOffset) const = 0;
  /** The statement that counts the records; empty to count them by reading them. */
  virtual QString CountStatement() const = 0;
  /** Whether the select statement's first column is the rowid, the records' identity (not a field). */
  virtual bool SelectsRowId() const = 0;
  /** Checks made with the connection open, before the records are read (that a table exists, ...). */
  virtual void PrepareOpen(const SqlConnection& connection) { (void)connection; }
  /** The start of a message about a failed read: what was read from which file. */
  virtual QString ReadFailure() const = 0;
  /** The open connection, or nullptr while the data set is closed. */
  const SqlConnection* Connection() const { return connection_.get(); }

  std::vector<ColumnInfo> OpenCursor() override;
  void CloseCursor() override;
  void ResetCursor() override;
  qint64 CountRecords() override;
  int ReadRecords(qint64 first, int count, std::vector<QVariant>& values,
                  std::vector<qint64>& rowIds) override;
  bool HasRowIdentity() const override { return rowIdSelected_; }

private:
  void StartStream(qint64 position);

  QString databaseName_;
  QTimer idleRelease_;
  std::unique_ptr<SqlConnection> connection_;
  std::unique_ptr<SqlStream> stream_;
  qint64 streamPosition_ = -1;
  bool streamEnded_ = false;
  bool streamSkips_ = false;
  bool rowIdSelected_ = false;
  int fieldColumns_ = 0;
};

enum TIndexOption : unsigned { ixPrimary = 1u, ixUnique = 2u, ixDescending = 4u };
/** A set of TIndexOption flags. */
using TIndexOptions = unsigned;

/** An index of a table: its name and its fields, in order, separated by ";". */
struct TIndexDef {
  QString Name;
  QString Fields;
  TIndexOptions Options = 0;
  /** The fields of Fields that the index orders descending, separated by ";". */
  QString DescFields;
};

class TTable;

/**
 * The indexes of a table as SQLite lists them, read by Update. A table's INTEGER PRIMARY KEY, which SQLite
 * keeps as the rowid rather than as an index, is listed first as the primary index with an empty name.
 * Indexes on expressions are left out: no field list names them.
 */
class TIndexDefs {
public:
  /** Reads the definitions from the database (also while the table is closed); fails with EDatabaseError. */
  void Update();
  int Count() const { return static_cast<int>(items_.size()); }
  const TIndexDef& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  /** The definition of that name (compared without regard to case), or nullptr. */
  const TIndexDef* Find(const QString& name) const;

private:
  friend class TTable;
  explicit TIndexDefs(TTable& table) : table_(table) {}
  void Read(const SqlConnection& connection);

  TTable& table_;
  std::vector<TIndexDef> items_;
};

/**
 * A table of a database file, read in the order of IndexFieldNames (field names separated by ";") or of the
 * index IndexName, else in rowid order. Changing the order of an open table reads it anew and stays on the
 * current record. Names are checked against the table's columns and quoted, so no name can change the
 * statement; an unknown field or index fails with EDatabaseError and leaves the order as it was.
 */
class TTable : public TDBDataSet {
  Q_OBJECT
public:
  explicit TTable(QObject* owner = nullptr);
  ~TTable() override;

  QString TableName() const { return tableName_; }
  QString Origin() const override;
  /** Changing the table closes the data set. */
  void SetTableName(const QString& tableName);

  TIndexDefs& IndexDefs() { return indexDefs_; }
  QString IndexFieldNames() const { return indexFieldNames_; }
  /** Orders by these fields; clears IndexName. */
  void SetIndexFieldNames(const QString& fieldNames);
  QString IndexName() const { return indexName_; }
  /** Orders by that index of IndexDefs (an empty name: rowid order); clears IndexFieldNames. */
  void SetIndexName(const QString& indexName);

protected:
  QString SelectStatement(qint64 offset, bool& startsAtOffset) const override;
  QString CountStatement() const override;
  bool SelectsRowId() const override { return hasRowId_; }
  QString ReadFailure() const override;
  void PrepareOpen(const SqlConnection& connection) override;

private:
  friend class TIndexDefs;
  /** The quoted, checked ORDER BY terms for an order; fails with EDatabaseError. */
  QStringList OrderTerms(const SqlConnection& connection, const QString& fieldNames,
                         const QString& indexName);
  void ChangeOrder(const QString& fieldNames, const QString& indexName);

  QString tableName_;
  QString quotedTable_;
  QString indexFieldNames_;
  QString indexName_;
  TIndexDefs indexDefs_;
  QStringList orderTerms_;
  bool hasRowId_ = false;
};

/**
 * A data set of the records an SQL statement gives. SQL holds the statement as lines (the sortable grid
 * rewrites them); setting SQL closes the query. The statement runs on a read-only connection: a statement
 * that would write fails with EDatabaseError, and one statement only is taken. The ordering words may be
 * spelled out as the framework's SQL has them ("ORDER BY payee DESCENDING"): ASCENDING and DESCENDING,
 * as bare words outside quotes and comments, run as ASC and DESC, while SQL keeps the lines as written.
 */
class TQuery : public TDBDataSet {
  Q_OBJECT
public:
  explicit TQuery(QObject* owner = nullptr);
  ~TQuery() override;

  QStringList SQL() const { return sql_; }
  void SetSQL(const QStringList& lines);
  /** The statement as one text, its lines joined by line breaks. */
  QString SQLText() const { return sql_.join(QLatin1Char('\n')); }
  QString Origin() const override;

protected:
  QString SelectStatement(qint64 offset, bool& startsAtOffset) const override;
  QString CountStatement() const override;
  bool SelectsRowId() const override { return false; }
  QString ReadFailure() const override;

private:
  QString Statement() const;

  QStringList sql_;
};
