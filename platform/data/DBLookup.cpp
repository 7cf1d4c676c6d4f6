#include "platform/data/DBLookup.h"

#include "platform/data/Fields.h"

TDBLookupCombo::TDBLookupCombo(QWidget* parent)
    : TCustomComboBox(parent), TDBControl(this), lookup_(new TFieldDataLink(this)) {
  SetStyle(csDropDownList);
  connect(lookup_, &TFieldDataLink::DataChanged, this, [this] { ShowField(); });
  connect(this, &QComboBox::currentIndexChanged, this, [this] {
    if (!showing_) ShowField();
  });
}

void TDBLookupCombo::SetLookupField(const QString& fieldName) {
  lookupField_ = fieldName;
  ShowField();
}

void TDBLookupCombo::SetLookupDisplay(const QString& fieldNames) {
  lookupDisplay_ = fieldNames;
  ShowField();
}

QString TDBLookupCombo::DisplayFieldName() const {
  const QString first = lookupDisplay_.section(QLatin1Char(';'), 0, 0).trimmed();
  return first.isEmpty() ? lookupField_ : first;
}

void TDBLookupCombo::FillList() {
  QStringList texts;
  TDataSet* lookup = lookup_->DataSet();
  const TField* display =
      lookup != nullptr && lookup->Active() ? lookup->FindField(DisplayFieldName()) : nullptr;
  if (display != nullptr) {
    // Read without moving the lookup data set, which other controls may show.
    for (qint64 position = 0; position < lookup->RecordCount(); ++position) {
      const TRecordScope scope(*lookup, position);
      texts.append(display->DisplayText());
    }
  }
  if (texts != Items()) SetItems(texts);
}

void TDBLookupCombo::ShowField() {
  showing_ = true;
  try {
    FillList();
    int picked = -1;
    const TField* key = Field();
    TDataSet* lookup = lookup_->DataSet();
    if (key != nullptr && !key->IsNull() && lookup != nullptr && lookup->Active()) {
      const TField* lookupKey = lookup->FindField(lookupField_);
      const QVariant value = key->Value();
      for (qint64 position = 0; lookupKey != nullptr && position < lookup->RecordCount() && picked < 0;
           ++position) {
        if (lookup->RecordValue(position, lookupKey->Index()) == value) picked = static_cast<int>(position);
      }
    }
    SetItemIndex(picked);
  } catch (const Exception&) {
    SetItemIndex(-1);
  }
  showing_ = false;
}
