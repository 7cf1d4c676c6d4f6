#pragma once

// The lookup combo box: for the key its field holds, the matching text from another data set.

#include "platform/data/DBCtrls.h"

/**
 * A combo box that shows, for the key its field holds, the text of the matching record of another data set:
 * the record of LookupSource's data set whose LookupField equals the key shows its LookupDisplay field (the
 * first of several names separated by ";"). The list offers the display texts of every lookup record. The
 * key stays what the field holds (Field() is the key field, as printing reads it); picking in the list
 * changes nothing stored.
 */
class TDBLookupCombo : public TCustomComboBox, public TDBControl {
  Q_OBJECT
public:
  explicit TDBLookupCombo(QWidget* parent);

  TDataSource* LookupSource() const { return lookup_->DataSource(); }
  void SetLookupSource(TDataSource* source) { lookup_->SetDataSource(source); }
  QString LookupField() const { return lookupField_; }
  void SetLookupField(const QString& fieldName);
  QString LookupDisplay() const { return lookupDisplay_; }
  void SetLookupDisplay(const QString& fieldNames);
  /** The text shown for the current key: the display text of the matching lookup record, else empty. */
  QString DisplayValue() const { return Text(); }

protected:
  void ShowField() override;

private:
  QString DisplayFieldName() const;
  void FillList();

  TFieldDataLink* lookup_;
  QString lookupField_;
  QString lookupDisplay_;
  bool showing_ = false;
};
