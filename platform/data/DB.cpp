#include "platform/data/DB.h"

#include "platform/data/Fields.h"

#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace {
// Records are read this many at a time, and this many blocks are kept: memory for at most 2048 records,
// whatever the size of the data set.
constexpr int BlockRecords = 256;
constexpr std::size_t CachedBlocks = 8;

EDatabaseError ClosedDataSet() {
  return EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

bool SameValue(const QVariant& stored, const QVariant& wanted) {
  if (wanted.isNull() || stored.isNull()) return wanted.isNull() && stored.isNull();
  if (IsNumberValue(stored) && IsNumberValue(wanted)) return stored.toDouble() == wanted.toDouble();
  if (IsNumberValue(stored)) {
    bool ok = false;
    const double number = wanted.toString().trimmed().toDouble(&ok);
    return ok && number == stored.toDouble();
  }
  if (stored.typeId() == QMetaType::QByteArray && wanted.typeId() == QMetaType::QByteArray)
    return stored.toByteArray() == wanted.toByteArray();
  return stored.toString() == wanted.toString();
}

// The numbers in a declared type's brackets: "VARCHAR(40)" gives 40, "NUMERIC(10, 2)" gives 10 and 2.
void DeclaredSizes(const QString& declaredType, int& first, int& second) {
  static const QRegularExpression sizes(QStringLiteral("\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\)"));
  const QRegularExpressionMatch match = sizes.match(declaredType);
  first = match.hasMatch() ? match.captured(1).toInt() : 0;
  second = match.hasMatch() && match.capturedLength(2) > 0 ? match.captured(2).toInt() : 0;
}
}  // namespace

struct TDataSet::RecordBlock {
  qint64 first = -1;
  int count = 0;
  std::vector<QVariant> values;
  std::vector<qint64> rowIds;
  unsigned long long used = 0;
};

TDataSet::TDataSet(QObject* owner) : QObject(owner) {}

TDataSet::~TDataSet() = default;

void TDataSet::Open() {
  if (active_) return;
  const std::vector<ColumnInfo> columns = OpenCursor();
  qint64 count = 0;
  try {
    BindFields(columns);
    count = CountRecords();
  } catch (...) {
    CloseCursor();
    throw;
  }
  active_ = true;
  recordCount_ = count;
  position_ = count > 0 ? 0 : -1;
  bof_ = true;
  eof_ = count == 0;
  Q_EMIT StateChanged();
  NotifyDataSetChanged();
  Q_EMIT AfterScroll();
}

void TDataSet::Close() {
  if (active_) CheckOrderFree();
  CloseInternal(true);
}

void TDataSet::CheckOrderFree() const {
  if (OrderHeld())
    throw EDatabaseError(
        QStringLiteral("The records are being printed; they cannot be sorted, read again or closed until the "
                       "printing ends"));
}

void TDataSet::CloseSilently() { CloseInternal(false); }

void TDataSet::CloseInternal(bool notify) {
  if (!active_) return;
  active_ = false;
  ClearBlocks();
  CloseCursor();
  recordCount_ = 0;
  position_ = -1;
  eof_ = true;
  bof_ = true;
  if (!notify) return;
  Q_EMIT StateChanged();
  NotifyDataSetChanged();
}

void TDataSet::SetActive(bool active) {
  if (active)
    Open();
  else
    Close();
}

void TDataSet::BindFields(const std::vector<ColumnInfo>& columns) {
  std::vector<std::unique_ptr<TField>> bound;
  bound.reserve(columns.size());
  for (const ColumnInfo& column : columns) {
    const TFieldType type = FieldTypeOfDeclaredType(column.DeclaredType, column.RowIdAlias);
    std::unique_ptr<TField> field;
    // A field the program has already set up (labels, formats, handlers) stays when its column does.
    for (auto& existing : fields_) {
      if (existing && existing->DataType() == type &&
          existing->FieldName().compare(column.Name, Qt::CaseInsensitive) == 0) {
        field = std::move(existing);
        break;
      }
    }
    const bool fresh = !field;
    if (fresh) field = CreateField(type);
    int first = 0;
    int second = 0;
    DeclaredSizes(column.DeclaredType, first, second);
    field->dataSet_ = this;
    field->index_ = static_cast<int>(bound.size());
    field->fieldName_ = column.Name;
    field->declaredType_ = column.DeclaredType;
    if (auto* bcd = dynamic_cast<TBCDField*>(field.get())) {
      bcd->precision_ = first;
      field->size_ = second;
    } else {
      field->size_ = type == ftString ? first : 0;
      if (fresh && type == ftString && first > 0) field->displayWidth_ = first;
    }
    bound.push_back(std::move(field));
  }
  fields_ = std::move(bound);
}

