#pragma once

// TDataSet: the cursor that data-aware code moves and reads, on top of an engine that stores the
// records. The framework keeps a small window of record buffers around the active record and asks
// the engine, through the protected virtual operations below, to fill them, to move its own
// cursor, and to store changes. Users move with First/Next/MoveBy/GotoBookmark..., read through
// the fields, and change records with Edit/Insert/Append/Post/Cancel/Delete; data sources pass
// what happened on to their data links (see DataSource.h).
//
// The engine's cursor and the framework's window: the engine has one cursor (before the first
// record, on a record, or after the last). The framework remembers which buffer the engine's
// cursor is on; before it fetches next or prior records it moves the engine's cursor to the
// buffer at that end of the window (PositionAtRecord, or MoveBeforeFirst / MoveAfterLast for
// buffers flagged bfBOF / bfEOF). Every move costs O(BufferCount()) engine calls at most, except
// MoveBy(n), which fetches each record it passes outside the window.
//
// Writing an engine: derive, implement the pure virtual operations, and
//   - in OpenTable: build the field definitions (FieldDefs().Add...), call PrepareFields() if the
//     fields must exist before records are loaded, call SetBookmarkSize(), load;
//   - in FetchRecord: after filling a buffer, ClearCalcArea(buffer) and ComputeCalcFields(buffer);
//   - in SetFieldData: for a data field, end with NotifyFieldChanged(field);
//   - read and write values in ActiveBuffer() in browse, edit and insert state and in
//     CalcBuffer() in dsCalcFields state;
//   - in the destructor: call CloseForDestruction() (the base destructor cannot reach the
//     engine's virtual operations to release the buffers).

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/DbErrors.h"
#include "db/DbTypes.h"
#include "db/FieldDefs.h"
#include "db/Fields.h"
#include "platform/Variant.h"

namespace tavisto {

class TDataSource;
class TDataLink;

class TDataSet {
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet&)>;
    using TDataSetErrorEvent = std::function<void(TDataSet&, EDatabaseError&, TDataAction&)>;

    static constexpr bool kDefaultAutoCalcFields = true;

    TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;
    virtual ~TDataSet();

    // The component name; prefixes the framework's error messages when set.
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    // ---- Opening and closing

    TDataSetState State() const { return state_; }
    bool Active() const { return state_ != dsInactive; }
    // Opens: BeforeOpen; OpenTable; default fields when there are no persistent ones; fields
    // bound to the definitions by name; buffers; the first records fetched; links told;
    // AfterOpen (and AfterScroll unless empty). A failure closes the table again and leaves the
    // data set closed. Closes: BeforeClose; pending edits cancelled (Cancel); CloseTable; fields
    // unbound, default fields destroyed; buffers released; links told; AfterClose. When CloseTable
    // fails the data set stays open as it was. Assigning the current value does nothing.
    virtual void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    // Raise EDatabaseError when the data set is closed / open.
    void CheckActive() const;
    void CheckInactive() const;

    // While loading, SetActive(true) is only remembered; Loaded() then opens, and a failure goes
    // to HandleOpenError.
    void BeginLoading();
    void Loaded();
    bool Loading() const { return loading_; }

    // ---- Fields

    TFields& Fields() { return fields_; }
    const TFields& Fields() const { return fields_; }
    TFieldDefs& FieldDefs() { return fieldDefs_; }
    const TFieldDefs& FieldDefs() const { return fieldDefs_; }
    TField* FindField(std::string_view fieldName) const { return fields_.FindField(fieldName); }
    // Raises EDatabaseError "Field 'X' not found".
    TField& FieldByName(std::string_view fieldName) const { return fields_.FieldByName(fieldName); }
    // The fields were created from the definitions at open (there were no persistent ones).
    bool DefaultFields() const { return defaultFields_; }
    // Bytes of the calculated-field slots of the bound fields.
    int CalcFieldsSize() const { return calcFieldsSize_; }
    // When true, OnCalcFields also runs after each field change in edit and insert state; it
    // always runs when a record is fetched.
    bool AutoCalcFields() const { return autoCalcFields_; }
    void SetAutoCalcFields(bool value) { autoCalcFields_ = value; }

    // ---- Navigation

