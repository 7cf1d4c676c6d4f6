#pragma once

// The fields of a data set: each column's value at the current record, as the controls show and print it.

#include "platform/Controls.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class TDataSet;

/** The kind of value a field holds. */
enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic
};

/**
 * One column of a data set, read at the data set's active record. The class of a field follows its kind
 * (TIntegerField, TFloatField, TStringField, ...), as the framework's do; a data set makes them when it
 * opens.
 *
 * Text is the field's value as edit text, DisplayText as shown in a control (numbers through DisplayFormat).
 * An OnGetText handler sees the text the field would give and may replace it; its flag says which of the
 * two is asked for. AsInteger and AsFloat of a value that is no number fail with EConvertError; AsString and
 * the texts never fail (a stored text that is no number shows as stored).
 */
class TField {
public:
  /** Handler of OnGetText: the field, the text (to replace or keep) and whether the display text is asked. */
  using TFieldGetTextEvent = std::function<void(const TField& sender, QString& text, bool displayText)>;

  virtual ~TField();
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TDataSet* DataSet() const { return dataSet_; }
  /** The field's place among the data set's fields, from 0. */
  int Index() const { return index_; }
  QString FieldName() const { return fieldName_; }
  TFieldType DataType() const { return dataType_; }
  /** The column's declared type as written in the database (for a computed column: its storage class). */
  QString DeclaredType() const { return declaredType_; }
  /** For strings the declared length (0: none), for BCD fields the declared number of decimals. */
  int Size() const { return size_; }

  /** The column title shown and printed; the FieldName until one is set. */
  QString DisplayLabel() const { return displayLabel_.isEmpty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const QString& label) { displayLabel_ = label; }
  /** Width in characters that grids give the field by default. */
  int DisplayWidth() const { return displayWidth_; }
  void SetDisplayWidth(int width) { displayWidth_ = width; }
  /** Numbers are right-justified by default, everything else left-justified. */
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  /** Marks a field whose value a program computes; such fields cannot be sorted on. */
  bool Calculated() const { return calculated_; }
  void SetCalculated(bool calculated) { calculated_ = calculated; }

  /** The stored value at the active record (null without one). */
  QVariant Value() const;
  bool IsNull() const { return Value().isNull(); }
  virtual QString AsString() const;
  virtual double AsFloat() const;
  virtual int AsInteger() const;
  virtual bool AsBoolean() const;
  /** The stored bytes (a text value as UTF-8). */
  QByteArray AsBytes() const;

  QString Text() const { return TextWithHandler(false); }
  QString DisplayText() const { return TextWithHandler(true); }

  const TFieldGetTextEvent& OnGetText() const { return onGetText_; }
  void SetOnGetText(TFieldGetTextEvent handler) { onGetText_ = std::move(handler); }

protected:
  TField(TFieldType dataType, int displayWidth, TAlignment alignment);
  /** The field's own text, before any OnGetText handler. */
  virtual QString GetText(bool displayText) const;

private:
  friend class TDataSet;
  QString TextWithHandler(bool displayText) const;

  TDataSet* dataSet_ = nullptr;
  int index_ = -1;
  QString fieldName_;
  QString declaredType_;
  TFieldType dataType_;
  int size_ = 0;
  QString displayLabel_;
  int displayWidth_;
  TAlignment alignment_;
  bool visible_ = true;
  bool calculated_ = false;
  TFieldGetTextEvent onGetText_;
};

/** A number field: DisplayFormat (FormatFloat pattern for DisplayText) and EditFormat (for Text). */
class TNumericField : public TField {
public:
  QString DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString& format) { displayFormat_ = format; }
  QString EditFormat() const { return editFormat_; }
  void SetEditFormat(const QString& format) { editFormat_ = format; }

protected:
  TNumericField(TFieldType dataType, int displayWidth) : TField(dataType, displayWidth, taRightJustify) {}
  /** The pattern for the text asked for: DisplayFormat for display, else EditFormat (or DisplayFormat). */
  QString FormatFor(bool displayText) const;

private:
  QString displayFormat_;
  QString editFormat_;
};

/** A whole number; AsInteger fails for values outside 32 bits. */
class TIntegerField : public TNumericField {
public:
  TIntegerField() : TIntegerField(ftInteger, 11) {}
  QString AsString() const override;
  double AsFloat() const override;
  int AsInteger() const override;
  /** The value in 64 bits, as SQLite stores it. */
  qint64 AsLargeInt() const;

protected:
  TIntegerField(TFieldType dataType, int displayWidth) : TNumericField(dataType, displayWidth) {}
  QString GetText(bool displayText) const override;
};

