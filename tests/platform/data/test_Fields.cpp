#include "platform/data/DBTables.h"
#include "platform/data/Fields.h"
#include "tests/platform/data/DataTestSupport.h"

namespace {

struct MappingCase {
  const char* declared;
  bool rowIdAlias;
  TFieldType type;
};

class DeclaredTypes : public ::testing::TestWithParam<MappingCase> {};

TEST_P(DeclaredTypes, MapToOneFieldKind) {
  EXPECT_EQ(FieldTypeOfDeclaredType(QString::fromUtf8(GetParam().declared), GetParam().rowIdAlias),
            GetParam().type)
      << GetParam().declared;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeclaredTypes,
    ::testing::Values(MappingCase{"INTEGER", false, ftInteger}, MappingCase{"integer", true, ftAutoInc},
                      MappingCase{"BIGINT", true, ftInteger}, MappingCase{"SMALLINT", false, ftSmallint},
                      MappingCase{"WORD", false, ftWord}, MappingCase{"REAL", false, ftFloat},
                      MappingCase{"Double  Precision", false, ftFloat}, MappingCase{"FLOAT", false, ftFloat},
                      MappingCase{"CURRENCY", false, ftCurrency}, MappingCase{"MONEY", false, ftCurrency},
                      MappingCase{"NUMERIC(10,2)", false, ftBCD}, MappingCase{"DECIMAL", false, ftBCD},
                      MappingCase{"VARCHAR(40)", false, ftString}, MappingCase{"CHAR(3)", false, ftString},
                      MappingCase{"TEXT", false, ftString}, MappingCase{"MEMO", false, ftMemo},
                      MappingCase{"BLOB", false, ftBlob}, MappingCase{"GRAPHIC", false, ftGraphic},
                      MappingCase{"IMAGE", false, ftGraphic}, MappingCase{"BOOLEAN", false, ftBoolean},
                      MappingCase{"DATE", false, ftDate}, MappingCase{"TIME", false, ftTime},
                      MappingCase{"TIMESTAMP", false, ftDateTime},
                      // other dialects fall back to SQLite's affinity rules
                      MappingCase{"UNSIGNED BIG INT", false, ftInteger},
                      MappingCase{"NVARCHAR2(10)", false, ftString}, MappingCase{"LONGBLOB", false, ftBlob},
                      MappingCase{"FLOAT8", false, ftFloat}, MappingCase{"", false, ftString},
                      MappingCase{"JSON", false, ftString}));

// One record per case: the column's declared type, its stored value, a pattern; the texts it gives.
struct TextCase {
  const char* declared;
  const char* value;  // SQL literal
  const char* displayFormat;
  const char* text;
  const char* displayText;
  TAlignment alignment;
};

class FieldTexts : public ::testing::TestWithParam<TextCase> {
protected:
  static void SetUpTestSuite() {
    saved_ = FormatSettings();
    TFormatSettings settings;
    settings.CurrencyLocale = QLocale(QLocale::English, QLocale::UnitedStates);
    SetFormatSettings(settings);
  }
  static void TearDownTestSuite() { SetFormatSettings(saved_); }
  static inline TFormatSettings saved_;
  ScratchDirectory directory_;
};

TEST_P(FieldTexts, FollowTheFieldKind) {
  const TextCase& c = GetParam();
  const QString file = directory_.File(QStringLiteral("values.db"));
  WriteDatabase(file, {QStringLiteral("CREATE TABLE t(v %1)").arg(QString::fromUtf8(c.declared)),
                       QStringLiteral("INSERT INTO t VALUES(%1)").arg(QString::fromUtf8(c.value))});
  TTable table;
  table.SetDatabaseName(file);
  table.SetTableName(QStringLiteral("t"));
  table.Open();
  TField* field = table.Fields(0);
  if (auto* number = dynamic_cast<TNumericField*>(field))
    number->SetDisplayFormat(QString::fromUtf8(c.displayFormat));
  if (auto* date = dynamic_cast<TDateTimeField*>(field))
    date->SetDisplayFormat(QString::fromUtf8(c.displayFormat));
  EXPECT_EQ(field->Text(), QString::fromUtf8(c.text)) << c.declared << " " << c.value;
  EXPECT_EQ(field->DisplayText(), QString::fromUtf8(c.displayText)) << c.declared << " " << c.value;
  EXPECT_EQ(field->Alignment(), c.alignment) << c.declared;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FieldTexts,
    ::testing::Values(
        TextCase{"INTEGER", "1234567", "", "1234567", "1234567", taRightJustify},
        TextCase{"INTEGER", "1234567", "#,##0", "1,234,567", "1,234,567", taRightJustify},
        TextCase{"SMALLINT", "'n/a'", "#,##0", "n/a", "n/a", taRightJustify},
        TextCase{"FLOAT", "2.5", "", "2.5", "2.5", taRightJustify},
        TextCase{"FLOAT", "2.5", "0.000", "2.500", "2.500", taRightJustify},
        TextCase{"CURRENCY", "-1234.5", "", "-1234.50", "($1,234.50)", taRightJustify},
        TextCase{"CURRENCY", "1234.5", "#,##0.00", "1,234.50", "1,234.50", taRightJustify},
        TextCase{"NUMERIC(8,2)", "19.9", "", "19.9", "19.9", taRightJustify},
        TextCase{"REAL", "NULL", "0.00", "", "", taRightJustify},
        TextCase{"VARCHAR(10)", "'Quenary'", "", "Quenary", "Quenary", taLeftJustify},
        TextCase{"BOOLEAN", "1", "", "True", "True", taLeftJustify},
        TextCase{"DATE", "'2024-03-01'", "", "2024-03-01", "2024-03-01", taLeftJustify},
        TextCase{"DATE", "'2024-03-01'", "dd.MM.yyyy", "2024-03-01", "01.03.2024", taLeftJustify},
        TextCase{"DATE", "'soon'", "dd.MM.yyyy", "soon", "soon", taLeftJustify},
        TextCase{"DATE", "'2024-03-01T13:45:00'", "", "2024-03-01", "2024-03-01", taLeftJustify},
        TextCase{"DATE", "' 2024-03-01 '", "", "2024-03-01", "2024-03-01", taLeftJustify},
        TextCase{"DATETIME", "'2024-03-01T13:45:00'", "", "2024-03-01 13:45:00", "2024-03-01 13:45:00",
                 taLeftJustify},
        TextCase{"MEMO", "'long text'", "", "long text", "(Memo)", taLeftJustify},
        TextCase{"GRAPHIC", "x'89504E47'", "", "(Graphic)", "(Graphic)", taLeftJustify},
        TextCase{"BLOB", "x'00'", "", "(Blob)", "(Blob)", taLeftJustify}));

class FieldValues : public ::testing::Test {
protected:
  void SetUp() override {
    WriteDatabase(file_, {QStringLiteral("CREATE TABLE t(id INTEGER PRIMARY KEY, n INTEGER, x REAL, s TEXT, "
                                         "b BOOLEAN)"),
                          QStringLiteral("INSERT INTO t VALUES(1, 42, 2.5, 'seven', 'yes')"),
                          QStringLiteral("INSERT INTO t VALUES(2, 'many', 'lots', ' 12', 'perhaps')"),
                          QStringLiteral("INSERT INTO t VALUES(3, 5000000000, 1e300, NULL, NULL)")});
    table_.SetDatabaseName(file_);
    table_.SetTableName(QStringLiteral("t"));
    table_.Open();
  }
  TField* Field(const char* name) { return table_.FieldByName(QString::fromUtf8(name)); }

