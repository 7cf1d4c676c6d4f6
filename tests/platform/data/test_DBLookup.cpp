#include "platform/data/DBLookup.h"
#include "platform/data/Fields.h"
#include "tests/platform/data/DataControlTest.h"

namespace {

TEST_F(DataControlTest, LookupComboShowsTheMatchingRecordsTextWithoutMovingIt) {
  auto* payees = new TTable(&form_);
  payees->SetDatabaseName(file_);
  payees->SetTableName(QStringLiteral("payees"));
  auto* payeeSource = new TDataSource(&form_);
  payeeSource->SetDataSet(payees);
  auto* lookup = Make<TDBLookupCombo>("payee_id");
  lookup->SetLookupSource(payeeSource);
  lookup->SetLookupField(QStringLiteral("id"));
  lookup->SetLookupDisplay(QStringLiteral("name;id"));
  payees->Open();
  table_->Open();
  EXPECT_EQ(lookup->Items(), QStringList({QStringLiteral("Bob Builder"), QStringLiteral("Carol Singer")}));
  EXPECT_EQ(lookup->DisplayValue(), QStringLiteral("Carol Singer"));
  EXPECT_EQ(lookup->Field()->AsInteger(), 2) << "the key stays what the field holds";
  table_->Next();
  EXPECT_EQ(lookup->DisplayValue(), QStringLiteral("Bob Builder"));
  EXPECT_EQ(payees->RecNo(), 1);
  table_->Next();
  EXPECT_EQ(lookup->DisplayValue(), QString()) << "a key without a record shows nothing";
  payees->Close();
  EXPECT_TRUE(lookup->Items().isEmpty());
}

}  // namespace
