// TDataSet: edit, insert, post, cancel, delete, calculated fields and locate.

#include <algorithm>

#include "db/DataSet.h"

namespace tavisto {
namespace {

// Sets a temporary state and buffer, restoring both when it ends.
class TemporaryState {
public:
    TemporaryState(TDataSetState& state, TRecordBuffer& buffer, TDataSetState newState,
                   TRecordBuffer newBuffer)
        : state_(state), buffer_(buffer), oldState_(state), oldBuffer_(buffer) {
        state_ = newState;
        buffer_ = newBuffer;
    }
    TemporaryState(const TemporaryState&) = delete;
    TemporaryState& operator=(const TemporaryState&) = delete;
    ~TemporaryState() {
        state_ = oldState_;
        buffer_ = oldBuffer_;
    }

private:
    TDataSetState& state_;
    TRecordBuffer& buffer_;
    TDataSetState oldState_;
    TRecordBuffer oldBuffer_;
};

}  // namespace

void TDataSet::CheckCanModify() const {
    if (!CanModify()) DatabaseError(db_messages::kDataSetReadOnly, name_);
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    if (modified_) {
        Post();
    } else {
        Cancel();
    }
}

void TDataSet::Edit() {
    if (state_ == dsEdit || state_ == dsInsert) return;
    CheckActive();
    if (IsEmpty()) {
        Insert();
        return;
    }
    CheckCanModify();
    Fire(BeforeEdit);
    const bool done = RunGuarded(OnEditError, [this] {
        UpdateCursorPos();
        ComputeCalcFields(ActiveBuffer());
    });
    if (!done) return;
    SetState(dsEdit);
    SendEvent(TDataEvent::RecordChange);
    Fire(AfterEdit);
}

void TDataSet::Insert() {
    BeginInsertAppend(false);
}

void TDataSet::Append() {
    BeginInsertAppend(true);
}

void TDataSet::InitRecord(TRecordBuffer buffer) {
    InitRecordBuffer(buffer);
    ClearCalcArea(buffer);
    SetBookmarkFlagOf(buffer, bfInserted);
}

void TDataSet::BeginInsertAppend(bool append) {
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
    try {
        if (append) {
            PrepareAppendBuffer();
        } else {
            PrepareInsertBuffer();
        }
    } catch (...) {
        RecoverWindow();
        throw;
    }
    bof_ = false;
    eof_ = false;
    SetState(dsInsert);
    SendEvent(TDataEvent::DataSetChange);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TDataSet::PrepareInsertBuffer() {
    UpdateCursorPos();
    const int oldRecordCount = recordCount_;
    TBookmark position(static_cast<std::size_t>(bookmarkSize_), '\0');
    if (oldRecordCount > 0) BookmarkOf(ActiveBuffer(), position.data());
    // The spare buffer goes in front of the active record; a full window drops its last.
    std::rotate(buffers_.begin() + activeRecord_, buffers_.begin() + recordCount_,
                buffers_.begin() + recordCount_ + 1);
    recordCount_ = std::min(recordCount_ + 1, bufferCount_);
    CursorPosChanged();
    const TRecordBuffer buffer = ActiveBuffer();
    InitRecord(buffer);
    // Posting puts the engine's cursor here: on the record the new one goes before, or before
    // the first record of an empty table.
    if (oldRecordCount == 0) {
        SetBookmarkFlagOf(buffer, bfBOF);
    } else {
        SetBookmarkOf(buffer, position.data());
    }
}

void TDataSet::PrepareAppendBuffer() {
    ClearBuffers();
    InitRecord(buffers_[0]);
    SetBookmarkFlagOf(buffers_[0], bfEOF);
    recordCount_ = 1;
    // The last records of the table fill the window in front of the new one.
    FetchPriors();
}

void TDataSet::RecoverWindow() noexcept {
    try {
        Resync();
    } catch (...) {
        ClearBuffers();
    }
}

void TDataSet::Post() {
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    Fire(BeforePost);
    try {
        UpdateCursorPos();
        if (adding_ != AddMode::None) {
            InternalAddRecord(ActiveBuffer(), adding_ == AddMode::Append);
        } else {
            PostRecord();
        }
    } catch (...) {
        CursorPosChanged();
        throw;
    }
    adding_ = AddMode::None;
    SetState(dsBrowse);
    Resync();
    Fire(AfterPost);
}

void TDataSet::Cancel() {
    if (state_ != dsEdit && state_ != dsInsert) return;
    const bool inserting = state_ == dsInsert;
    Fire(BeforeCancel);
    if (inserting) Fire(BeforeScroll);
    UpdateCursorPos();
    adding_ = AddMode::None;
    SetState(dsBrowse);
    Resync();
    Fire(AfterCancel);
    if (inserting) Fire(AfterScroll);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    if (IsEmpty()) DatabaseError(db_messages::kDataSetEmpty, name_);
    CheckCanModify();
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    const bool done = RunGuarded(OnDeleteError, [this] {
        UpdateCursorPos();
        DeleteRecord();
        CursorPosChanged();
    });
    if (!done) return;
    SetState(dsBrowse);
    Resync();
    Fire(AfterDelete);
    Fire(AfterScroll);
}

void TDataSet::InsertRecord(const std::vector<Variant>& values) {
    AddRecord(values, false);
}

void TDataSet::AppendRecord(const std::vector<Variant>& values) {
    AddRecord(values, true);
}

void TDataSet::AddRecord(const std::vector<Variant>& values, bool append) {
    CheckActive();
    if (static_cast<int>(values.size()) > fields_.Count()) {
        DatabaseError(db_messages::kTooManyValues, name_);
    }
    BeginInsertAppend(append);
    adding_ = append ? AddMode::Append : AddMode::Insert;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].IsEmpty()) fields_[static_cast<int>(i)].SetValue(values[i]);
    }
    Post();
}

void TDataSet::ComputeCalcFields(TRecordBuffer buffer) {
    if (calcFieldsSize_ == 0 || buffer == nullptr) return;
    ClearCalcArea(buffer);
    const TemporaryState calculating(state_, calcBuffer_, dsCalcFields, buffer);
    Fire(OnCalcFields);
}

void TDataSet::NotifyFieldChanged(TField& field) {
    if (state_ == dsCalcFields) return;
    if (field.FieldKind() == fkData) modified_ = true;
    if (autoCalcFields_ && (state_ == dsEdit || state_ == dsInsert)) {
        ComputeCalcFields(ActiveBuffer());
    }
    SendEvent(TDataEvent::FieldChange, &field);
}

bool TDataSet::Locate(const std::string& keyFields, const Variant& keyValues,
                      TLocateOptions options) {
    CheckBrowseMode();
    Fire(BeforeScroll);
    const bool found = LocateRow(keyFields, keyValues, options);
    if (found) Fire(AfterScroll);
    return found;
}

bool TDataSet::ReadFieldOfEveryRecord(const TField& field, const TFieldValueVisitor& visit) {
    if (!Active() || state_ != dsBrowse || field.Calculated() || field.DataSet() != this) {
        return false;
    }
    return ReadFieldOfAllRows(field, visit);
}

}  // namespace tavisto