  ScratchDirectory directory_;
  QString file_ = directory_.File(QStringLiteral("values.db"));
  TTable table_;
};

TEST_F(FieldValues, NumbersReadAsNumbersAndAnythingElseFailsNamingFileRecordAndField) {
  EXPECT_EQ(Field("n")->AsInteger(), 42);
  EXPECT_DOUBLE_EQ(Field("x")->AsFloat(), 2.5);
  EXPECT_EQ(Field("x")->AsInteger(), 2) << "rounded to even";
  EXPECT_TRUE(Field("b")->AsBoolean());
  EXPECT_THROW(Field("s")->AsFloat(), EConvertError);
  table_.Next();
  EXPECT_EQ(Field("s")->AsInteger(), 12) << "a text that is a number reads as one";
  try {
    Field("n")->AsInteger();
    ADD_FAILURE() << "read 'many' as a number";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(),
              QStringLiteral("table \"t\" of \"%1\", record 2 (row id 2), field \"n\": 'many' is "
                             "not a valid integer value")
                  .arg(file_));
  }
  EXPECT_THROW(Field("x")->AsFloat(), EConvertError);
  EXPECT_THROW(Field("b")->AsBoolean(), EConvertError);
  EXPECT_EQ(Field("n")->DisplayText(), QStringLiteral("many")) << "texts never fail";
  EXPECT_EQ(Field("b")->Text(), QStringLiteral("perhaps"));
  table_.Next();
  EXPECT_EQ(static_cast<TIntegerField*>(Field("n"))->AsLargeInt(), 5000000000LL);
  EXPECT_THROW(Field("n")->AsInteger(), EConvertError) << "beyond 32 bits";
  EXPECT_THROW(Field("x")->AsInteger(), EConvertError);
  EXPECT_TRUE(Field("s")->IsNull());
  EXPECT_EQ(Field("s")->AsInteger(), 0);
  EXPECT_FALSE(Field("b")->AsBoolean());
}