class TSmallintField : public TIntegerField {
public:
  TSmallintField() : TIntegerField(ftSmallint, 6) {}
};

class TWordField : public TIntegerField {
public:
  TWordField() : TIntegerField(ftWord, 5) {}
};

/** The row identity of a table (an INTEGER PRIMARY KEY). */
class TAutoIncField : public TIntegerField {
public:
  TAutoIncField() : TIntegerField(ftAutoInc, 11) {}
};

/**
 * A floating-point number. With Currency set and no DisplayFormat its display text is the money format and
 * its edit text has two decimals; otherwise, without a pattern, the general format.
 */
class TFloatField : public TNumericField {
public:
  TFloatField() : TFloatField(ftFloat) {}
  bool Currency() const { return currency_; }
  void SetCurrency(bool currency) { currency_ = currency; }
  QString AsString() const override;

protected:
  explicit TFloatField(TFieldType dataType) : TNumericField(dataType, 10) {}
  QString GetText(bool displayText) const override;

private:
  bool currency_ = false;
};

/** A money amount: a float field with Currency set. */
class TCurrencyField : public TFloatField {
public:
  TCurrencyField() : TFloatField(ftCurrency) { SetCurrency(true); }
};

/** A decimal number (NUMERIC, DECIMAL), read as a double; texts as a float field's. */
class TBCDField : public TNumericField {
public:
  TBCDField() : TNumericField(ftBCD, 10) {}
  bool Currency() const { return currency_; }
  void SetCurrency(bool currency) { currency_ = currency; }
  /** The declared number of digits (0: not declared). */
  int Precision() const { return precision_; }
  QString AsString() const override;

protected:
  QString GetText(bool displayText) const override;

private:
  friend class TDataSet;
  bool currency_ = false;
  int precision_ = 0;
};

class TStringField : public TField {
public:
  TStringField() : TField(ftString, 20, taLeftJustify) {}
};

/** A truth value stored as 0/1 or as a word such as "true"; its text is "True" or "False". */
class TBooleanField : public TField {
public:
  TBooleanField() : TField(ftBoolean, 5, taLeftJustify) {}
  QString AsString() const override;
};

/**
 * A date and time stored as ISO 8601 text ("2024-03-01", "13:45:00", "2024-03-01 13:45:00"). Its texts are
 * the ISO form, or with a DisplayFormat (Qt's date-time format, e.g. "dd.MM.yyyy") that form for display;
 * a stored text that is no date shows as stored.
 */
class TDateTimeField : public TField {
public:
  TDateTimeField() : TDateTimeField(ftDateTime, 18) {}
  QString DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString& format) { displayFormat_ = format; }
  /** The stored value as a date and time; invalid when it is none. */
  QDateTime AsDateTime() const;
  QString AsString() const override;

protected:
  TDateTimeField(TFieldType dataType, int displayWidth) : TField(dataType, displayWidth, taLeftJustify) {}
  QString GetText(bool displayText) const override;

private:
  QString displayFormat_;
};

class TDateField : public TDateTimeField {
public:
  TDateField() : TDateTimeField(ftDate, 10) {}
};

class TTimeField : public TDateTimeField {
public:
  TTimeField() : TDateTimeField(ftTime, 10) {}
};

/** Binary data. Its display text is "(Blob)" (a memo's "(Memo)", a picture's "(Graphic)"). */
class TBlobField : public TField {
public:
  TBlobField() : TBlobField(ftBlob) {}
  QString AsString() const override;

protected:
  explicit TBlobField(TFieldType dataType) : TField(dataType, 10, taLeftJustify) {}
  QString GetText(bool displayText) const override;
};

/** Long text; AsString and Text give the text, DisplayText "(Memo)". */
class TMemoField : public TBlobField {
public:
  TMemoField() : TBlobField(ftMemo) {}

protected:
  QString GetText(bool displayText) const override;
};

/** A picture in any format Qt reads; DisplayText "(Graphic)". */
class TGraphicField : public TBlobField {
public:
  TGraphicField() : TBlobField(ftGraphic) {}
};

/**
 * The field kind of a column from its declared type: the one mapping table of the data access layer (the
 * README lists it). rowIdAlias marks the table's INTEGER PRIMARY KEY, which becomes an auto-increment field.
 */
TFieldType FieldTypeOfDeclaredType(const QString& declaredType, bool rowIdAlias = false);

/** A new, unbound field of that kind (a string field for ftUnknown). */
std::unique_ptr<TField> CreateField(TFieldType dataType);

/** True for a stored value SQLite holds as a number (integers, reals and truth values). */
bool IsNumberValue(const QVariant& value);
