#include "platform/data/DBTables.h"

#include "platform/SysUtils.h"

#include "platform/data/SqlCursor.h"
#include "platform/data/SqlOrdering.h"

#include <QSqlQuery>

namespace {
// A jump further ahead than this restarts a statement that can skip records itself, rather than reading and
// dropping them one by one.
constexpr qint64 ReadAheadLimit = 4096;
// How long a statement stays open without being read before it is let go, so writers get in.
constexpr int IdleReleaseMilliseconds = 500;

QString StorageClass(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int: return QStringLiteral("INTEGER");
    case QMetaType::Double: return QStringLiteral("REAL");
    case QMetaType::QByteArray: return QStringLiteral("BLOB");
    case QMetaType::QString: return QStringLiteral("TEXT");
    default: return QString();
  }
}
}  // namespace

TDBDataSet::TDBDataSet(QObject* owner) : TDataSet(owner) {
  idleRelease_.setSingleShot(true);
  idleRelease_.setInterval(IdleReleaseMilliseconds);
  connect(&idleRelease_, &QTimer::timeout, this, [this] { stream_.reset(); });
}

TDBDataSet::~TDBDataSet() { CloseSilently(); }

void TDBDataSet::SetDatabaseName(const QString& databaseName) {
  if (databaseName == databaseName_) return;
  Close();
  databaseName_ = databaseName;
}

std::vector<TDataSet::ColumnInfo> TDBDataSet::OpenCursor() {
  auto connection = std::make_unique<SqlConnection>(databaseName_);
  PrepareOpen(*connection);
  connection_ = std::move(connection);
  std::vector<ColumnInfo> columns;
  try {
    rowIdSelected_ = SelectsRowId();
    bool skips = false;
    SelectStatement(1, skips);
    streamSkips_ = skips;
    StartStream(0);
    if (!stream_->IsSelect())
      throw EDatabaseError(QStringLiteral("%1: the statement gives no records").arg(ReadFailure()));
    const std::vector<SqlColumn> described = stream_->Columns();
    const std::size_t skip = rowIdSelected_ ? 1 : 0;
    for (std::size_t index = skip; index < described.size(); ++index) {
      columns.push_back({described[index].Name, described[index].DeclaredType, described[index].RowIdAlias});
    }
    fieldColumns_ = static_cast<int>(columns.size());
    // A computed column has no declared type: the storage class of its first value stands in for one.
    bool computed = false;
    for (const ColumnInfo& column : columns) computed = computed || column.DeclaredType.isEmpty();
    if (computed && stream_->Next()) {
      streamPosition_ = 0;
      for (std::size_t index = 0; index < columns.size(); ++index) {
        if (columns[index].DeclaredType.isEmpty())
          columns[index].DeclaredType = StorageClass(stream_->Value(static_cast<int>(index + skip)));
      }
    }
  } catch (...) {
    stream_.reset();
    connection_.reset();
    throw;
  }
  idleRelease_.start();
  return columns;
}

void TDBDataSet::CloseCursor() {
  idleRelease_.stop();
  stream_.reset();
  connection_.reset();
  fieldColumns_ = 0;
}

void TDBDataSet::ResetCursor() {
  stream_.reset();
  streamPosition_ = -1;
}

void TDBDataSet::StartStream(qint64 position) {
  stream_.reset();
  bool startsAtOffset = false;
  const QString statement = SelectStatement(position, startsAtOffset);
  stream_ = std::make_unique<SqlStream>(*connection_, statement, ReadFailure());
  streamPosition_ = (startsAtOffset ? position : 0) - 1;
  streamEnded_ = false;
}

qint64 TDBDataSet::CountRecords() {
  const QString statement = CountStatement();
  if (!statement.isEmpty()) {
    try {
      SqlStream count(*connection_, statement, ReadFailure());
      if (count.Next()) return count.Value(0).toLongLong();
    } catch (const EDatabaseError&) {
      // Some statements cannot be counted by wrapping them (a trailing comment): they are counted by reading.
    }
  }
  bool startsAtOffset = false;
  SqlStream all(*connection_, SelectStatement(0, startsAtOffset), ReadFailure());
  qint64 count = 0;
  while (all.Next()) ++count;
  return count;
}

