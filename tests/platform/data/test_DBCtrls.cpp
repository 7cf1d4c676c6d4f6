#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Grids.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"
#include "platform/data/DBCtrls.h"
#include "platform/data/DBGrids.h"
#include "platform/data/DBLookup.h"
#include "platform/data/DBNavigator.h"
#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "tests/platform/data/DataControlTest.h"

#include <QTest>
#include <functional>

namespace {

// The print renderer picks a control's rule by trying class tests in a fixed order and taking the first that
// holds. Each control must pass its own test before any other, or it would print by another control's rule
// (a data memo as a plain memo, a radio group as a group box).
TEST(ControlClasses, EachControlMeetsItsOwnClassTestFirst) {
  using Test = std::function<bool(QWidget*)>;
  const auto is = [](auto* type) -> Test {
    using T = std::remove_pointer_t<decltype(type)>;
    return [](QWidget* widget) { return dynamic_cast<T*>(widget) != nullptr; };
  };
  const std::vector<std::pair<QString, Test>> rules = {
      {QStringLiteral("navigator"), is(static_cast<TDBNavigator*>(nullptr))},
      {QStringLiteral("edit"),
       [](QWidget* w) {
         return dynamic_cast<TEdit*>(w) || dynamic_cast<TMaskEdit*>(w) || dynamic_cast<TDBEdit*>(w);
       }},
      {QStringLiteral("label"), is(static_cast<TLabel*>(nullptr))},
      {QStringLiteral("data text"), is(static_cast<TDBText*>(nullptr))},
      {QStringLiteral("group box"), is(static_cast<TGroupBox*>(nullptr))},
      {QStringLiteral("radio group"), is(static_cast<TRadioGroup*>(nullptr))},
      {QStringLiteral("data radio group"), is(static_cast<TDBRadioGroup*>(nullptr))},
      {QStringLiteral("radio button"), is(static_cast<TRadioButton*>(nullptr))},
      {QStringLiteral("check box"), is(static_cast<TCheckBox*>(nullptr))},
      {QStringLiteral("data check box"), is(static_cast<TDBCheckBox*>(nullptr))},
      {QStringLiteral("memo"), is(static_cast<TMemo*>(nullptr))},
      {QStringLiteral("data memo"), is(static_cast<TDBMemo*>(nullptr))},
      {QStringLiteral("combo box"), is(static_cast<TComboBox*>(nullptr))},
      {QStringLiteral("data combo box"), is(static_cast<TDBComboBox*>(nullptr))},
      {QStringLiteral("lookup combo"), is(static_cast<TDBLookupCombo*>(nullptr))},
      {QStringLiteral("data grid"), is(static_cast<TDBGrid*>(nullptr))},
      {QStringLiteral("string grid"), is(static_cast<TStringGrid*>(nullptr))},
      {QStringLiteral("image"), is(static_cast<TImage*>(nullptr))},
      {QStringLiteral("data image"), is(static_cast<TDBImage*>(nullptr))},
      {QStringLiteral("bevel"), is(static_cast<TBevel*>(nullptr))},
      {QStringLiteral("panel"), is(static_cast<TPanel*>(nullptr))},
      {QStringLiteral("scroll box"), is(static_cast<TScrollBox*>(nullptr))},
      {QStringLiteral("shape"), is(static_cast<TShape*>(nullptr))},
  };
  TForm form;
  const std::vector<std::pair<QWidget*, QString>> controls = {
      {new TDBNavigator(&form), QStringLiteral("navigator")},
      {new TEdit(&form), QStringLiteral("edit")},
      {new TMaskEdit(&form), QStringLiteral("edit")},
      {new TDBEdit(&form), QStringLiteral("edit")},
      {new TLabel(&form), QStringLiteral("label")},
      {new TDBText(&form), QStringLiteral("data text")},
      {new TGroupBox(&form), QStringLiteral("group box")},
      {new TRadioGroup(&form), QStringLiteral("radio group")},
      {new TDBRadioGroup(&form), QStringLiteral("data radio group")},
      {new TRadioButton(&form), QStringLiteral("radio button")},
      {new TCheckBox(&form), QStringLiteral("check box")},
      {new TDBCheckBox(&form), QStringLiteral("data check box")},
      {new TMemo(&form), QStringLiteral("memo")},
      {new TDBMemo(&form), QStringLiteral("data memo")},
      {new TComboBox(&form), QStringLiteral("combo box")},
      {new TDBComboBox(&form), QStringLiteral("data combo box")},
      {new TDBLookupCombo(&form), QStringLiteral("lookup combo")},
      {new TDBGrid(&form), QStringLiteral("data grid")},
      {new TStringGrid(&form), QStringLiteral("string grid")},
      {new TImage(&form), QStringLiteral("image")},
      {new TDBImage(&form), QStringLiteral("data image")},
      {new TBevel(&form), QStringLiteral("bevel")},
      {new TPanel(&form), QStringLiteral("panel")},
      {new TScrollBox(&form), QStringLiteral("scroll box")},
      {new TShape(&form), QStringLiteral("shape")},
  };
  for (const auto& [widget, expected] : controls) {
    QString first;
    for (const auto& [name, test] : rules) {
      if (test(widget)) {
        first = name;
        break;
      }
    }
    EXPECT_EQ(first, expected) << widget->metaObject()->className();
    EXPECT_NE(dynamic_cast<TControl*>(widget), nullptr);
  }
}

TEST_F(DataControlTest, ControlsShowTheCurrentRecordAndNothingWithoutOne) {
  auto* edit = Make<TDBEdit>("amount");
  auto* text = Make<TDBText>("payee");
  auto* memo = Make<TDBMemo>("note");
  auto* combo = Make<TDBComboBox>("kind");
  combo->SetItems({QStringLiteral("R"), QStringLiteral("B")});
  EXPECT_EQ(edit->Text(), QString());
  EXPECT_EQ(edit->Field(), nullptr);

  table_->Open();
  auto* amount = static_cast<TNumericField*>(table_->FieldByName(QStringLiteral("amount")));
  amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
  table_->Refresh();
  EXPECT_EQ(edit->Text(), QStringLiteral("700.00"));
  EXPECT_EQ(edit->Alignment(), taRightJustify) << "aligned as its field";
  EXPECT_TRUE(edit->isReadOnly());
  EXPECT_EQ(text->Caption(), QStringLiteral("Carol"));
  EXPECT_EQ(memo->Lines(), QStringList({QStringLiteral("rent"), QStringLiteral("for May")}));
  EXPECT_EQ(combo->ItemIndex(), 0);

  table_->Next();
  EXPECT_EQ(edit->Text(), QStringLiteral("12.50"));
  EXPECT_EQ(text->Caption(), QStringLiteral("Bob"));
  EXPECT_TRUE(memo->Lines().isEmpty());
  EXPECT_EQ(combo->Text(), QStringLiteral("B"));

  table_->DisableControls();
  table_->Next();
  EXPECT_EQ(text->Caption(), QStringLiteral("Bob")) << "disabled controls do not follow";
  table_->EnableControls();
  EXPECT_EQ(text->Caption(), QStringLiteral("Alice"));

  text->SetDataField(QStringLiteral("nosuch"));
  EXPECT_EQ(text->Caption(), QString());
  table_->Close();
  EXPECT_EQ(edit->Text(), QString());
  EXPECT_EQ(combo->Text(), QString());
}

TEST_F(DataControlTest, CheckBoxReadsItsValuesOrATruthFieldAndGraysTheRest) {
  auto* paid = Make<TDBCheckBox>("paid");
  paid->SetValueChecked(QStringLiteral("Yes;Y"));
  paid->SetValueUnchecked(QStringLiteral("no"));
  auto* cleared = Make<TDBCheckBox>("cleared");
  table_->Open();
  const std::vector<std::pair<TCheckBoxState, TCheckBoxState>> expected = {
      {cbChecked, cbChecked}, {cbUnchecked, cbUnchecked}, {cbGrayed, cbGrayed}};
  for (const auto& [paidState, clearedState] : expected) {
    EXPECT_EQ(paid->State(), paidState) << "record " << table_->RecNo();
    EXPECT_EQ(cleared->State(), clearedState) << "record " << table_->RecNo();
    table_->Next();
  }
  table_->First();
  form_.show();
  QTest::mouseClick(paid, Qt::LeftButton, {}, QPoint(8, paid->height() / 2));
  EXPECT_EQ(paid->State(), cbChecked) << "a click does not change what the field holds";
}

TEST_F(DataControlTest, RadioGroupPicksTheItemOfTheFieldsValue) {
  auto* kind = Make<TDBRadioGroup>("kind");
  kind->SetItems({QStringLiteral("Rent"), QStringLiteral("Books"), QStringLiteral("X")});
  kind->SetValues({QStringLiteral("R"), QStringLiteral("B")});
  table_->Open();
  EXPECT_EQ(kind->ItemIndex(), 0);
  EXPECT_EQ(kind->Value(), QStringLiteral("R"));
  table_->Next();
  EXPECT_EQ(kind->ItemIndex(), 1);
  kind->Button(0)->click();
  EXPECT_EQ(kind->ItemIndex(), 1) << "the field decides";
  table_->Next();
  EXPECT_EQ(kind->ItemIndex(), 2) << "an item without a value stands for its caption";
  kind->SetValues({QStringLiteral("R"), QStringLiteral("B"), QStringLiteral("Z")});
  EXPECT_EQ(kind->ItemIndex(), -1);
}

TEST_F(DataControlTest, ImageShowsPicturesAndNothingForOtherBytes) {
  auto* image = Make<TDBImage>("receipt");
  image->SetBounds(0, 0, 20, 10);
  table_->Open();
  EXPECT_EQ(image->Picture().Kind(), gkBitmap);
  EXPECT_EQ(image->Picture().size(), QSize(6, 3));
  EXPECT_EQ(image->PictureRect(), QRect(7, 3, 6, 3)) << "centred by default";
  EXPECT_EQ(image->grab().toImage().pixelColor(9, 4), QColor(Qt::magenta));
  table_->Next();
  EXPECT_TRUE(image->Picture().Empty());
  table_->Next();
  EXPECT_TRUE(image->Picture().Empty());
}

}  // namespace
