#include "platform/data/DBCtrls.h"

#include "platform/data/Fields.h"

#include <QPainter>

TFieldDataLink::TFieldDataLink(QObject* owner) : QObject(owner) {}

void TFieldDataLink::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  for (const auto& connection : connections_) disconnect(connection);
  connections_.clear();
  source_ = source;
  if (source != nullptr) {
    const auto changed = [this] { Q_EMIT DataChanged(); };
    connections_.push_back(connect(source, &TDataSource::DataChange, this, changed));
    connections_.push_back(connect(source, &TDataSource::DataSetChange, this, changed));
    connections_.push_back(connect(source, &TDataSource::StateChange, this, changed));
    connections_.push_back(connect(source, &QObject::destroyed, this, changed));
  }
  Q_EMIT DataChanged();
}

void TFieldDataLink::SetFieldName(const QString& fieldName) {
  if (fieldName == fieldName_) return;
  fieldName_ = fieldName;
  Q_EMIT DataChanged();
}

TDataSet* TFieldDataLink::DataSet() const {
  if (source_ == nullptr || !source_->Enabled()) return nullptr;
  return source_->DataSet();
}

TField* TFieldDataLink::Field() const {
  TDataSet* dataSet = DataSet();
  if (dataSet == nullptr || !dataSet->Active() || fieldName_.isEmpty()) return nullptr;
  return dataSet->FindField(fieldName_);
}

TDBControl::TDBControl(QObject* owner) : link_(new TFieldDataLink(owner)) {
  QObject::connect(link_, &TFieldDataLink::DataChanged, link_, [this] { ShowField(); });
}

namespace {
// A field's text for showing, or nothing when there is no field or its file cannot be read at the moment:
// a control that is being painted or told of a change has nobody to report to.
QString ShownText(const TField* field, bool displayText) {
  if (field == nullptr) return QString();
  try {
    return displayText ? field->DisplayText() : field->Text();
  } catch (const Exception&) {
    return QString();
  }
}
}  // namespace

TDBEdit::TDBEdit(QWidget* parent) : TCustomMaskEdit(parent), TDBControl(this) {
  setReadOnly(true);
  ShowField();
}

void TDBEdit::ShowField() {
  const TField* field = Field();
  if (field != nullptr) SetAlignment(field->Alignment());
  setText(ShownText(field, true));
  setReadOnly(true);
}

TDBText::TDBText(QWidget* parent) : TCustomLabel(parent, false), TDBControl(this) { ShowField(); }

void TDBText::ShowField() {
  const TField* field = Field();
  if (field != nullptr) SetAlignment(field->Alignment());
  SetCaption(ShownText(field, true));
}

TDBMemo::TDBMemo(QWidget* parent) : TCustomMemo(parent), TDBControl(this) {
  setReadOnly(true);
  ShowField();
}

void TDBMemo::ShowField() { SetText(ShownText(Field(), false)); }

TDBCheckBox::TDBCheckBox(QWidget* parent) : TCustomCheckBox(parent), TDBControl(this) { ShowField(); }

void TDBCheckBox::SetValueChecked(const QString& value) {
  valueChecked_ = value;
  ShowField();
}

void TDBCheckBox::SetValueUnchecked(const QString& value) {
  valueUnchecked_ = value;
  ShowField();
}

void TDBCheckBox::ShowField() {
  const TField* field = Field();
  TCheckBoxState state = cbGrayed;
  try {
    if (field != nullptr && !field->IsNull()) {
      if (dynamic_cast<const TBooleanField*>(field) != nullptr) {
        state = field->AsBoolean() ? cbChecked : cbUnchecked;
      } else {
        const QString text = field->Text().trimmed();
        const auto listed = [&text](const QString& values) {
          for (const QString& value : values.split(QLatin1Char(';'))) {
            if (value.trimmed().compare(text, Qt::CaseInsensitive) == 0) return true;
          }
          return false;
        };
        if (listed(valueChecked_))
          state = cbChecked;
        else if (listed(valueUnchecked_))
          state = cbUnchecked;
      }
    }
  } catch (const Exception&) {
    state = cbGrayed;
  }
  SetState(state);
}

TDBRadioGroup::TDBRadioGroup(QWidget* parent) : TCustomRadioGroup(parent), TDBControl(this) {}

void TDBRadioGroup::SetValues(const QStringList& values) {
  values_ = values;
  ShowField();
}

QString TDBRadioGroup::Value() const { return ShownText(Field(), false); }

void TDBRadioGroup::ShowField() {
  const QString value = Value();
  int picked = -1;
  if (Field() != nullptr) {
    const QStringList items = Items();
    for (int index = 0; index < items.size() && picked < 0; ++index) {
      const QString itemValue = index < values_.size() ? values_.at(index) : items.at(index);
      if (itemValue == value) picked = index;
    }
  }
  SetItemIndex(picked);
}

void TDBRadioGroup::ItemPicked(int) {
  // The field decides which item is picked; a click cannot change it.
  ShowField();
}

TDBComboBox::TDBComboBox(QWidget* parent) : TCustomComboBox(parent), TDBControl(this) {
  if (lineEdit() != nullptr) lineEdit()->setReadOnly(true);
  connect(this, &QComboBox::currentIndexChanged, this, [this] {
    if (!showing_) ShowField();
  });
  ShowField();
}

void TDBComboBox::ShowField() {
  showing_ = true;
  SetText(ShownText(Field(), false));
  if (lineEdit() != nullptr) lineEdit()->setReadOnly(true);
  showing_ = false;
}

TDBImage::TDBImage(QWidget* parent)
    : QWidget(parent), TControl(clWindow, false, taLeftJustify, bsSingle), TDBControl(this) {
  setAutoFillBackground(true);
  ApplyColorAndFont();
  ShowField();
}

void TDBImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void TDBImage::SetCenter(bool center) {
  center_ = center;
  update();
}

QRect TDBImage::PictureRect() const { return picture_.PlacedIn(rect(), stretch_, center_); }

void TDBImage::ShowField() {
  const TField* field = Field();
  picture_.Clear();
  if (field != nullptr) {
    try {
      picture_.LoadFromData(field->AsBytes());
    } catch (const Exception&) {
      picture_.Clear();
    }
  }
  update();
}

void TDBImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!picture_.Empty()) {
    painter.save();
    painter.setClipRect(rect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, stretch_);
    picture_.Draw(painter, PictureRect());
    painter.restore();
  }
  if (BorderStyle() == bsSingle) {
    painter.setPen(ToQColor(clWindowFrame));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}
