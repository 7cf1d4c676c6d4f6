#include "platform/data/SqlCursor.h"
#include "platform/Application.h"
#include "platform/SysUtils.h"

#include "platform/data/DB.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <atomic>
#include <map>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// SQLite's own words where it has some; Qt's where SQLite reports no error of its own (Qt refuses a second
// statement before SQLite sees it, and SQLite then says "not an error").
QString DatabaseText(const QSqlError& error) {
  const QString text = error.databaseText().trimmed();
  if (text.isEmpty() || text == QLatin1String("not an error")) return error.driverText().trimmed();
  return text;
}

QString NextConnectionName() {
  static std::atomic<unsigned long long> counter{0};
  return QStringLiteral("quenary-data-%1").arg(++counter);
}

// The SQLite handles under Qt's query and connection, for what Qt does not tell: declared types and origins.
sqlite3_stmt* StatementHandle(const QSqlQuery& query) {
  const QSqlResult* result = query.result();
  if (result == nullptr) return nullptr;
  const QVariant handle = result->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0) return nullptr;
  return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

QString Utf8(const char* text) { return text == nullptr ? QString() : QString::fromUtf8(text); }

// How long a reader waits for another program's write to end before it gives up on the file.
constexpr int BusyTimeoutMilliseconds = 5000;

// A file another program keeps locked (SQLITE_BUSY, SQLITE_LOCKED) is busy, not broken.
bool IsBusy(const QSqlError& error) {
  const QString code = error.nativeErrorCode();
  return code == QLatin1String("5") || code == QLatin1String("6");
}

// The failure of a statement on the file: its own words, or that the file is busy. A statement stopped by a
// stop signal ends the work as the signal does everywhere else.
[[noreturn]] void Fail(const QString& fileName, const QString& context, const QSqlError& error) {
  Application().ThrowIfInterrupted();
  if (IsBusy(error)) {
    throw EDatabaseUnavailable(
        QStringLiteral("\"%1\" is busy: another program is writing to it, and it was still busy after %2 "
                       "seconds; try again when that program is done")
            .arg(ShownName(fileName), QString::number(BusyTimeoutMilliseconds / 1000)));
  }
  throw EDatabaseError(QStringLiteral("%1: %2").arg(context, DatabaseText(error)));
}

// A file the user may not read is told as such, before SQLite's "unable to open database file".
void CheckReadable(const QString& fileName) {
  const int descriptor = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor >= 0) {
    ::close(descriptor);
    return;
  }
  if (errno == EACCES || errno == EPERM) {
    throw EDatabaseUnavailable(
        QStringLiteral("\"%1\" cannot be read: %2").arg(ShownName(fileName), SystemErrorText(errno)));
  }
}

sqlite3* ConnectionHandle(const QSqlDatabase& database) {
  const QVariant handle = database.driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
  return *static_cast<sqlite3* const*>(handle.constData());
}

// SQLite asks this every few thousand steps of a statement: a stop signal ends a statement that would never
// end by itself (a view without end), or only after the user gave up.
extern "C" int StopOnSignal(void*) { return Application().InterruptingSignal() != 0 ? 1 : 0; }

// SQLite asks this while another program holds the file: wait a little and try again, until the time is up
// or a stop signal came.
extern "C" int WaitWhileBusy(void*, int attempts) {
  constexpr int Step = 20;
  if (Application().InterruptingSignal() != 0 || attempts * Step >= BusyTimeoutMilliseconds) return 0;
  sqlite3_sleep(Step);
  return 1;
}

}  // namespace

SqlConnection::SqlConnection(const QString& fileName) : fileName_(fileName) {
  if (fileName.trimmed().isEmpty()) throw EDatabaseError(QStringLiteral("No database file is given"));
  const QFileInfo info(fileName);
  if (!info.exists())
    throw EDatabaseError(QStringLiteral("Database file \"%1\" does not exist").arg(ShownName(fileName)));
  if (!info.isFile())
    throw EDatabaseError(QStringLiteral("\"%1\" is not a database file").arg(ShownName(fileName)));
  CheckReadable(fileName);
  connectionName_ = NextConnectionName();
  QString context;
  QSqlError failure;
  bool needsRecovery = false;
  {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    database.setDatabaseName(info.absoluteFilePath());
    // The timeout stands should the handle not be had; the handlers below take its place.
    database.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMilliseconds));
    if (!database.open()) {
      context = QStringLiteral("Cannot open database file \"%1\"").arg(ShownName(fileName));
      failure = database.lastError();
    } else {
      if (sqlite3* handle = ConnectionHandle(database)) {
        sqlite3_busy_handler(handle, WaitWhileBusy, nullptr);
        sqlite3_progress_handler(handle, 10000, StopOnSignal, nullptr);
      }
      // SQLite reads a file's header only on the first statement: a file of another kind fails here.
      QSqlQuery probe(database);
      if (!probe.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"))) {
        sqlite3* handle = ConnectionHandle(database);
        const int code = handle != nullptr ? sqlite3_extended_errcode(handle) : SQLITE_OK;
        if (code == SQLITE_READONLY_ROLLBACK || code == SQLITE_READONLY_RECOVERY) {
          // A writer stopped in the middle of a change left its journal; only a program that may write the
          // file can play it back, and this one never writes a data set's file.
          needsRecovery = true;
        } else {
          context = QStringLiteral("\"%1\" is not a SQLite database").arg(ShownName(fileName));
          failure = probe.lastError();
        }
      }
    }
  }
  if (needsRecovery) {
    QSqlDatabase::removeDatabase(connectionName_);
    throw EDatabaseUnavailable(
        QStringLiteral("\"%1\" needs recovery: a program was stopped in the middle of changing it and left "
                       "its journal, which only a program that may write the file can play back (the sqlite3 "
                       "shell, for one); it is left as it is")
            .arg(ShownName(fileName)));
  }
  if (!context.isEmpty()) {
    QSqlDatabase::removeDatabase(connectionName_);
    Fail(fileName, context, failure);
  }
}

