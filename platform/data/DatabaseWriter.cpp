#include "platform/data/DatabaseWriter.h"
#include "platform/SysUtils.h"

#include "platform/data/DB.h"

#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <cerrno>

class TDatabaseWriter::Private {
public:
  QString fileName;
  QString connectionName;
  bool committed = false;
  // A statement run again and again (the rows of a table) is prepared once.
  QHash<QString, QSqlQuery> prepared;

  QSqlDatabase Database() const { return QSqlDatabase::database(connectionName, false); }
  [[noreturn]] void Fail(const QString& what, const QSqlError& error) const {
    // A full disk (SQLITE_FULL) is said in the system's words, whatever statement met it.
    if (error.nativeErrorCode() == QLatin1String("13")) {
      throw EDatabaseError(QStringLiteral("Cannot write database file \"%1\": %2")
                               .arg(ShownName(fileName), SystemErrorText(ENOSPC)));
    }
    throw EDatabaseError(QStringLiteral("Cannot write database file \"%1\": %2: %3")
                             .arg(ShownName(fileName), what, error.text().trimmed()));
  }
};

TDatabaseWriter::TDatabaseWriter(const QString& fileName) : d_(std::make_unique<Private>()) {
  static std::atomic<int> counter{0};
  d_->fileName = fileName;
  if (fileName.trimmed().isEmpty()) throw EDatabaseError(QStringLiteral("No database file is given"));
  d_->connectionName = QStringLiteral("quenary-writer-%1").arg(++counter);
  QSqlError failure;
  {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d_->connectionName);
    database.setDatabaseName(QFileInfo(fileName).absoluteFilePath());
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!database.open() || !database.transaction()) failure = database.lastError();
  }
  if (failure.isValid()) {
    QSqlDatabase::removeDatabase(d_->connectionName);
    d_->Fail(QStringLiteral("cannot open it"), failure);
  }
}

TDatabaseWriter::~TDatabaseWriter() {
  d_->prepared.clear();
  {
    QSqlDatabase database = d_->Database();
    if (!d_->committed) database.rollback();
    database.close();
  }
  QSqlDatabase::removeDatabase(d_->connectionName);
}

void TDatabaseWriter::Execute(const QString& statement, const QVariantList& values) {
  auto found = d_->prepared.find(statement);
  if (found == d_->prepared.end()) {
    QSqlQuery query(d_->Database());
    if (!query.prepare(statement)) d_->Fail(statement, query.lastError());
    found = d_->prepared.insert(statement, query);
  }
  QSqlQuery& query = found.value();
  for (int index = 0; index < values.size(); ++index) query.bindValue(index, values.at(index));
  if (!query.exec()) d_->Fail(statement, query.lastError());
}

void TDatabaseWriter::Commit() {
  d_->prepared.clear();
  QSqlDatabase database = d_->Database();
  if (!database.commit()) d_->Fail(QStringLiteral("cannot commit"), database.lastError());
  d_->committed = true;
}
