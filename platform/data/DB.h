#pragma once

// The data access layer's core: data sets whose records forms and print jobs walk in constant memory.

#include "platform/SysUtils.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class TField;

/** A failure of the data access layer: a missing file or table, bad SQL, a value that cannot be read. */
class EDatabaseError : public Exception {
public:
  using Exception::Exception;
};

/**
 * A database file that may well be sound but cannot be reached now: it cannot be read (its permissions), or
 * another program kept it locked longer than the reader waits.
 */
class EDatabaseUnavailable : public EDatabaseError {
public:
  using EDatabaseError::EDatabaseError;
};

/**
 * A reference to one record of a data set that stays valid while the data set is open. It holds the record's
 * place in the data set's order and, where the data set has one, the record's identity in its table (the
 * SQLite rowid): going back to a bookmark finds the same row even after the order changed. A bookmark is a
 * plain value; FreeBookmark only clears it.
 */
struct TBookmark {
  /** The record's place when the bookmark was taken, from 0; -1 for no record. */
  qint64 Position = -1;
  /** The record's row identity in its table, when the data set has row identities. */
  std::optional<qint64> RowId;

  bool Valid() const { return Position >= 0; }
  bool operator==(const TBookmark& other) const { return Position == other.Position && RowId == other.RowId; }
  bool operator!=(const TBookmark& other) const { return !(*this == other); }
};

/**
 * A set of records read in order with a current record, as the framework's data sets are: First, Next,
 * Prior, Last, Eof and Bof, bookmarks, fields by index and by name. Records are read in blocks on demand and
 * only a few blocks are kept, so memory does not grow with the records visited (a data set of 100 000
 * records walks in constant memory).
 *
 * Controls follow a data set through its signals. RecordChanged (the current record moved) and
 * DataSetChanged (opened, closed, reordered, refreshed) are held back while the controls are disabled
 * (DisableControls, counted); the last EnableControls then sends one DataSetChanged. StateChanged (opened or
 * closed) and AfterScroll (every move) are always sent.
 *
 * The fields of a data set are made when it opens, one per column, their kind chosen from the column's
 * declared type (see Fields.h). They outlive Close: reopening keeps a field whose name and kind are
 * unchanged, with its DisplayLabel, DisplayFormat, Visible and OnGetText, so a program can set those after
 * the first Open. Controls should still find fields by name when the data set changes, not keep pointers.
 */
class TDataSet : public QObject {
  Q_OBJECT
public:
  explicit TDataSet(QObject* owner = nullptr);
  ~TDataSet() override;

  /** Reads the column descriptions and the record count and goes to the first record; fails with
   * EDatabaseError.
   */
  void Open();
  void Close();
  bool Active() const { return active_; }
  void SetActive(bool active);

  void First();
  void Last();
  /** Goes to the next record; on the last record it only sets Eof. */
  void Next();
  /** Goes to the previous record; on the first record it only sets Bof. */
  void Prior();
  /** Moves by that many records (negative: backwards) within the data set; returns how far it moved. */
  qint64 MoveBy(qint64 distance);
  /** True after a move past the last record, after Last, and on an empty or closed data set. */
  bool Eof() const { return eof_; }
  /** True after First, after a move before the first record, and on an empty or closed data set. */
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return recordCount_ == 0; }
  qint64 RecordCount() const { return recordCount_; }
  /** The current record's number from 1; 0 without a current record. */
  qint64 RecNo() const { return position_ + 1; }
  /** Goes to the record with that number (from 1), kept within the data set. */
  void SetRecNo(qint64 recNo);

  TBookmark GetBookmark();
  /** Goes to the bookmarked record; fails with EDatabaseError when the record is no longer there. */
  void GotoBookmark(const TBookmark& bookmark);
  /** Clears the bookmark. */
  void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }
  /** Whether GotoBookmark would find the record. */
  bool BookmarkValid(const TBookmark& bookmark);

  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  /**
   * Holds the records in their order while someone walks them from end to end (a print job), counted like
   * DisableControls. While held, whatever would reorder, reread or close the records (a sort, Refresh, new
   * SQL, Close) fails with EDatabaseError and changes nothing; moving between the records still works.
   */
  void HoldOrder() { ++holdCount_; }
  void ReleaseOrder() {
    if (holdCount_ > 0) --holdCount_;
  }
  bool OrderHeld() const { return holdCount_ > 0; }

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  /** The field of that index, or nullptr outside 0..FieldCount-1. */
  TField* Fields(int index) const;
  /** The field of that name (compared without regard to case), or nullptr. */
  TField* FindField(const QString& fieldName) const;
  /** The field of that name; fails with EDatabaseError "Field 'name' not found". */
  TField* FieldByName(const QString& fieldName) const;

  /** Goes to the first record whose field has that value; false (and no move) when there is none. */
  bool Locate(const QString& fieldName, const QVariant& value);
  /** The value of resultField in the first record whose keyField has that value, without moving; null when
   * none. */
  QVariant Lookup(const QString& keyField, const QVariant& keyValue, const QString& resultField);
  /** Reads the records again (count and values), staying on the current record where it still exists. */
  void Refresh();

  /** Where the records come from, for messages ("table "ledger" of "/home/ann/ledger.sqlite""). */
  virtual QString Origin() const { return objectName(); }
  /**
   * A record as a message names it: "record 7", with its row identity where it has one ("(row id 12)"), or
   * the value of a field that is its table's row key ("(id 12)").
   */
  QString RecordName(qint64 position);

  /** The raw value of a field in the record at that place, without moving; null outside the data set. */
  QVariant RecordValue(qint64 position, int fieldIndex);
  /** The record the fields read: the current one, or the one a TRecordScope points them at; -1 for none. */
  qint64 ActiveRecord() const { return scopedRecord_ >= 0 ? scopedRecord_ : position_; }