SqlConnection::~SqlConnection() {
  {
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    database.close();
  }
  QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase SqlConnection::Database() const { return QSqlDatabase::database(connectionName_, false); }

std::vector<std::vector<QVariant>> SqlConnection::Rows(const QString& statement,
                                                       const QVariantList& values) const {
  QSqlQuery query(Database());
  query.setForwardOnly(true);
  const QString context = QStringLiteral("Cannot read \"%1\"").arg(ShownName(fileName_));
  if (!query.prepare(statement)) Fail(fileName_, context, query.lastError());
  for (const QVariant& value : values) query.addBindValue(value);
  if (!query.exec()) Fail(fileName_, context, query.lastError());
  std::vector<std::vector<QVariant>> rows;
  const int columns = query.record().count();
  while (query.next()) {
    std::vector<QVariant> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int column = 0; column < columns; ++column) row.push_back(query.value(column));
    rows.push_back(std::move(row));
  }
  return rows;
}

SqlStream::SqlStream(const SqlConnection& connection, const QString& statement, const QString& context)
    : connection_(connection), query_(std::make_unique<QSqlQuery>(connection.Database())), context_(context) {
  query_->setForwardOnly(true);
  if (!query_->exec(statement)) Fail(connection_.FileName(), context_, query_->lastError());
}

SqlStream::~SqlStream() = default;

bool SqlStream::Next() {
  if (query_->next()) return true;
  if (query_->lastError().isValid()) Fail(connection_.FileName(), context_, query_->lastError());
  return false;
}

QVariant SqlStream::Value(int column) const { return query_->value(column); }

int SqlStream::ColumnCount() const { return query_->record().count(); }

bool SqlStream::IsSelect() const { return query_->isSelect() && ColumnCount() > 0; }

std::vector<SqlColumn> SqlStream::Columns() const {
  std::vector<SqlColumn> columns;
  const QSqlRecord record = query_->record();
  sqlite3_stmt* statement = StatementHandle(*query_);
  // Whether a table's INTEGER PRIMARY KEY is its rowid: one key column of type INTEGER, and no separate
  // key index (a WITHOUT ROWID table and an "INTEGER PRIMARY KEY DESC" have one).
  std::map<QString, QString> aliasOfTable;
  const auto rowIdAliasOf = [this, &aliasOfTable](const QString& schema, const QString& table) {
    const QString key = schema + QLatin1Char('.') + table;
    const auto found = aliasOfTable.find(key);
    if (found != aliasOfTable.end()) return found->second;
    QString alias;
    const auto keys = connection_.Rows(
        QStringLiteral("SELECT name, type FROM pragma_table_info(?, ?) WHERE pk > 0"), {table, schema});
    if (keys.size() == 1 &&
        keys[0][1].toString().trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
      const auto keyIndexes = connection_.Rows(
          QStringLiteral("SELECT 1 FROM pragma_index_list(?, ?) WHERE origin = 'pk'"), {table, schema});
      if (keyIndexes.empty()) alias = keys[0][0].toString();
    }
    aliasOfTable.emplace(key, alias);
    return alias;
  };
  for (int column = 0; column < record.count(); ++column) {
    SqlColumn description;
    description.Name = record.fieldName(column);
    if (statement != nullptr) {
      description.DeclaredType = Utf8(sqlite3_column_decltype(statement, column));
      const QString table = Utf8(sqlite3_column_table_name(statement, column));
      const QString origin = Utf8(sqlite3_column_origin_name(statement, column));
      const QString schema = Utf8(sqlite3_column_database_name(statement, column));
      if (!table.isEmpty() && !origin.isEmpty()) {
        const QString alias = rowIdAliasOf(schema.isEmpty() ? QStringLiteral("main") : schema, table);
        description.RowIdAlias = !alias.isEmpty() && alias.compare(origin, Qt::CaseInsensitive) == 0;
      }
    }
    columns.push_back(description);
  }
  return columns;
}

QString QuoteIdentifier(const QString& name) {
  QString quoted = name;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}
