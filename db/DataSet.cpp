#include "db/DataSet.h"

#include <cassert>

#include "db/DataSource.h"

namespace tavisto {

TDataSet::TDataSet() : fields_(*this), fieldDefs_(*this) {}

TDataSet::~TDataSet() {
    // A concrete data set closes itself (CloseForDestruction): only it can release its buffers.
    assert(buffers_.empty());
    const std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources) source->DataSetDestroyed();
}

void TDataSet::SetActive(bool value) {
    if (loading_) {
        streamedActive_ = value;
        return;
    }
    if (value == Active()) return;
    if (value) {
        OpenCursor();
    } else {
        CloseCursor();
    }
}

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError(db_messages::kDataSetClosed, name_);
}

void TDataSet::CheckInactive() const {
    if (Active()) DatabaseError(db_messages::kDataSetOpen, name_);
}

void TDataSet::BeginLoading() {
    loading_ = true;
    streamedActive_ = false;
}

void TDataSet::Loaded() {
    loading_ = false;
    if (!streamedActive_) return;
    streamedActive_ = false;
    try {
        SetActive(true);
    } catch (...) {
        HandleOpenError();
    }
}

void TDataSet::HandleOpenError() {
    throw;
}

void TDataSet::OpenCursor() {
    Fire(BeforeOpen);
    defaultFields_ = fields_.Count() == 0;
    fieldsPrepared_ = false;
    try {
        OpenTable();
        PrepareFields();
        ResizeWindow(LinkBufferCount());
        state_ = dsBrowse;
        FetchFirstRecords();
    } catch (...) {
        AbortOpen();
        throw;
    }
    SendEvent(TDataEvent::UpdateState, nullptr, 1);
    Fire(AfterOpen);
    if (!IsEmpty()) Fire(AfterScroll);
}

void TDataSet::FetchFirstRecords() {
    ClearBuffers();
    MoveBeforeFirst();
    FetchNext();
    FetchNexts();
    bof_ = true;
}

void TDataSet::AbortOpen() noexcept {
    state_ = dsInactive;
    FreeBuffers();
    ClearBuffers();
    try {
        if (IsTableOpen()) CloseTable();
    } catch (...) {
        // The error that stopped the open is the one to report.
    }
    ReleaseFields();
}

void TDataSet::CloseCursor() {
    Fire(BeforeClose);
    if (destroying_) {
        // The engine may have released its records already; drop edits without asking it.
        adding_ = AddMode::None;
        state_ = dsBrowse;
    } else {
        Cancel();
    }
    state_ = dsInactive;
    try {
        CloseTable();
    } catch (...) {
        state_ = dsBrowse;
        CursorPosChanged();
        throw;
    }
    ReleaseFields();
    FreeBuffers();
    ClearBuffers();
    SendEvent(TDataEvent::UpdateState, nullptr, 1);
    Fire(AfterClose);
}

void TDataSet::CloseForDestruction() noexcept {
    destroying_ = true;
    try {
        SetActive(false);
    } catch (...) {
        state_ = dsInactive;
    }
    ReleaseFields();
    FreeBuffers();
    ClearBuffers();
    try {
        SendEvent(TDataEvent::UpdateState);
    } catch (...) {
        // A link failing to follow a data set that goes away changes nothing here.
    }
}

void TDataSet::PrepareFields() {
    if (fieldsPrepared_) return;
    if (defaultFields_ && fields_.Count() == 0) {
        for (int i = 0; i < fieldDefs_.Count(); ++i) {
            fields_.AddUnchecked(fieldDefs_[i].CreateField());
        }
    }
    BindFields();
    fieldsPrepared_ = true;
}

void TDataSet::BindFields() {
    calcFieldsSize_ = 0;
    for (int i = 0; i < fields_.Count(); ++i) {
        TField& field = fields_[i];
        if (field.Calculated()) {
            field.fieldNo_ = -1;
            field.offset_ = calcFieldsSize_;
            calcFieldsSize_ += field.DataSize() + 1;
            continue;
        }
        const TFieldDef* def = fieldDefs_.Find(field.FieldName());
        if (def == nullptr) DatabaseError(db_messages::FieldNotFound(field.FieldName()), name_);
        if (BaseFieldType(def->DataType()) != BaseFieldType(field.DataType())) {
            DatabaseError(
                db_messages::FieldTypeMismatch(field.FieldName(), FieldTypeName(field.DataType()),
                                               FieldTypeName(def->DataType())),
                name_);
        }
        field.fieldNo_ = def->FieldNo();
        field.offset_ = -1;
    }
}

void TDataSet::ReleaseFields() {
    if (defaultFields_) {
        fields_.ClearUnchecked();
    } else {
        for (int i = 0; i < fields_.Count(); ++i) {
            fields_[i].fieldNo_ = 0;
            fields_[i].offset_ = -1;
        }
    }
    calcFieldsSize_ = 0;
    fieldsPrepared_ = false;
    defaultFields_ = false;
}

void TDataSet::SetState(TDataSetState state) {
    if (state_ == state) return;
    state_ = state;
    modified_ = false;
    SendEvent(TDataEvent::UpdateState);
}

void TDataSet::Fire(const TDataSetNotifyEvent& event) {
    if (event && !destroying_) event(*this);
}

bool TDataSet::RunGuarded(const TDataSetErrorEvent& handler,
                          const std::function<void()>& operation) {
    while (true) {
        try {
            operation();
            return true;
        } catch (EDatabaseError& error) {
            TDataAction action = daFail;
            if (handler) handler(*this, error, action);
            if (action == daFail) throw;
            if (action == daAbort) return false;
        }
    }
}

}  // namespace tavisto
