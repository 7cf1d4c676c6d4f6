#pragma once

// A form's data controls: each shows one field of its data source's current record, on screen and in print.

#include "platform/ExtCtrls.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"
#include "platform/data/DB.h"

#include <QObject>
#include <QPointer>
#include <vector>

class TField;

/**
 * The link of a data control to one field: a data source and a field name. It tells its control to show
 * the field again whenever the record moves, the data set changes, opens or closes, or the source is pointed
 * elsewhere; a data set whose controls are disabled tells nothing until they are enabled again.
 */
class TFieldDataLink : public QObject {
  Q_OBJECT
public:
  explicit TFieldDataLink(QObject* owner);

  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  QString FieldName() const { return fieldName_; }
  void SetFieldName(const QString& fieldName);
  /** The data set of the source while the source is enabled, or nullptr. */
  TDataSet* DataSet() const;
  /** The field of that name while the data set is open, or nullptr. */
  TField* Field() const;

Q_SIGNALS:
  /** What the control shows may have changed. */
  void DataChanged();

private:
  QPointer<TDataSource> source_;
  std::vector<QMetaObject::Connection> connections_;
  QString fieldName_;
};

/**
 * What the data controls share: DataSource and DataField, and showing the field's value at the current
 * record. Data controls show their field and do not change it: the data sets of this program read their
 * files and never write them, so a control offers no edits that would be lost.
 */
class TDBControl {
public:
  virtual ~TDBControl() = default;
  TDBControl(const TDBControl&) = delete;
  TDBControl& operator=(const TDBControl&) = delete;

  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* source) { link_->SetDataSource(source); }
  QString DataField() const { return link_->FieldName(); }
  void SetDataField(const QString& fieldName) { link_->SetFieldName(fieldName); }
  /** The field shown, or nullptr without an open data set or without a field of that name. */
  TField* Field() const { return link_->Field(); }

protected:
  /** The link lives as a child of the control's widget. */
  explicit TDBControl(QObject* owner);
  /** Shows the field's current value (or nothing without one); never fails. */
  virtual void ShowField() = 0;
  TFieldDataLink& Link() const { return *link_; }

private:
  TFieldDataLink* link_;
};

/** A single-line field showing its field's display text, aligned as the field is. */
class TDBEdit : public TCustomMaskEdit, public TDBControl {
  Q_OBJECT
public:
  explicit TDBEdit(QWidget* parent);

protected:
  void ShowField() override;
};

/** A caption showing its field's display text (AutoSize off from the start). */
class TDBText : public TCustomLabel, public TDBControl {
  Q_OBJECT
public:
  explicit TDBText(QWidget* parent);

protected:
  void ShowField() override;
};

/** A multi-line field showing its field's text (a memo field's whole text). */
class TDBMemo : public TCustomMemo, public TDBControl {
  Q_OBJECT
public:
  explicit TDBMemo(QWidget* parent);

protected:
  void ShowField() override;
};

/**
 * A check box showing whether its field holds ValueChecked ("True") or ValueUnchecked ("False"); each may
 * list several texts separated by ";", compared without regard to case. A truth field is read as such.
 * Anything else, and an empty field, shows grayed.
 */
class TDBCheckBox : public TCustomCheckBox, public TDBControl {
  Q_OBJECT
public:
  explicit TDBCheckBox(QWidget* parent);

  QString ValueChecked() const { return valueChecked_; }
  void SetValueChecked(const QString& value);
  QString ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(const QString& value);

protected:
  void ShowField() override;
  void nextCheckState() override {}

private:
  QString valueChecked_ = QStringLiteral("True");
  QString valueUnchecked_ = QStringLiteral("False");
};

/**
 * A radio group whose picked item is the one whose value the field holds. Values gives the value of each
 * item; an item without one stands for its own caption. No item is picked when the field holds none of them.
 */
class TDBRadioGroup : public TCustomRadioGroup, public TDBControl {
  Q_OBJECT
public:
  explicit TDBRadioGroup(QWidget* parent);

  QStringList Values() const { return values_; }
  void SetValues(const QStringList& values);
  /** The field's text at the current record. */
  QString Value() const;

protected:
  void ShowField() override;
  void ItemPicked(int index) override;

private:
  QStringList values_;
};

/** A combo box showing its field's text; its items are choices to show, not to store. */
class TDBComboBox : public TCustomComboBox, public TDBControl {
  Q_OBJECT
public:
  explicit TDBComboBox(QWidget* parent);

protected:
  void ShowField() override;

private:
  bool showing_ = false;
};

/**
 * A picture read from its field (a graphic or other blob field, in any format TPicture reads). Bytes that
 * are no picture show as nothing. Center (the default) and Stretch place it as a TImage does.
 */
class TDBImage : public QWidget, public TControl, public TDBControl {
  Q_OBJECT
public:
  explicit TDBImage(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  const TPicture& Picture() const { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  QRect PictureRect() const;

protected:
  void ShowField() override;
  void paintEvent(QPaintEvent* event) override;
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }
  void BorderStyleChanged() override { update(); }

private:
  TPicture picture_;
  bool stretch_ = false;
  bool center_ = true;
};