    // After this: the first record is active, Bof() is true, Eof() iff the data set is empty.
    // Requires: active; pending edits are posted (or cancelled when unmodified) first.
    void First();
    // After this: the last record is active, Eof() is true, Bof() iff empty. Costs
    // O(BufferCount()) engine calls, whatever the number of records.
    // Requires: active; pending edits are posted first.
    void Last();
    // MoveBy(1). After this: Eof() iff there was no next record (the active record is unchanged
    // then). Requires: active.
    void Next() { MoveBy(1); }
    // MoveBy(-1). After this: Bof() iff there was no prior record (the active record is unchanged
    // then). Requires: active.
    void Prior() { MoveBy(-1); }
    // Moves the active record by distance records, as far as there are records; returns the
    // distance moved. After this: Eof() iff a forward move met the end, Bof() iff a backward move
    // met the beginning. Nothing happens (no events) for 0, forward at Eof() or backward at
    // Bof(). Requires: active; pending edits are posted first.
    int MoveBy(int distance);
    // Rebuilds the window from the engine's cursor: its record (exact), or else the next or the
    // prior one becomes active, placed as before or in the middle (center). After this: the
    // window holds the records around the engine's record; links are told. With Exact, a record
    // that cannot be fetched raises EDatabaseError and leaves the window as it was.
    // Requires: active.
    void Resync(TResyncMode mode = {});
    // True after First, or after a move that met the beginning; true when empty.
    bool Bof() const { return bof_; }
    // True after Last, or after a move that met the end; true when empty.
    bool Eof() const { return eof_; }
    // No record is active (also when closed).
    bool IsEmpty() const { return recordCount_ == 0; }
    // The engine's record number of the active record (RecordNumber). Requires: active.
    int RecNo() const;
    // Makes record number n active through the engine (SetRecordNumber), without scroll
    // events. Requires: active; pending edits are posted first.
    void SetRecNo(int recordNumber);
    // Number of records, as the engine counts them.
    virtual int RecordCount() const = 0;
    // Bytes of one record buffer.
    int RecordSize() const { return RecordBufferSize(); }

    // ---- Bookmarks

    int BookmarkSize() const { return bookmarkSize_; }
    // A bookmark of the active record; empty when there is none (closed, empty, or the active
    // record is being inserted).
    TBookmark GetBookmark() const;
    // After this: the bookmark's record is active, in the middle of the window. An empty
    // bookmark does nothing. Raises EDatabaseError for a bookmark of another size, or when the
    // engine cannot fetch the record (the active record stays then).
    // Requires: active; pending edits are posted first.
    void GotoBookmark(const TBookmark& bookmark);
    void FreeBookmark(TBookmark& bookmark) const { bookmark.clear(); }
    // The engine still knows the bookmark's record (IsValidBookmark); false for an empty bookmark
    // or one of another size, and when closed.
    bool BookmarkValid(const TBookmark& bookmark) const;
    // -1, 0 or 1 as the engine orders the two bookmarks; an empty one counts as absent.
    int CompareBookmarks(const TBookmark& left, const TBookmark& right) const;
    // The engine's answers to the two queries above; bookmark may be null (absent).
    virtual bool IsValidBookmark(const char* bookmark) const;
    virtual int CompareBookmarkPositions(const char* left, const char* right) const;

    // ---- Changing records

    bool CanModify() const { return CanModifyTable(); }
    // Raises EDatabaseError when the data set cannot be modified.
    void CheckCanModify() const;
    // A field was written since the last Edit, Insert or Append.
    bool Modified() const { return modified_; }
    // After this: state dsEdit on the active record (an empty data set goes to Insert instead).
    // In edit or insert state nothing happens. Requires: active, modifiable.
    void Edit();
    // After this: state dsInsert on a new blank record in front of the active one.
    // Requires: active, modifiable; pending edits are posted first.
    void Insert();
    // After this: state dsInsert on a new blank record after the last one.
    // Requires: active, modifiable; pending edits are posted first.
    void Append();
    // Stores the record being edited or inserted (PostRecord) and returns to browse state with
    // the stored record active. Outside edit and insert state nothing happens. A failure leaves
    // the state and the record as they were.
    void Post();
    // Drops the changes of edit or insert state and returns to browse state; an inserted record
    // disappears. Outside edit and insert state nothing happens.
    void Cancel();
    // Removes the active record (DeleteRecord); the record after it becomes active, or the new
    // last one. In insert state it cancels instead. Requires: active, modifiable, not empty.
    void Delete();
    // Insert / Append, then assign values to the fields in order (an Empty value leaves its
    // field, Null clears it), then store the record through InternalAddRecord. A failure to store
    // leaves the data set in insert state.
    void InsertRecord(const std::vector<Variant>& values);
    void AppendRecord(const std::vector<Variant>& values);
    // Posts pending changes (or cancels when nothing was changed). Requires: active.
    void CheckBrowseMode();

