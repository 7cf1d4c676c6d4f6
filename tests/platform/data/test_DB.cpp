#include "platform/data/DB.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "tests/platform/data/DataTestSupport.h"

#include <QSignalSpy>
#include <QTest>

namespace {

class DataSetTest : public ::testing::Test {
protected:
  std::unique_ptr<TTable> OpenLedger(int rows) {
    WriteNumberedLedger(file_, rows);
    auto table = std::make_unique<TTable>();
    table->SetDatabaseName(file_);
    table->SetTableName(QStringLiteral("ledger"));
    table->Open();
    return table;
  }
  qint64 Id(TDataSet& dataSet) { return dataSet.FieldByName(QStringLiteral("id"))->AsInteger(); }

  ScratchDirectory directory_;
  QString file_ = directory_.File(QStringLiteral("ledger.db"));
};

TEST_F(DataSetTest, EofAndBofFollowTheFrameworksRules) {
  auto table = OpenLedger(3);
  EXPECT_TRUE(table->Bof());
  EXPECT_FALSE(table->Eof());
  EXPECT_EQ(table->RecNo(), 1);
  table->Prior();
  EXPECT_TRUE(table->Bof());
  EXPECT_EQ(table->RecNo(), 1);
  table->Next();
  table->Next();
  EXPECT_FALSE(table->Eof()) << "on the last record, not yet past it";
  table->Next();
  EXPECT_TRUE(table->Eof());
  EXPECT_EQ(Id(*table), 3) << "a move past the end stays on the last record";
  EXPECT_EQ(table->MoveBy(-5), -2);
  EXPECT_TRUE(table->Bof());
  table->Last();
  EXPECT_TRUE(table->Eof());
  table->SetRecNo(2);
  EXPECT_FALSE(table->Eof());
  EXPECT_FALSE(table->Bof());

  table->Close();
  WriteDatabase(file_, {QStringLiteral("DELETE FROM ledger")});
  table->Open();
  EXPECT_TRUE(table->IsEmpty());
  EXPECT_TRUE(table->Eof() && table->Bof());
  EXPECT_EQ(table->RecNo(), 0);
  EXPECT_TRUE(table->FieldByName(QStringLiteral("payee"))->IsNull());
}

TEST_F(DataSetTest, AnIdleOpenDataSetLetsOtherProgramsWrite) {
  auto table = OpenLedger(2000);
  table->SetRecNo(1000);  // a statement is open in the middle of the table
  bool written = false;
  for (int attempt = 0; attempt < 100 && !written; ++attempt) {
    QTest::qWait(100);
    QSqlDatabase writer =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-program"));
    writer.setDatabaseName(file_);
    writer.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    if (writer.open()) written = QSqlQuery(writer).exec(QStringLiteral("DELETE FROM ledger WHERE id > 1500"));
    writer = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other-program"));
  }
  EXPECT_TRUE(written);
  table->Refresh();
  EXPECT_EQ(table->RecordCount(), 1500);
  EXPECT_EQ(Id(*table), 1000) << "refreshing stays on the current record";
  table->SetRecNo(1300);
  EXPECT_EQ(Id(*table), 1300) << "reading goes on after the statement was let go";
}

TEST_F(DataSetTest, HundredThousandRecordsWalkOnceEachInOrderAndJumpAnywhere) {
  constexpr int rows = 100000;
  auto table = OpenLedger(rows);
  ASSERT_EQ(table->RecordCount(), rows);
  qint64 expected = 1;
  bool inOrder = true;
  TBookmark middle;
  for (table->First(); !table->Eof(); table->Next()) {
    inOrder = inOrder && Id(*table) == expected;
    if (expected == 54321) middle = table->GetBookmark();
    ++expected;
  }
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(expected, rows + 1);
  table->GotoBookmark(middle);
  EXPECT_EQ(Id(*table), 54321);
  for (int step = 0; step < 300; ++step) table->Prior();  // backwards across a block boundary
  EXPECT_EQ(Id(*table), 54021);
  table->Last();
  EXPECT_EQ(Id(*table), rows);
  table->SetRecNo(7);
  EXPECT_EQ(Id(*table), 7);
}

TEST_F(DataSetTest, BookmarksFindTheSameRowAfterTheOrderChanged) {
  auto table = OpenLedger(600);
  table->SetRecNo(400);
  TBookmark bookmark = table->GetBookmark();
  ASSERT_TRUE(bookmark.RowId.has_value());
  table->SetIndexFieldNames(QStringLiteral("payee"));  // payees run backwards
  EXPECT_EQ(Id(*table), 400) << "the order changed, the current record stayed";
  EXPECT_EQ(table->RecNo(), 201);
  table->First();
  table->GotoBookmark(bookmark);
  EXPECT_EQ(Id(*table), 400);
  EXPECT_TRUE(table->BookmarkValid(bookmark));

  table->Close();
  WriteDatabase(file_, {QStringLiteral("DELETE FROM ledger WHERE id = 400")});
  table->Open();
  EXPECT_FALSE(table->BookmarkValid(bookmark));
  EXPECT_DATABASE_ERROR(table->GotoBookmark(bookmark), QStringLiteral("Record not found"));
  table->FreeBookmark(bookmark);
  EXPECT_FALSE(bookmark.Valid());
  EXPECT_DATABASE_ERROR(table->GotoBookmark(bookmark), QStringLiteral("Invalid bookmark"));

  TQuery query;
  query.SetDatabaseName(file_);
  query.SetSQL({QStringLiteral("SELECT id FROM ledger ORDER BY id DESC")});
  query.Open();
  query.SetRecNo(10);
  const TBookmark place = query.GetBookmark();
  EXPECT_FALSE(place.RowId.has_value()) << "a query's records are known by their place";
  query.Last();
  query.GotoBookmark(place);
  EXPECT_EQ(query.RecNo(), 10);
}

TEST_F(DataSetTest, DisabledControlsHearNothingUntilOneChangeAtTheEnd) {
  auto table = OpenLedger(5);
  TDataSource source;
  source.SetDataSet(table.get());
  QSignalSpy moved(&source, &TDataSource::DataChange);
  QSignalSpy changed(&source, &TDataSource::DataSetChange);
  QSignalSpy scrolled(table.get(), &TDataSet::AfterScroll);

  table->Next();
  EXPECT_EQ(moved.count(), 1);
  table->DisableControls();
  table->DisableControls();
  EXPECT_TRUE(table->ControlsDisabled());
  table->Next();
  table->Last();
  table->SetIndexFieldNames(QStringLiteral("payee"));
  table->EnableControls();
  EXPECT_EQ(moved.count(), 1);
  EXPECT_EQ(changed.count(), 0) << "still disabled once";
  table->EnableControls();
  EXPECT_FALSE(table->ControlsDisabled());
  EXPECT_EQ(moved.count(), 1);
  EXPECT_EQ(changed.count(), 1) << "one change when the last disable ends";
  EXPECT_GE(scrolled.count(), 3) << "AfterScroll is always sent";
  table->EnableControls();  // more enables than disables change nothing
  EXPECT_FALSE(table->ControlsDisabled());

  table->DisableControls();
  table->EnableControls();
  EXPECT_EQ(changed.count(), 1) << "nothing happened, nothing to tell";
}

TEST_F(DataSetTest, DataSourceFollowsItsDataSetAndForgetsADestroyedOne) {
  auto table = OpenLedger(2);
  TDataSource source;
  QSignalSpy state(&source, &TDataSource::StateChange);
  QSignalSpy changed(&source, &TDataSource::DataSetChange);
  source.SetDataSet(table.get());
  EXPECT_EQ(state.count(), 1);
  table->Close();
  EXPECT_EQ(state.count(), 2);
  source.SetEnabled(false);
  const int before = changed.count();
  table->Open();
  EXPECT_EQ(changed.count(), before) << "a disabled source passes nothing on";
  source.SetEnabled(true);
  EXPECT_EQ(changed.count(), before + 1);
  table.reset();
  EXPECT_EQ(source.DataSet(), nullptr);
  EXPECT_EQ(changed.count(), before + 2);
}

TEST_F(DataSetTest, RecordScopeReadsAnotherRecordWithoutMoving) {
  auto table = OpenLedger(1000);
  TField* id = table->FieldByName(QStringLiteral("id"));
  QSignalSpy scrolled(table.get(), &TDataSet::AfterScroll);
  {
    TRecordScope scope(*table, 899);
    EXPECT_EQ(id->AsInteger(), 900);
    {
      TRecordScope inner(*table, 1);
      EXPECT_EQ(id->AsInteger(), 2);
    }
    EXPECT_EQ(id->AsInteger(), 900);
    EXPECT_EQ(table->RecNo(), 1);
  }
  EXPECT_EQ(id->AsInteger(), 1);
  EXPECT_EQ(scrolled.count(), 0);
  EXPECT_TRUE(table->RecordValue(1000, 0).isNull()) << "past the end reads as empty";
}

TEST_F(DataSetTest, FieldsKeepWhatTheProgramSetAcrossCloseAndOpen) {
  auto table = OpenLedger(3);
  auto* amount = dynamic_cast<TNumericField*>(table->FieldByName(QStringLiteral("amount")));
  ASSERT_NE(amount, nullptr);
  amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
  amount->SetDisplayLabel(QStringLiteral("Amount"));
  table->FieldByName(QStringLiteral("payee"))->SetVisible(false);
  table->Close();
  table->Open();
  EXPECT_EQ(table->FieldByName(QStringLiteral("amount")), amount);
  EXPECT_EQ(amount->DisplayFormat(), QStringLiteral("#,##0.00"));
  EXPECT_EQ(amount->DisplayLabel(), QStringLiteral("Amount"));
  EXPECT_FALSE(table->FieldByName(QStringLiteral("payee"))->Visible());
  EXPECT_EQ(table->FieldByName(QStringLiteral("id"))->DisplayLabel(), QStringLiteral("id"));
  EXPECT_EQ(table->FindField(QStringLiteral("nothing")), nullptr);
  EXPECT_DATABASE_ERROR(table->FieldByName(QStringLiteral("nothing")),
                        QStringLiteral("Field 'nothing' not found"));
}

TEST_F(DataSetTest, LocateMovesAndLookupReadsWithoutMoving) {
  auto table = OpenLedger(700);
  EXPECT_EQ(table->Lookup(QStringLiteral("id"), 650, QStringLiteral("payee")).toString(),
            QStringLiteral("payee 000050"));
  EXPECT_EQ(table->RecNo(), 1);
  EXPECT_TRUE(table->Lookup(QStringLiteral("id"), 701, QStringLiteral("payee")).isNull());
  EXPECT_TRUE(table->Locate(QStringLiteral("payee"), QStringLiteral("payee 000100")));
  EXPECT_EQ(Id(*table), 600);
  EXPECT_TRUE(table->Locate(QStringLiteral("amount"), 2.5));
  EXPECT_EQ(Id(*table), 2);
  EXPECT_TRUE(table->Locate(QStringLiteral("id"), QStringLiteral("5")))
      << "a typed number finds a stored one";
  EXPECT_FALSE(table->Locate(QStringLiteral("payee"), QStringLiteral("nobody")));
  EXPECT_EQ(Id(*table), 5);
}

}  // namespace
