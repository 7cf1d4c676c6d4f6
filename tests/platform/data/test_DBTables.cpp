#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "tests/platform/data/DataTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace {

QByteArray Checksum(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class TableTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteDatabase(file_,
                  {
                      QStringLiteral("CREATE TABLE ledger(id INTEGER PRIMARY KEY, posted DATE, "
                                     "payee VARCHAR(40), note TEXT, amount CURRENCY)"),
                      QStringLiteral("INSERT INTO ledger VALUES(1, '2024-03-01', 'Carol', 'rent', 700)"),
                      QStringLiteral("INSERT INTO ledger VALUES(2, '2024-01-15', 'alice', NULL, 12.5)"),
                      QStringLiteral("INSERT INTO ledger VALUES(3, '2024-02-10', 'Bob', 'books', 99.99)"),
                      QStringLiteral("INSERT INTO ledger VALUES(4, '2024-02-10', 'Alice', 'tea', 3)"),
                      QStringLiteral("CREATE INDEX by_payee ON ledger(payee)"),
                      QStringLiteral("CREATE INDEX by_date_amount ON ledger(posted DESC, amount)"),
                      QStringLiteral("CREATE INDEX by_length ON ledger(length(note))"),
                  });
  }

  std::unique_ptr<TTable> OpenLedger() {
    auto table = std::make_unique<TTable>();
    table->SetDatabaseName(file_);
    table->SetTableName(QStringLiteral("ledger"));
    table->Open();
    return table;
  }

  ScratchDirectory directory_;
  QString file_ = directory_.File(QStringLiteral("ledger.db"));
};

TEST_F(TableTest, OpensWithFieldsOfTheDeclaredKindsInRowidOrder) {
  auto table = OpenLedger();
  EXPECT_TRUE(table->Active());
  EXPECT_EQ(table->RecordCount(), 4);
  ASSERT_EQ(table->FieldCount(), 5) << "the rowid read along is no field";
  EXPECT_NE(dynamic_cast<TAutoIncField*>(table->FieldByName(QStringLiteral("id"))), nullptr);
  EXPECT_NE(dynamic_cast<TDateField*>(table->FieldByName(QStringLiteral("posted"))), nullptr);
  auto* payee = dynamic_cast<TStringField*>(table->FieldByName(QStringLiteral("payee")));
  ASSERT_NE(payee, nullptr);
  EXPECT_EQ(payee->Size(), 40);
  EXPECT_EQ(payee->DisplayWidth(), 40);
  EXPECT_NE(dynamic_cast<TCurrencyField*>(table->FieldByName(QStringLiteral("AMOUNT"))), nullptr)
      << "names are found without regard to case";
  EXPECT_EQ(WalkField(*table, QStringLiteral("payee")),
            QStringList({QStringLiteral("Carol"), QStringLiteral("alice"), QStringLiteral("Bob"),
                         QStringLiteral("Alice")}));
}

TEST_F(TableTest, IndexDefsListTheKeyAndTheFieldIndexes) {
  TTable table;
  table.SetDatabaseName(file_);
  table.SetTableName(QStringLiteral("ledger"));
  table.IndexDefs().Update();  // readable while closed
  ASSERT_EQ(table.IndexDefs().Count(), 3) << "the expression index names no fields";
  const TIndexDef& key = table.IndexDefs().Items(0);
  EXPECT_EQ(key.Fields, QStringLiteral("id"));
  EXPECT_EQ(key.Options, ixPrimary | ixUnique);
  const TIndexDef* byPayee = table.IndexDefs().Find(QStringLiteral("BY_PAYEE"));
  ASSERT_NE(byPayee, nullptr);
  EXPECT_EQ(byPayee->Fields, QStringLiteral("payee"));
  const TIndexDef* byDate = table.IndexDefs().Find(QStringLiteral("by_date_amount"));
  ASSERT_NE(byDate, nullptr);
  EXPECT_EQ(byDate->Fields, QStringLiteral("posted;amount"));
  EXPECT_EQ(byDate->DescFields, QStringLiteral("posted"));
  EXPECT_EQ(table.IndexDefs().Find(QStringLiteral("by_length")), nullptr);
}