TEST_F(FieldValues, OnGetTextSeesTheFieldsTextAndWhichTextIsAsked) {
  auto* number = static_cast<TNumericField*>(Field("n"));
  number->SetDisplayFormat(QStringLiteral("000"));
  number->SetEditFormat(QStringLiteral("0"));
  std::vector<std::pair<QString, bool>> seen;
  number->SetOnGetText([&seen](const TField& sender, QString& text, bool displayText) {
    seen.emplace_back(text, displayText);
    text = sender.FieldName() + QLatin1Char('=') + text;
  });
  EXPECT_EQ(number->DisplayText(), QStringLiteral("n=042"));
  EXPECT_EQ(number->Text(), QStringLiteral("n=42"));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(QStringLiteral("042"), true));
  EXPECT_EQ(seen[1], std::make_pair(QStringLiteral("42"), false));
  EXPECT_EQ(number->AsString(), QStringLiteral("42")) << "the value itself is untouched";
  number->SetEditFormat(QString());
  EXPECT_EQ(number->Text(), QStringLiteral("n=042")) << "without an edit format the display format serves";
  number->SetOnGetText(nullptr);
  EXPECT_EQ(number->DisplayText(), QStringLiteral("042"));
}

TEST_F(FieldValues, FloatWithCurrencyUsesTheMoneyFormatUntilItHasAPattern) {
  auto* amount = dynamic_cast<TFloatField*>(Field("x"));
  ASSERT_NE(amount, nullptr);
  EXPECT_FALSE(amount->Currency());
  amount->SetCurrency(true);
  EXPECT_EQ(amount->DisplayText(), FormatMoney(2.5));
  EXPECT_EQ(amount->Text(), QStringLiteral("2.50"));
  amount->SetDisplayFormat(QStringLiteral("0.0"));
  EXPECT_EQ(amount->DisplayText(), QStringLiteral("2.5"));
  EXPECT_EQ(amount->Text(), QStringLiteral("2.5")) << "without an edit format the display format serves";
  amount->SetEditFormat(QStringLiteral("0.000"));
  EXPECT_EQ(amount->Text(), QStringLiteral("2.500"));
}

}  // namespace