    // The first record whose fields named in keyFields (separated by ';' or ',') match keyValues
    // (one value, or an array of one value per field) becomes active. False, with the active
    // record unchanged, when none matches. Requires: active; pending edits are posted first.
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);

    // ---- Reading one field of every record

    using TFieldValueVisitor = std::function<void(const char* bookmark, const void* value)>;
    // Calls visit for every record, in table order, with the record's bookmark and field's
    // value in buffer form (null where the field is null): one pass over the engine's storage,
    // for sorting a whole view. The cursor, the window and the data links are left alone.
    // False, without a call, when the engine cannot read the field this way, outside browse
    // state, and for calculated fields or fields of another data set; the caller walks the
    // records then.
    bool ReadFieldOfEveryRecord(const TField& field, const TFieldValueVisitor& visit);

    // ---- Data links

    // While disabled (calls nest), data links hear nothing. When the last EnableControls runs,
    // what they missed is delivered once: the state change (active, editing) if the state
    // differs or the data set was closed or opened meanwhile, then one data-set-changed (or
    // layout-changed) notice if any notice was held back and the data set is active. Nothing is
    // delivered when nothing was held back.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }
    // Record buffers in the window: the largest buffer count of the data links, at least one;
    // 0 while closed.
    int BufferCount() const { return bufferCount_; }

    // ---- Events

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    // Runs in dsCalcFields state; assign the calculated fields there.
    TDataSetNotifyEvent OnCalcFields;
    // An EDatabaseError raised while a record is deleted (DeleteRecord) or put into edit state;
    // the handler's action decides: raise it (daFail, the default), end quietly (daAbort) or try
    // again (daRetry).
    TDataSetErrorEvent OnDeleteError, OnEditError;

protected:
    // ---- The engine's operations

    // Opening and closing the engine's table (see the notes at the top).
    virtual void OpenTable() = 0;
    virtual void CloseTable() = 0;
    virtual bool IsTableOpen() const = 0;
    // Build FieldDefs() from what the table offers; FieldDefs().Update() calls it too.
    virtual void InternalInitFieldDefs() = 0;
    // Every change of FieldDefs().
    virtual void FieldDefsChanged(TFieldDefs& /*sender*/) {}
    // Whether records may be changed; the framework refuses edit, insert and delete otherwise.
    virtual bool CanModifyTable() const { return true; }
    // Called inside the handler of an open that failed after loading; the default raises the
    // error again.
    virtual void HandleOpenError();

    // Record buffers.
    virtual TRecordBuffer NewRecordBuffer() = 0;
    virtual void DisposeRecordBuffer(TRecordBuffer& buffer) = 0;
    virtual int RecordBufferSize() const = 0;
    // A blank record for insert; the calculated-field area of a buffer cleared.
    virtual void InitRecordBuffer(TRecordBuffer buffer) = 0;
    virtual void ClearCalcArea(TRecordBuffer buffer) = 0;

    // The cursor. FetchRecord fills buffer with the engine's current, next or prior record and
    // moves the engine's cursor there; grError for gmCurrent when there is no current record
    // (raise instead when check is true).
    virtual TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool check) = 0;
    virtual void MoveBeforeFirst() = 0;
    virtual void MoveAfterLast() = 0;
    virtual void PositionAtRecord(TRecordBuffer buffer) = 0;
    virtual void PositionAtBookmark(const char* bookmark) = 0;
    virtual void BookmarkOf(TRecordBuffer buffer, char* bookmark) const = 0;
    virtual void SetBookmarkOf(TRecordBuffer buffer, const char* bookmark) = 0;
    virtual TBookmarkFlag BookmarkFlagOf(TRecordBuffer buffer) const = 0;
    virtual void SetBookmarkFlagOf(TRecordBuffer buffer, TBookmarkFlag flag) = 0;
    // The record number of the active record (the calculated buffer's in dsCalcFields).
    virtual int RecordNumber() const { return -1; }
    // Moves the engine's cursor to record number n and resynchronises (Resync).
    virtual void SetRecordNumber(int /*recordNumber*/) {}
    // See Locate. On success the found record must be the active record when it returns
    // (typically through SetRecordNumber); on failure nothing moves.
    virtual bool LocateRow(const std::string& /*keyFields*/, const Variant& /*keyValues*/,
                           TLocateOptions /*options*/) {
        return false;
    }

    // See ReadFieldOfEveryRecord; called only for a data field in browse state. Engines whose
    // records cannot be read without the cursor keep this default.
    virtual bool ReadFieldOfAllRows(const TField& /*field*/, const TFieldValueVisitor& /*visit*/) {
        return false;
    }

    // Field values in buffer form (see Field.h). ReadFieldValue returns whether there is a
    // value; buffer may be null (then only that is asked). SetFieldData with a null buffer
    // makes the field null.
    virtual bool ReadFieldValue(const TField& field, void* buffer) = 0;
    virtual void SetFieldData(TField& field, const void* buffer) = 0;

    // Storing changes. InternalAddRecord adds a record built from buffer at the engine's cursor
    // (append: after the last). PostRecord stores ActiveBuffer() as the cursor's record (edit
    // state) or as a new record at the cursor (insert state). DeleteRecord removes the cursor's
    // record and leaves the cursor on the record that followed it, or on the new last one.
    virtual void InternalAddRecord(TRecordBuffer buffer, bool append) = 0;
    virtual void PostRecord() = 0;
    virtual void DeleteRecord() = 0;

    // ---- Services for the engine

    // The buffer of the active record; null when there is none.
    TRecordBuffer ActiveBuffer() const;
    // The buffer whose calculated fields are being computed (dsCalcFields state).
    TRecordBuffer CalcBuffer() const { return calcBuffer_; }
    // Computes the calculated fields of buffer: ClearCalcArea, then OnCalcFields in
    // dsCalcFields state. Does nothing when there are no calculated fields.
    void ComputeCalcFields(TRecordBuffer buffer);
    // A data field's value changed: marks the record modified, recomputes calculated fields
    // (AutoCalcFields) and tells the links.
    void NotifyFieldChanged(TField& field);
    void SetBookmarkSize(int size) { bookmarkSize_ = size; }
    // Creates the default fields if there are no persistent ones, and binds every field to its
    // definition; raises EDatabaseError for a data field without definition or of another base
    // type. Runs once per open; later calls do nothing.
    void PrepareFields();
    // Unbinds the fields and destroys default fields; runs once per close.
    void ReleaseFields();
    // From now on the data set's events are no longer raised.
    void Destroying() { destroying_ = true; }
    // Closes during destruction: errors are swallowed and the buffers released in any case.
    void CloseForDestruction() noexcept;

