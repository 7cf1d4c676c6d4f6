#include "platform/data/Fields.h"

#include "platform/SysUtils.h"
#include "platform/data/DB.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The one mapping from a column's declared type to the kind of field that reads it. A declared type is
// matched by its name without a size, in upper case, with runs of blanks as one ("DOUBLE PRECISION",
// "VARCHAR(40)" as "VARCHAR"). Names not listed fall back to SQLite's own affinity rules below.
struct DeclaredTypeMapping {
  const char* name;
  TFieldType type;
};

constexpr DeclaredTypeMapping DeclaredTypes[] = {
    {"INTEGER", ftInteger},
    {"INT", ftInteger},
    {"BIGINT", ftInteger},
    {"MEDIUMINT", ftInteger},
    {"INT8", ftInteger},
    {"LONGINT", ftInteger},
    {"SMALLINT", ftSmallint},
    {"INT2", ftSmallint},
    {"TINYINT", ftSmallint},
    {"SHORTINT", ftSmallint},
    {"WORD", ftWord},
    {"AUTOINC", ftAutoInc},
    {"REAL", ftFloat},
    {"FLOAT", ftFloat},
    {"DOUBLE", ftFloat},
    {"DOUBLE PRECISION", ftFloat},
    {"CURRENCY", ftCurrency},
    {"MONEY", ftCurrency},
    {"NUMERIC", ftBCD},
    {"DECIMAL", ftBCD},
    {"BCD", ftBCD},
    {"VARCHAR", ftString},
    {"CHAR", ftString},
    {"CHARACTER", ftString},
    {"NCHAR", ftString},
    {"NVARCHAR", ftString},
    {"VARYING CHARACTER", ftString},
    {"NATIVE CHARACTER", ftString},
    {"TEXT", ftString},
    {"STRING", ftString},
    {"MEMO", ftMemo},
    {"CLOB", ftMemo},
    {"BLOB", ftBlob},
    {"GRAPHIC", ftGraphic},
    {"IMAGE", ftGraphic},
    {"BOOLEAN", ftBoolean},
    {"BOOL", ftBoolean},
    {"DATE", ftDate},
    {"TIME", ftTime},
    {"DATETIME", ftDateTime},
    {"TIMESTAMP", ftDateTime},
};

QString TypeName(const QString& declaredType) {
  QString name = declaredType.section(QLatin1Char('('), 0, 0).simplified().toUpper();
  return name;
}

bool IsWhole(const QVariant& value) { return IsNumberValue(value) && value.typeId() != QMetaType::Double; }

QString StoredText(const QVariant& value) {
  if (value.isNull()) return QString();
  if (value.typeId() == QMetaType::QByteArray) return QString::fromUtf8(value.toByteArray());
  if (value.typeId() == QMetaType::Double) return FormatFloat(QString(), value.toDouble());
  return value.toString();
}

// A text that reads as a finite number in the C locale. Not-a-number and the infinities are no amounts: a
// total they entered would print as NAN or INF.
bool ReadsAsNumber(const QString& text, double& number) {
  bool ok = false;
  number = QLocale::c().toDouble(text.trimmed(), &ok);
  return ok && std::isfinite(number);
}

// A stored number, or a text that is one, as a double; EConvertError for anything else.
double NumberOf(const QVariant& value) {
  if (value.isNull()) return 0.0;
  double number = 0.0;
  if (IsNumberValue(value)) {
    number = value.toDouble();
    if (std::isfinite(number)) return number;
  } else if (ReadsAsNumber(StoredText(value), number)) {
    return number;
  }
  throw EConvertError(
      QStringLiteral("'%1' is not a valid floating point value").arg(ShownName(StoredText(value))));
}

qint64 WholeNumberOf(const QVariant& value) {
  if (value.isNull()) return 0;
  if (IsWhole(value)) return value.toLongLong();
  if (value.typeId() == QMetaType::Double) {
    const double number = value.toDouble();
    if (number >= -9.2e18 && number <= 9.2e18) return RoundHalfEven(number);
    throw EConvertError(
        QStringLiteral("'%1' is not a valid integer value").arg(ShownName(StoredText(value))));
  }
  return StrToInt(StoredText(value));
}

bool BooleanOf(const QVariant& value) {
  if (value.isNull()) return false;
  if (IsNumberValue(value)) return value.toDouble() != 0.0;
  const QString text = StoredText(value).trimmed().toLower();
  static const QStringList truths = {QStringLiteral("true"), QStringLiteral("t"), QStringLiteral("yes"),
                                     QStringLiteral("y"), QStringLiteral("1")};
  static const QStringList falsehoods = {QStringLiteral("false"), QStringLiteral("f"), QStringLiteral("no"),
                                         QStringLiteral("n"),     QStringLiteral("0"), QString()};
  if (truths.contains(text)) return true;
  if (falsehoods.contains(text)) return false;
  throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(ShownName(StoredText(value))));
}