TDataSet::RecordBlock* TDataSet::BlockOf(qint64 position) {
  if (!active_ || position < 0 || position >= recordCount_) return nullptr;
  const qint64 first = position / BlockRecords * BlockRecords;
  for (auto& block : blocks_) {
    if (block->first == first) {
      block->used = ++blockClock_;
      return block.get();
    }
  }
  RecordBlock* block = nullptr;
  if (blocks_.size() < CachedBlocks) {
    blocks_.push_back(std::make_unique<RecordBlock>());
    block = blocks_.back().get();
  } else {
    block = std::min_element(blocks_.begin(), blocks_.end(), [](const auto& a, const auto& b) {
              return a->used < b->used;
            })->get();
  }
  block->first = -1;
  block->count = 0;
  block->values.clear();
  block->rowIds.clear();
  // A failed read leaves the block empty, never half filled.
  block->count = ReadRecords(first, BlockRecords, block->values, block->rowIds);
  block->first = first;
  block->used = ++blockClock_;
  return block;
}

void TDataSet::ClearBlocks() { blocks_.clear(); }

QVariant TDataSet::RecordValue(qint64 position, int fieldIndex) {
  if (fieldIndex < 0 || fieldIndex >= FieldCount()) return QVariant();
  RecordBlock* block = BlockOf(position);
  if (block == nullptr) return QVariant();
  const qint64 offset = position - block->first;
  // Records that vanished from the file since the count was taken read as empty.
  if (offset >= block->count) return QVariant();
  const std::size_t index =
      static_cast<std::size_t>(offset) * fields_.size() + static_cast<std::size_t>(fieldIndex);
  return index < block->values.size() ? block->values[index] : QVariant();
}

std::optional<qint64> TDataSet::RowIdAt(qint64 position) {
  if (!HasRowIdentity()) return std::nullopt;
  RecordBlock* block = BlockOf(position);
  if (block == nullptr) return std::nullopt;
  const qint64 offset = position - block->first;
  if (offset >= block->count || offset >= static_cast<qint64>(block->rowIds.size())) return std::nullopt;
  return block->rowIds[static_cast<std::size_t>(offset)];
}

QString TDataSet::RecordName(qint64 position) {
  const QString name = QStringLiteral("record %1").arg(position + 1);
  if (const std::optional<qint64> rowId = RowIdAt(position))
    return name + QStringLiteral(" (row id %1)").arg(*rowId);
  // A query has no row identity of its own, but may show its table's: the column that is the row's key.
  for (const auto& field : fields_) {
    if (field->DataType() != ftAutoInc) continue;
    return name + QStringLiteral(" (%1 %2)")
                      .arg(field->FieldName(), RecordValue(position, field->Index()).toString());
  }
  return name;
}

qint64 TDataSet::FindRowId(qint64 rowId) {
  for (qint64 position = 0; position < recordCount_; ++position) {
    if (RowIdAt(position) == rowId) return position;
  }
  return -1;
}

void TDataSet::MoveTo(qint64 position) {
  if (position == position_) return;
  position_ = position;
  NotifyRecordMoved();
}

void TDataSet::First() {
  if (!active_) throw ClosedDataSet();
  bof_ = true;
  eof_ = recordCount_ == 0;
  if (recordCount_ > 0) MoveTo(0);
}

void TDataSet::Last() {
  if (!active_) throw ClosedDataSet();
  eof_ = true;
  bof_ = recordCount_ == 0;
  if (recordCount_ > 0) MoveTo(recordCount_ - 1);
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

qint64 TDataSet::MoveBy(qint64 distance) {
  if (!active_) throw ClosedDataSet();
  if (recordCount_ == 0) {
    eof_ = true;
    bof_ = true;
    return 0;
  }
  if (distance == 0) return 0;
  eof_ = false;
  bof_ = false;
  qint64 target = position_ + distance;
  if (target >= recordCount_) {
    target = recordCount_ - 1;
    eof_ = true;
  } else if (target < 0) {
    target = 0;
    bof_ = true;
  }
  const qint64 moved = target - position_;
  MoveTo(target);
  return moved;
}

void TDataSet::SetRecNo(qint64 recNo) {
  if (!active_) throw ClosedDataSet();
  if (recordCount_ == 0) return;
  eof_ = false;
  bof_ = false;
  MoveTo(std::clamp<qint64>(recNo - 1, 0, recordCount_ - 1));
}

TBookmark TDataSet::GetBookmark() {
  if (!active_ || position_ < 0) return TBookmark();
  TBookmark bookmark;
  bookmark.Position = position_;
  bookmark.RowId = RowIdAt(position_);
  return bookmark;
}

namespace {
qint64 BookmarkedPosition(const TBookmark& bookmark, qint64 recordCount, bool rowIdentity,
                          const std::function<std::optional<qint64>(qint64)>& rowIdAt,
                          const std::function<qint64(qint64)>& findRowId) {
  if (!bookmark.Valid()) return -1;
  if (rowIdentity && bookmark.RowId) {
    if (bookmark.Position < recordCount && rowIdAt(bookmark.Position) == bookmark.RowId)
      return bookmark.Position;
    return findRowId(*bookmark.RowId);
  }
  return bookmark.Position < recordCount ? bookmark.Position : -1;
}
}  // namespace

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  if (!active_) throw ClosedDataSet();
  if (!bookmark.Valid()) throw EDatabaseError(QStringLiteral("Invalid bookmark"));
  const qint64 position = BookmarkedPosition(
      bookmark, recordCount_, HasRowIdentity(), [this](qint64 at) { return RowIdAt(at); },
      [this](qint64 rowId) { return FindRowId(rowId); });
  if (position < 0) throw EDatabaseError(QStringLiteral("Record not found"));
  eof_ = false;
  bof_ = false;
  MoveTo(position);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) {
  if (!active_) return false;
  return BookmarkedPosition(
             bookmark, recordCount_, HasRowIdentity(), [this](qint64 at) { return RowIdAt(at); },
             [this](qint64 rowId) { return FindRowId(rowId); }) >= 0;
}