private:
    friend class TField;
    friend class TFieldDefs;
    friend class TDataSource;
    friend class TDataLink;
    enum class AddMode { None, Insert, Append };

    void OpenCursor();
    void CloseCursor();
    void AbortOpen() noexcept;
    void BindFields();
    void SetState(TDataSetState state);
    void Fire(const TDataSetNotifyEvent& event);
    bool RunGuarded(const TDataSetErrorEvent& handler, const std::function<void()>& operation);

    // The window.
    void ResizeWindow(int count);
    void FreeBuffers() noexcept;
    void ClearBuffers();
    void ActivateBuffers();
    void SyncCursorTo(int index);
    void UpdateCursorPos();
    void CursorPosChanged() { currentRecord_ = -1; }
    TGetResult Fetch(TRecordBuffer buffer, TGetMode mode, bool check);
    bool FetchNext();
    bool FetchPrior();
    void FetchNexts();
    void FetchPriors();
    void FetchFirstRecords();
    // One record toward the end / the beginning; false when there is none. Window rotations are
    // counted into scrolled (negative: toward the end).
    bool StepForward(int& scrolled);
    bool StepBackward(int& scrolled);
    void InitRecord(TRecordBuffer buffer);
    void BeginInsertAppend(bool append);
    void PrepareInsertBuffer();
    void PrepareAppendBuffer();
    void AddRecord(const std::vector<Variant>& values, bool append);
    void RecoverWindow() noexcept;

    // Data sources and links.
    void AddDataSource(TDataSource& source);
    void RemoveDataSource(TDataSource& source);
    void UpdateBufferCount();
    int LinkBufferCount() const;
    void SendEvent(TDataEvent event, TField* field = nullptr, int info = 0);

    std::string name_;
    TFields fields_;
    TFieldDefs fieldDefs_;
    TDataSetState state_ = dsInactive;
    std::vector<TRecordBuffer> buffers_;  // BufferCount() + 1 while open; the last is spare
    int bufferCount_ = 0;
    int recordCount_ = 0;  // buffers holding records: [0, recordCount_)
    int activeRecord_ = 0;
    int currentRecord_ = -1;  // buffer the engine's cursor is on; -1 unknown
    TRecordBuffer calcBuffer_ = nullptr;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    AddMode adding_ = AddMode::None;
    int bookmarkSize_ = 0;
    int calcFieldsSize_ = 0;
    bool defaultFields_ = false;
    bool fieldsPrepared_ = false;
    bool autoCalcFields_ = kDefaultAutoCalcFields;
    bool loading_ = false;
    bool streamedActive_ = false;
    bool destroying_ = false;
    int disableCount_ = 0;
    TDataSetState disableState_ = dsInactive;
    bool heldActiveChange_ = false;
    TDataEvent heldEvent_ = TDataEvent::UpdateState;  // UpdateState: nothing held
    std::vector<TDataSource*> dataSources_;
};

}  // namespace tavisto