// A value that does not convert is named with where it was read, so the user can find it and mend it: the
// data set's origin, the record and the field.
template <typename Conversion>
auto Placed(const TField& field, Conversion conversion) -> decltype(conversion()) {
  try {
    return conversion();
  } catch (const EConvertError& error) {
    TDataSet* dataSet = field.DataSet();
    if (dataSet == nullptr) throw;
    const QString origin = dataSet->Origin();
    throw EConvertError(QStringLiteral("%1%2, field \"%3\": %4")
                            .arg(origin.isEmpty() ? QString() : origin + QStringLiteral(", "),
                                 dataSet->RecordName(dataSet->ActiveRecord()), ShownName(field.FieldName()),
                                 error.Message()));
  }
}

int ToInteger(qint64 value, const QString& fieldName) {
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    throw EConvertError(QStringLiteral("Value %1 of field '%2' is out of range").arg(value).arg(fieldName));
  return static_cast<int>(value);
}

// A float or BCD field's text: the pattern when there is one, the money format (display) or two decimals
// (edit) for currency, the general format otherwise.
QString FloatText(const QVariant& value, const QString& pattern, bool currency, bool displayText) {
  if (value.isNull()) return QString();
  double number = 0.0;
  if (IsNumberValue(value) ? !std::isfinite(value.toDouble()) : !ReadsAsNumber(StoredText(value), number))
    return StoredText(value);
  number = NumberOf(value);
  if (!pattern.isEmpty()) return FormatFloat(pattern, number);
  if (currency) {
    if (displayText) return FormatMoney(number);
    return FormatFloat(QStringLiteral("0.00"), number);
  }
  return FormatFloat(QString(), number);
}

const QString IsoDate = QStringLiteral("yyyy-MM-dd");
const QString IsoTime = QStringLiteral("HH:mm:ss");
const QString IsoDateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");

}  // namespace

TFieldType FieldTypeOfDeclaredType(const QString& declaredType, bool rowIdAlias) {
  const QString name = TypeName(declaredType);
  if (rowIdAlias && name == QLatin1String("INTEGER")) return ftAutoInc;
  for (const DeclaredTypeMapping& mapping : DeclaredTypes) {
    if (name == QLatin1String(mapping.name)) return mapping.type;
  }
  // SQLite's affinity rules, in its order, for names of other databases' dialects.
  if (name.contains(QLatin1String("INT"))) return ftInteger;
  if (name.contains(QLatin1String("CHAR")) || name.contains(QLatin1String("CLOB")) ||
      name.contains(QLatin1String("TEXT")))
    return ftString;
  if (name.contains(QLatin1String("BLOB"))) return ftBlob;
  if (name.contains(QLatin1String("REAL")) || name.contains(QLatin1String("FLOA")) ||
      name.contains(QLatin1String("DOUB")))
    return ftFloat;
  return ftString;
}

std::unique_ptr<TField> CreateField(TFieldType dataType) {
  switch (dataType) {
    case ftSmallint: return std::make_unique<TSmallintField>();
    case ftInteger: return std::make_unique<TIntegerField>();
    case ftWord: return std::make_unique<TWordField>();
    case ftAutoInc: return std::make_unique<TAutoIncField>();
    case ftBoolean: return std::make_unique<TBooleanField>();
    case ftFloat: return std::make_unique<TFloatField>();
    case ftCurrency: return std::make_unique<TCurrencyField>();
    case ftBCD: return std::make_unique<TBCDField>();
    case ftDate: return std::make_unique<TDateField>();
    case ftTime: return std::make_unique<TTimeField>();
    case ftDateTime: return std::make_unique<TDateTimeField>();
    case ftBlob:
    case ftBytes:
    case ftVarBytes: return std::make_unique<TBlobField>();
    case ftMemo: return std::make_unique<TMemoField>();
    case ftGraphic: return std::make_unique<TGraphicField>();
    case ftUnknown:
    case ftString: break;
  }
  return std::make_unique<TStringField>();
}

TField::TField(TFieldType dataType, int displayWidth, TAlignment alignment)
    : dataType_(dataType), displayWidth_(displayWidth), alignment_(alignment) {}

TField::~TField() = default;

QVariant TField::Value() const {
  if (dataSet_ == nullptr) return QVariant();
  return dataSet_->RecordValue(dataSet_->ActiveRecord(), index_);
}

QString TField::AsString() const { return StoredText(Value()); }

double TField::AsFloat() const {
  return Placed(*this, [this] { return NumberOf(Value()); });
}