void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ > 0 || !changeHeldBack_) return;
  changeHeldBack_ = false;
  Q_EMIT DataSetChanged();
}

void TDataSet::NotifyRecordMoved() {
  Q_EMIT AfterScroll();
  if (disableCount_ > 0) {
    changeHeldBack_ = true;
    return;
  }
  Q_EMIT RecordChanged();
}

void TDataSet::NotifyDataSetChanged() {
  if (disableCount_ > 0) {
    changeHeldBack_ = true;
    return;
  }
  Q_EMIT DataSetChanged();
}

TField* TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) return nullptr;
  return fields_[static_cast<std::size_t>(index)].get();
}

TField* TDataSet::FindField(const QString& fieldName) const {
  for (const auto& field : fields_) {
    if (field->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0) return field.get();
  }
  return nullptr;
}

TField* TDataSet::FieldByName(const QString& fieldName) const {
  TField* field = FindField(fieldName);
  if (field == nullptr) throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(fieldName));
  return field;
}

qint64 TDataSet::FindValue(int fieldIndex, const QVariant& value) {
  for (qint64 position = 0; position < recordCount_; ++position) {
    if (SameValue(RecordValue(position, fieldIndex), value)) return position;
  }
  return -1;
}

bool TDataSet::Locate(const QString& fieldName, const QVariant& value) {
  if (!active_) throw ClosedDataSet();
  const qint64 position = FindValue(FieldByName(fieldName)->Index(), value);
  if (position < 0) return false;
  eof_ = false;
  bof_ = false;
  MoveTo(position);
  return true;
}

QVariant TDataSet::Lookup(const QString& keyField, const QVariant& keyValue, const QString& resultField) {
  if (!active_) throw ClosedDataSet();
  const int result = FieldByName(resultField)->Index();
  const qint64 position = FindValue(FieldByName(keyField)->Index(), keyValue);
  return position < 0 ? QVariant() : RecordValue(position, result);
}

void TDataSet::Refresh() {
  if (!active_) throw ClosedDataSet();
  CheckOrderFree();
  ReadAgain(true);
}

void TDataSet::Reorder() {
  if (!active_) return;
  CheckOrderFree();
  ReadAgain(false);
}

void TDataSet::ReadAgain(bool recount) {
  const std::optional<qint64> rowId = position_ >= 0 ? RowIdAt(position_) : std::nullopt;
  ClearBlocks();
  ResetCursor();
  if (recount) recordCount_ = CountRecords();
  qint64 position = rowId ? FindRowId(*rowId) : -1;
  // Records that only changed order say nothing about where a lost record stood; a refreshed set keeps the
  // cursor near its place.
  if (position < 0 && recount) position = std::min(position_, recordCount_ - 1);
  if (recordCount_ > 0 && position < 0) position = 0;
  position_ = recordCount_ > 0 ? position : -1;
  eof_ = recordCount_ == 0;
  bof_ = recordCount_ == 0;
  NotifyDataSetChanged();
  Q_EMIT AfterScroll();
}

TRecordScope::TRecordScope(TDataSet& dataSet, qint64 position)
    : dataSet_(dataSet), previous_(dataSet.scopedRecord_) {
  dataSet_.scopedRecord_ = position;
}

TRecordScope::~TRecordScope() { dataSet_.scopedRecord_ = previous_; }

TDataSource::TDataSource(QObject* owner) : QObject(owner) {}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  for (const auto& connection : connections_) disconnect(connection);
  connections_.clear();
  dataSet_ = dataSet;
  Connect();
  Q_EMIT StateChange();
  Q_EMIT DataSetChange();
}

void TDataSource::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Q_EMIT StateChange();
  Q_EMIT DataSetChange();
}

void TDataSource::Connect() {
  if (dataSet_ == nullptr) return;
  connections_.push_back(connect(dataSet_, &TDataSet::RecordChanged, this, [this] {
    if (enabled_) Q_EMIT DataChange();
  }));
  connections_.push_back(connect(dataSet_, &TDataSet::DataSetChanged, this, [this] {
    if (enabled_) Q_EMIT DataSetChange();
  }));
  connections_.push_back(connect(dataSet_, &TDataSet::StateChanged, this, [this] {
    if (enabled_) Q_EMIT StateChange();
  }));
  connections_.push_back(connect(dataSet_, &QObject::destroyed, this, [this] {
    connections_.clear();
    Q_EMIT StateChange();
    Q_EMIT DataSetChange();
  }));
}