int TDBDataSet::ReadRecords(qint64 first, int count, std::vector<QVariant>& values,
                            std::vector<qint64>& rowIds) {
  if (!connection_) return 0;
  try {
    if (!stream_ || streamEnded_ || streamPosition_ > first ||
        (streamSkips_ && first - streamPosition_ > ReadAheadLimit))
      StartStream(first);
    while (streamPosition_ < first) {
      if (!stream_->Next()) {
        streamEnded_ = true;
        return 0;
      }
      ++streamPosition_;
    }
    const int skip = rowIdSelected_ ? 1 : 0;
    int read = 0;
    while (read < count) {
      if (read > 0) {
        if (!stream_->Next()) {
          streamEnded_ = true;
          break;
        }
        ++streamPosition_;
      }
      if (rowIdSelected_) rowIds.push_back(stream_->Value(0).toLongLong());
      for (int column = 0; column < fieldColumns_; ++column) values.push_back(stream_->Value(column + skip));
      ++read;
    }
    idleRelease_.start();
    return read;
  } catch (...) {
    stream_.reset();
    throw;
  }
}

const TIndexDef* TIndexDefs::Find(const QString& name) const {
  for (const TIndexDef& item : items_) {
    if (item.Name.compare(name, Qt::CaseInsensitive) == 0) return &item;
  }
  return nullptr;
}

void TIndexDefs::Update() {
  if (const SqlConnection* connection = table_.Connection()) {
    Read(*connection);
    return;
  }
  const SqlConnection connection(table_.DatabaseName());
  Read(connection);
}

void TIndexDefs::Read(const SqlConnection& connection) {
  std::vector<TIndexDef> items;
  const QString table = table_.TableName();
  const auto keys = connection.Rows(
      QStringLiteral("SELECT name, type FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk"), {table});
  const auto indexes = connection.Rows(
      QStringLiteral("SELECT name, \"unique\", origin FROM pragma_index_list(?) ORDER BY seq DESC"), {table});
  bool keyIndex = false;
  for (const auto& index : indexes) keyIndex = keyIndex || index[2].toString() == QLatin1String("pk");
  // The rowid is the table's order itself: its INTEGER PRIMARY KEY is an index in all but name.
  if (keys.size() == 1 && !keyIndex &&
      keys[0][1].toString().trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
    items.push_back({QString(), keys[0][0].toString(), ixPrimary | ixUnique, QString()});
  }
  for (const auto& index : indexes) {
    TIndexDef definition;
    definition.Name = index[0].toString();
    if (index[1].toInt() != 0) definition.Options |= ixUnique;
    if (index[2].toString() == QLatin1String("pk")) definition.Options |= ixPrimary;
    const auto columns = connection.Rows(
        QStringLiteral("SELECT name, \"desc\" FROM pragma_index_xinfo(?) WHERE key = 1 ORDER BY seqno"),
        {definition.Name});
    QStringList fields;
    QStringList descending;
    bool expression = columns.empty();
    for (const auto& column : columns) {
      if (column[0].isNull()) expression = true;
      fields.append(column[0].toString());
      if (column[1].toInt() != 0) descending.append(column[0].toString());
    }
    if (expression) continue;
    definition.Fields = fields.join(QLatin1Char(';'));
    definition.DescFields = descending.join(QLatin1Char(';'));
    if (descending.size() == fields.size()) definition.Options |= ixDescending;
    items.push_back(definition);
  }
  items_ = std::move(items);
}

TTable::TTable(QObject* owner) : TDBDataSet(owner), indexDefs_(*this) {}

TTable::~TTable() = default;

void TTable::SetTableName(const QString& tableName) {
  if (tableName == tableName_) return;
  Close();
  tableName_ = tableName;
}

QString TTable::Origin() const {
  return QStringLiteral("table \"%1\" of \"%2\"").arg(ShownName(tableName_), ShownName(DatabaseName()));
}

QString TTable::ReadFailure() const {
  return QStringLiteral("Cannot read table \"%1\" of \"%2\"")
      .arg(ShownName(tableName_), ShownName(DatabaseName()));
}

void TTable::PrepareOpen(const SqlConnection& connection) {
  if (tableName_.trimmed().isEmpty())
    throw EDatabaseError(
        QStringLiteral("No table name is given for a table of \"%1\"").arg(ShownName(DatabaseName())));
  const auto found = connection.Rows(
      QStringLiteral(
          "SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE"),
      {tableName_});
  if (found.empty())
    throw EDatabaseError(QStringLiteral("Table \"%1\" does not exist in \"%2\"")
                             .arg(ShownName(tableName_), ShownName(DatabaseName())));
  quotedTable_ = QuoteIdentifier(found[0][0].toString());
  hasRowId_ = false;
  if (found[0][1].toString() == QLatin1String("table")) {
    try {
      connection.Rows(QStringLiteral("SELECT _rowid_ FROM %1 LIMIT 0").arg(quotedTable_));
      hasRowId_ = true;
    } catch (const EDatabaseError&) {
      // A table WITHOUT ROWID: its records are known by their place only.
    }
  }
  indexDefs_.Read(connection);
  orderTerms_ = OrderTerms(connection, indexFieldNames_, indexName_);
}

