#pragma once

#include "platform/Forms.h"
#include "platform/data/DBTables.h"
#include "tests/platform/data/DataTestSupport.h"

// A form over a ledger table of three records (with a memo, a picture, truth values and a payee key) and a
// payee table, for the tests of the data controls.
class DataControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteDatabase(
        file_,
        {
            QStringLiteral(
                "CREATE TABLE ledger(id INTEGER PRIMARY KEY, payee VARCHAR(40), amount CURRENCY, "
                "paid VARCHAR(3), cleared BOOLEAN, kind TEXT, note MEMO, receipt GRAPHIC, payee_id INTEGER)"),
            QStringLiteral(
                "INSERT INTO ledger VALUES(1, 'Carol', 700, 'yes', 1, 'R', 'rent\nfor May', x'%1', 2)")
                .arg(MagentaPngHex()),
            QStringLiteral("INSERT INTO ledger VALUES(2, 'Bob', 12.5, 'no', 0, 'B', NULL, x'0102', 1)"),
            QStringLiteral("INSERT INTO ledger VALUES(3, 'Alice', 3, 'maybe', NULL, 'X', '', NULL, 9)"),
            QStringLiteral("CREATE TABLE payees(id INTEGER PRIMARY KEY, name TEXT)"),
            QStringLiteral("INSERT INTO payees VALUES(1, 'Bob Builder'), (2, 'Carol Singer')"),
        });
    table_ = new TTable(&form_);
    table_->SetDatabaseName(file_);
    table_->SetTableName(QStringLiteral("ledger"));
    source_ = new TDataSource(&form_);
    source_->SetDataSet(table_);
  }

  template <typename Control>
  Control* Make(const char* field) {
    auto* control = new Control(&form_);
    control->SetDataSource(source_);
    control->SetDataField(QString::fromUtf8(field));
    return control;
  }

  ScratchDirectory directory_;
  QString file_ = directory_.File(QStringLiteral("ledger.db"));
  TForm form_;
  TTable* table_ = nullptr;
  TDataSource* source_ = nullptr;
};