int TField::AsInteger() const {
  return Placed(*this, [this] { return ToInteger(WholeNumberOf(Value()), fieldName_); });
}

bool TField::AsBoolean() const {
  return Placed(*this, [this] { return BooleanOf(Value()); });
}

QByteArray TField::AsBytes() const {
  const QVariant value = Value();
  if (value.typeId() == QMetaType::QByteArray) return value.toByteArray();
  return StoredText(value).toUtf8();
}

QString TField::GetText(bool) const { return AsString(); }

QString TField::TextWithHandler(bool displayText) const {
  QString text = GetText(displayText);
  if (onGetText_) onGetText_(*this, text, displayText);
  return text;
}

QString TNumericField::FormatFor(bool displayText) const {
  if (displayText || editFormat_.isEmpty()) return displayFormat_;
  return editFormat_;
}

QString TIntegerField::AsString() const {
  const QVariant value = Value();
  if (IsWhole(value)) return QString::number(value.toLongLong());
  return StoredText(value);
}

double TIntegerField::AsFloat() const { return static_cast<double>(AsLargeInt()); }

int TIntegerField::AsInteger() const { return ToInteger(AsLargeInt(), FieldName()); }

qint64 TIntegerField::AsLargeInt() const {
  return Placed(*this, [this] { return WholeNumberOf(Value()); });
}

QString TIntegerField::GetText(bool displayText) const {
  const QVariant value = Value();
  const QString pattern = FormatFor(displayText);
  if (!IsNumberValue(value) || pattern.isEmpty()) return AsString();
  return FormatFloat(pattern, value.toDouble());
}

QString TFloatField::AsString() const { return FloatText(Value(), QString(), false, false); }

QString TFloatField::GetText(bool displayText) const {
  return FloatText(Value(), FormatFor(displayText), currency_, displayText);
}

QString TBCDField::AsString() const { return FloatText(Value(), QString(), false, false); }

QString TBCDField::GetText(bool displayText) const {
  return FloatText(Value(), FormatFor(displayText), currency_, displayText);
}

QString TBooleanField::AsString() const {
  if (IsNull()) return QString();
  try {
    return AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
  } catch (const EConvertError&) {
    return StoredText(Value());
  }
}

QDateTime TDateTimeField::AsDateTime() const {
  const QString text = StoredText(Value()).trimmed();
  if (text.isEmpty()) return QDateTime();
  QDateTime dateTime = QDateTime::fromString(text, Qt::ISODate);
  if (!dateTime.isValid()) dateTime = QDateTime::fromString(text, IsoDateTime);
  if (!dateTime.isValid()) {
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid()) dateTime = QDateTime(date, QTime(0, 0));
  }
  if (!dateTime.isValid()) {
    QTime time = QTime::fromString(text, IsoTime);
    if (!time.isValid()) time = QTime::fromString(text, QStringLiteral("HH:mm"));
    if (time.isValid()) dateTime = QDateTime(QDate(1899, 12, 30), time);
  }
  return dateTime;
}

QString TDateTimeField::AsString() const { return GetText(false); }

QString TDateTimeField::GetText(bool displayText) const {
  // A date without a time needs no time zone: a local date-time asks the system's zone for every value,
  // which was most of the cost of a long ledger's date column.
  if (DataType() == ftDate && (!displayText || displayFormat_.isEmpty())) {
    const QString text = StoredText(Value()).trimmed();
    // A valid date stored as yyyy-MM-dd is its own text.
    const bool digitsAndDashes = text.size() == 10 && text.at(4) == QLatin1Char('-') &&
                                 text.at(7) == QLatin1Char('-') &&
                                 std::all_of(text.begin(), text.end(), [](QChar character) {
                                   return character == QLatin1Char('-') ||
                                          (character >= QLatin1Char('0') && character <= QLatin1Char('9'));
                                 });
    if (digitsAndDashes && QDate::fromString(text, Qt::ISODate).isValid()) return text;
  }
  const QDateTime dateTime = AsDateTime();
  if (!dateTime.isValid()) return StoredText(Value());
  if (displayText && !displayFormat_.isEmpty()) return dateTime.toString(displayFormat_);
  switch (DataType()) {
    case ftDate: return dateTime.date().toString(IsoDate);
    case ftTime: return dateTime.time().toString(IsoTime);
    default: return dateTime.toString(IsoDateTime);
  }
}

QString TBlobField::AsString() const { return StoredText(Value()); }

QString TBlobField::GetText(bool) const {
  return DataType() == ftGraphic ? QStringLiteral("(Graphic)") : QStringLiteral("(Blob)");
}

QString TMemoField::GetText(bool displayText) const {
  return displayText ? QStringLiteral("(Memo)") : AsString();
}

bool IsNumberValue(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool: return true;
    default: return false;
  }
}