QStringList TTable::OrderTerms(const SqlConnection& connection, const QString& fieldNames,
                               const QString& indexName) {
  const auto columns = connection.Rows(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {tableName_});
  const auto column = [&](const QString& name) {
    for (const auto& row : columns) {
      if (row[0].toString().compare(name, Qt::CaseInsensitive) == 0)
        return QuoteIdentifier(row[0].toString());
    }
    throw EDatabaseError(
        QStringLiteral("Field '%1' not found in table \"%2\"").arg(ShownName(name), ShownName(tableName_)));
  };
  QStringList terms;
  if (!fieldNames.trimmed().isEmpty()) {
    for (const QString& name : fieldNames.split(QLatin1Char(';'))) {
      if (!name.trimmed().isEmpty()) terms.append(column(name.trimmed()));
    }
    return terms;
  }
  if (indexName.isEmpty()) return terms;
  indexDefs_.Read(connection);
  const TIndexDef* definition = indexDefs_.Find(indexName);
  if (definition == nullptr)
    throw EDatabaseError(QStringLiteral("Index '%1' does not exist in table \"%2\"")
                             .arg(ShownName(indexName), ShownName(tableName_)));
  const QStringList descending = definition->DescFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (const QString& name : definition->Fields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    terms.append(column(name) +
                 (descending.contains(name, Qt::CaseInsensitive) ? QStringLiteral(" DESC") : QString()));
  }
  return terms;
}

void TTable::ChangeOrder(const QString& fieldNames, const QString& indexName) {
  if (fieldNames == indexFieldNames_ && indexName == indexName_) return;
  if (const SqlConnection* connection = Connection(); connection != nullptr && Active()) {
    CheckOrderFree();
    // Checked before anything changes, so a bad name leaves the table in its old order.
    const QStringList terms = OrderTerms(*connection, fieldNames, indexName);
    indexFieldNames_ = fieldNames;
    indexName_ = indexName;
    orderTerms_ = terms;
    Reorder();
    return;
  }
  indexFieldNames_ = fieldNames;
  indexName_ = indexName;
}

void TTable::SetIndexFieldNames(const QString& fieldNames) { ChangeOrder(fieldNames, QString()); }

void TTable::SetIndexName(const QString& indexName) { ChangeOrder(QString(), indexName); }

QString TTable::SelectStatement(qint64 offset, bool& startsAtOffset) const {
  QString statement = QStringLiteral("SELECT %1* FROM %2")
                          .arg(hasRowId_ ? QStringLiteral("_rowid_, ") : QString(), quotedTable_);
  QStringList terms = orderTerms_;
  // The rowid settles ties, so every reading sees the records in one and the same order.
  if (hasRowId_) terms.append(QStringLiteral("_rowid_"));
  if (!terms.isEmpty()) statement += QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
  if (offset > 0) {
    statement += QStringLiteral(" LIMIT -1 OFFSET %1").arg(offset);
    startsAtOffset = true;
  }
  return statement;
}

QString TTable::CountStatement() const { return QStringLiteral("SELECT COUNT(*) FROM %1").arg(quotedTable_); }

TQuery::TQuery(QObject* owner) : TDBDataSet(owner) {}

TQuery::~TQuery() = default;

void TQuery::SetSQL(const QStringList& lines) {
  Close();
  sql_ = lines;
}

QString TQuery::Origin() const {
  return QStringLiteral("the query on \"%1\"").arg(ShownName(DatabaseName()));
}

QString TQuery::ReadFailure() const {
  QString statement = SQLText().simplified();
  if (statement.size() > 200) statement = statement.left(200) + QStringLiteral("...");
  return QStringLiteral("Cannot run the query \"%1\" on \"%2\"")
      .arg(ShownName(statement), ShownName(DatabaseName()));
}

QString TQuery::Statement() const {
  QString statement = SQLText().trimmed();
  while (statement.endsWith(QLatin1Char(';'))) {
    statement.chop(1);
    statement = statement.trimmed();
  }
  if (statement.isEmpty())
    throw EDatabaseError(
        QStringLiteral("The query on \"%1\" has no SQL statement").arg(ShownName(DatabaseName())));
  return WithSqliteOrderingWords(statement);
}

QString TQuery::SelectStatement(qint64, bool& startsAtOffset) const {
  startsAtOffset = false;
  return Statement();
}

QString TQuery::CountStatement() const {
  // The line break keeps a comment at the end of the statement from swallowing the bracket.
  return QStringLiteral("SELECT COUNT(*) FROM (%1\n)").arg(Statement());
}