TEST_F(TableTest, IndexFieldNamesAndIndexNameOrderTheRecordsAndKeepTheCurrentOne) {
  auto table = OpenLedger();
  table->SetRecNo(3);  // Bob
  table->SetIndexFieldNames(QStringLiteral("payee"));
  EXPECT_EQ(table->FieldByName(QStringLiteral("payee"))->AsString(), QStringLiteral("Bob"));
  EXPECT_EQ(table->RecNo(), 2) << "SQLite compares texts by their bytes: capitals first";
  EXPECT_EQ(WalkField(*table, QStringLiteral("id")), QStringList({QStringLiteral("4"), QStringLiteral("3"),
                                                                  QStringLiteral("1"), QStringLiteral("2")}));

  table->SetIndexName(QStringLiteral("by_date_amount"));
  EXPECT_TRUE(table->IndexFieldNames().isEmpty());
  EXPECT_EQ(WalkField(*table, QStringLiteral("id")),
            QStringList({QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2")}))
      << "date descending, then amount ascending";

  table->SetIndexFieldNames(QStringLiteral("posted;payee"));
  EXPECT_EQ(WalkField(*table, QStringLiteral("id")), QStringList({QStringLiteral("2"), QStringLiteral("4"),
                                                                  QStringLiteral("3"), QStringLiteral("1")}));
  table->SetIndexName(QString());
  EXPECT_EQ(WalkField(*table, QStringLiteral("id")), QStringList({QStringLiteral("1"), QStringLiteral("2"),
                                                                  QStringLiteral("3"), QStringLiteral("4")}));
}

TEST_F(TableTest, UnknownOrCraftedOrderNamesAreRefusedAndTheOrderStays) {
  auto table = OpenLedger();
  table->SetIndexFieldNames(QStringLiteral("payee"));
  const QStringList ordered = WalkField(*table, QStringLiteral("id"));
  for (const QString& crafted : {QStringLiteral("nosuch"), QStringLiteral("payee DESC"),
                                 QStringLiteral("payee; DROP TABLE ledger"), QStringLiteral("\"payee\"")}) {
    EXPECT_DATABASE_ERROR(table->SetIndexFieldNames(crafted), QStringLiteral("not found"));
    EXPECT_EQ(table->IndexFieldNames(), QStringLiteral("payee"));
    EXPECT_EQ(WalkField(*table, QStringLiteral("id")), ordered);
  }
  EXPECT_DATABASE_ERROR(table->SetIndexName(QStringLiteral("by_nothing")), QStringLiteral("by_nothing"),
                        QStringLiteral("does not exist"));
  EXPECT_EQ(WalkField(*table, QStringLiteral("id")), ordered);

  TTable closed;
  closed.SetDatabaseName(file_);
  closed.SetTableName(QStringLiteral("ledger"));
  closed.SetIndexFieldNames(QStringLiteral("nosuch"));
  EXPECT_DATABASE_ERROR(closed.Open(), QStringLiteral("nosuch"));
  EXPECT_FALSE(closed.Active());
}

TEST_F(TableTest, TablesWithoutRowidAndViewsAreReadToo) {
  WriteDatabase(file_,
                {QStringLiteral("CREATE TABLE codes(code TEXT PRIMARY KEY, label TEXT) WITHOUT ROWID"),
                 QStringLiteral("INSERT INTO codes VALUES('b', 'Bee'), ('a', 'Ay')"),
                 QStringLiteral("CREATE VIEW big AS SELECT id, amount FROM ledger WHERE amount > 50")});
  TTable codes;
  codes.SetDatabaseName(file_);
  codes.SetTableName(QStringLiteral("codes"));
  codes.Open();
  EXPECT_EQ(WalkField(codes, QStringLiteral("label")).size(), 2);
  codes.Last();
  const TBookmark bookmark = codes.GetBookmark();
  EXPECT_FALSE(bookmark.RowId.has_value());
  codes.First();
  codes.GotoBookmark(bookmark);
  EXPECT_EQ(codes.RecNo(), 2);

  TTable view;
  view.SetDatabaseName(file_);
  view.SetTableName(QStringLiteral("big"));
  view.Open();
  EXPECT_EQ(WalkField(view, QStringLiteral("id")), QStringList({QStringLiteral("1"), QStringLiteral("3")}));
}

TEST_F(TableTest, DatabaseErrorsNameWhatFailedAndChangeNoFile) {
  const QString notes = directory_.File(QStringLiteral("notes.txt"));
  {
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        QByteArray("these are notes, not a database, though long enough to have a header\n").repeated(20));
  }
  const QByteArray notesBefore = Checksum(notes);
  const QString missing = directory_.File(QStringLiteral("missing.db"));

  struct Case {
    QString database;
    QString table;
    QStringList parts;
  };
  const std::vector<Case> cases = {
      {missing, QStringLiteral("ledger"), {QStringLiteral("does not exist"), missing}},
      {directory_.Path(), QStringLiteral("ledger"), {QStringLiteral("is not a database file")}},
      {notes, QStringLiteral("ledger"), {QStringLiteral("is not a SQLite database"), notes}},
      {file_, QStringLiteral("journal"), {QStringLiteral("Table \"journal\" does not exist"), file_}},
      {file_, QString(), {QStringLiteral("No table name")}},
      {QString(), QStringLiteral("ledger"), {QStringLiteral("No database file")}},
  };
  for (const Case& c : cases) {
    TTable table;
    table.SetDatabaseName(c.database);
    table.SetTableName(c.table);
    EXPECT_DATABASE_ERROR(table.Open(), c.parts);
    EXPECT_FALSE(table.Active());
    EXPECT_DATABASE_ERROR(table.First(), QStringLiteral("closed dataset"));
  }
  EXPECT_FALSE(QFile::exists(missing)) << "a missing database is never created";
  EXPECT_EQ(Checksum(notes), notesBefore);
}

TEST_F(TableTest, QueryReadsItsLinesAndSettingThemCloses) {
  TQuery query;
  query.SetDatabaseName(file_);
  query.SetSQL({QStringLiteral("SELECT id, payee, amount FROM ledger"), QStringLiteral("WHERE amount > 10"),
                QStringLiteral("ORDER BY amount DESC;")});
  query.Open();
  EXPECT_EQ(query.RecordCount(), 3);
  EXPECT_EQ(WalkField(query, QStringLiteral("payee")),
            QStringList({QStringLiteral("Carol"), QStringLiteral("Bob"), QStringLiteral("alice")}));
  EXPECT_NE(dynamic_cast<TAutoIncField*>(query.FieldByName(QStringLiteral("id"))), nullptr)
      << "the table's key keeps its kind through a query";
  EXPECT_EQ(query.SQLText(),
            QStringLiteral("SELECT id, payee, amount FROM ledger\nWHERE amount > 10\nORDER BY amount DESC;"));

  query.SetSQL({QStringLiteral("SELECT payee FROM ledger -- every row")});
  EXPECT_FALSE(query.Active());
  query.Open();
  EXPECT_EQ(query.RecordCount(), 4) << "a statement ending in a comment is still counted";
}

TEST_F(TableTest, SpelledOutOrderingWordsRunAndQuotedOnesStayAsWritten) {
  TQuery query;
  query.SetDatabaseName(file_);
  const QStringList sql = {
      QStringLiteral("SELECT payee, 'descending' AS word, note AS \"ascending\" FROM ledger"),
      QStringLiteral("WHERE payee <> 'ASCENDING' -- descending"),
      QStringLiteral("Order by payee DESCENDING ")};
  query.SetSQL(sql);
  query.Open();
  EXPECT_EQ(WalkField(query, QStringLiteral("payee")),
            QStringList({QStringLiteral("alice"), QStringLiteral("Carol"), QStringLiteral("Bob"),
                         QStringLiteral("Alice")}));
  EXPECT_EQ(query.FieldByName(QStringLiteral("word"))->AsString(), QStringLiteral("descending"));
  EXPECT_NE(query.FindField(QStringLiteral("ascending")), nullptr);
  EXPECT_EQ(query.SQL(), sql) << "the lines stay as the program wrote them";
  query.SetSQL({QStringLiteral("SELECT payee FROM ledger ORDER BY payee ascending")});
  query.Open();
  EXPECT_EQ(WalkField(query, QStringLiteral("payee")).first(), QStringLiteral("Alice"));
}

TEST_F(TableTest, ComputedColumnsTakeTheKindOfTheirFirstValue) {
  TQuery query;
  query.SetDatabaseName(file_);
  query.SetSQL(
      {QStringLiteral("SELECT COUNT(*) AS n, SUM(amount) AS total, 'x' || payee AS tag, "
                      "amount * 2 AS doubled FROM ledger GROUP BY payee ORDER BY payee DESC")});
  query.Open();
  EXPECT_EQ(query.FieldByName(QStringLiteral("n"))->DataType(), ftInteger);
  EXPECT_EQ(query.FieldByName(QStringLiteral("total"))->DataType(), ftFloat);
  EXPECT_EQ(query.FieldByName(QStringLiteral("tag"))->DataType(), ftString);
  EXPECT_EQ(query.FieldByName(QStringLiteral("doubled"))->DataType(), ftFloat);
  EXPECT_EQ(WalkField(query, QStringLiteral("tag")).first(), QStringLiteral("xalice"))
      << "the peeked record is kept";
}

TEST_F(TableTest, QueriesThatWriteFailAndTheFileStaysAsItWas) {
  const QByteArray before = Checksum(file_);
  struct Case {
    QStringList sql;
    QString part;
  };
  const std::vector<Case> cases = {
      {{QStringLiteral("DELETE FROM ledger")}, QStringLiteral("readonly")},
      {{QStringLiteral("SELECT 1; DELETE FROM ledger")}, QStringLiteral("multiple statements")},
      {{QStringLiteral("SELEC * FROM ledger")}, QStringLiteral("syntax error")},
      {{QStringLiteral("SELECT * FROM journal")}, QStringLiteral("no such table: journal")},
      {{QStringLiteral("  ;  ")}, QStringLiteral("no SQL statement")},
  };
  for (const Case& c : cases) {
    TQuery query;
    query.SetDatabaseName(file_);
    query.SetSQL(c.sql);
    EXPECT_DATABASE_ERROR(query.Open(), c.part, file_);
    EXPECT_FALSE(query.Active());
  }
  EXPECT_EQ(Checksum(file_), before);
  EXPECT_EQ(OpenLedger()->RecordCount(), 4);
}

}  // namespace