Q_SIGNALS:
  /** Opened or closed; always sent. */
  void StateChanged();
  /** Contents or order changed (opened, closed, reordered, refreshed, controls enabled again); held back
   * while controls are disabled. */
  void DataSetChanged();
  /** The current record moved; held back while controls are disabled. */
  void RecordChanged();
  /** The current record moved; always sent. */
  void AfterScroll();

protected:
  /** A column of the records as the concrete data set reads it. */
  struct ColumnInfo {
    QString Name;
    /** The declared type as written in the table; for a computed column the storage class of its first
     * value. */
    QString DeclaredType;
    /** The column is its table's INTEGER PRIMARY KEY, the row identity itself. */
    bool RowIdAlias = false;
  };

  /** Prepares reading; describes the columns, in the order ReadRecords delivers them. Throws EDatabaseError.
   */
  virtual std::vector<ColumnInfo> OpenCursor() = 0;
  virtual void CloseCursor() = 0;
  /** Forgets any reading in progress, so the next ReadRecords starts afresh (after a change of order). */
  virtual void ResetCursor() = 0;
  virtual qint64 CountRecords() = 0;
  /**
   * Reads up to `count` records from position `first` on: `values` gets FieldCount values per record, and
   * `rowIds` one identity per record when HasRowIdentity. Returns the number of records read.
   */
  virtual int ReadRecords(qint64 first, int count, std::vector<QVariant>& values,
                          std::vector<qint64>& rowIds) = 0;
  /** Whether records carry a row identity that survives a change of order. */
  virtual bool HasRowIdentity() const { return false; }
  /** The place of the record with that identity in the current order, or -1; the default reads every record.
   */
  virtual qint64 FindRowId(qint64 rowId);

  /** For a concrete data set whose order changed while open: reads anew and stays on the current record. */
  void Reorder();
  /** Fails with EDatabaseError while the order is held (see HoldOrder). */
  void CheckOrderFree() const;
  /** Closes without sending signals, for destructors of concrete data sets. */
  void CloseSilently();

private:
  friend class TRecordScope;
  struct RecordBlock;

  RecordBlock* BlockOf(qint64 position);
  std::optional<qint64> RowIdAt(qint64 position);
  void ClearBlocks();
  void BindFields(const std::vector<ColumnInfo>& columns);
  void MoveTo(qint64 position);
  void NotifyRecordMoved();
  void NotifyDataSetChanged();
  /** Drops the records read so far and reads anew (recounting when asked), staying on the current record. */
  void ReadAgain(bool recount);
  void CloseInternal(bool notify);
  qint64 FindValue(int fieldIndex, const QVariant& value);

  std::vector<std::unique_ptr<TField>> fields_;
  std::vector<std::unique_ptr<RecordBlock>> blocks_;
  unsigned long long blockClock_ = 0;
  bool active_ = false;
  bool eof_ = true;
  bool bof_ = true;
  qint64 recordCount_ = 0;
  qint64 position_ = -1;
  qint64 scopedRecord_ = -1;
  int disableCount_ = 0;
  int holdCount_ = 0;
  bool changeHeldBack_ = false;
};

/**
 * Points a data set's fields at another record for as long as it lives, without moving the current record
 * and without signals: how a grid reads the fields of each row it draws.
 */
class TRecordScope {
public:
  TRecordScope(TDataSet& dataSet, qint64 position);
  ~TRecordScope();
  TRecordScope(const TRecordScope&) = delete;
  TRecordScope& operator=(const TRecordScope&) = delete;

private:
  TDataSet& dataSet_;
  qint64 previous_;
};

/**
 * The link between a data set and the controls that show it. It passes the data set's signals on while it
 * is enabled, and tells its controls when it is pointed at another data set or when that data set goes away.
 */
class TDataSource : public QObject {
  Q_OBJECT
public:
  explicit TDataSource(QObject* owner = nullptr);

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  /** A disabled source passes nothing on; enabling it again sends DataSetChange. */
  void SetEnabled(bool enabled);

Q_SIGNALS:
  /** The data set's current record moved. */
  void DataChange();
  /** The data set's contents or order changed, or the source now shows another data set (or none). */
  void DataSetChange();
  /** The data set opened or closed, or the source now shows another data set (or none). */
  void StateChange();

private:
  void Connect();

  QPointer<TDataSet> dataSet_;
  std::vector<QMetaObject::Connection> connections_;
  bool enabled_ = true;
};
