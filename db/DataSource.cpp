#include "db/DataSource.h"

#include <algorithm>

#include "db/DataSet.h"
#include "platform/Exceptions.h"

namespace tavisto {

TDataSource::~TDataSource() {
    SetDataSet(nullptr);
    for (TDataLink* link : links_) link->dataSource_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    TDataSet* old = dataSet_;
    if (old != nullptr) old->RemoveDataSource(*this);
    dataSet_ = dataSet;
    if (dataSet_ != nullptr) dataSet_->AddDataSource(*this);
    if (old != nullptr) old->UpdateBufferCount();
    // The links learn of their new data set before they hear that its window grew for them.
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->UpdateState(true);
    }
    if (dataSet_ != nullptr) dataSet_->UpdateBufferCount();
}

TDataSetState TDataSource::State() const {
    return dataSet_ != nullptr ? dataSet_->State() : dsInactive;
}

void TDataSource::AddLink(TDataLink& link) {
    links_.push_back(&link);
    if (dataSet_ != nullptr) dataSet_->UpdateBufferCount();
}

void TDataSource::RemoveLink(TDataLink& link) {
    std::erase(links_, &link);
    if (dataSet_ != nullptr) dataSet_->UpdateBufferCount();
}

void TDataSource::Notify(TDataEvent event, TField* field, int info) {
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) {
            link->HandleEvent(event, field, info);
        }
    }
}

void TDataSource::DataSetDestroyed() {
    dataSet_ = nullptr;
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) link->UpdateState(true);
}

TDataLink::~TDataLink() {
    if (dataSource_ != nullptr) dataSource_->RemoveLink(*this);
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (source == dataSource_) return;
    if (dataSource_ != nullptr) dataSource_->RemoveLink(*this);
    dataSource_ = source;
    if (dataSource_ != nullptr) dataSource_->AddLink(*this);
    UpdateState(true);
}

TDataSet* TDataLink::DataSet() const {
    return dataSource_ != nullptr ? dataSource_->DataSet() : nullptr;
}

void TDataLink::SetBufferCount(int count) {
    count = std::max(count, 1);
    if (count == bufferCount_) return;
    bufferCount_ = count;
    if (TDataSet* dataSet = DataSet()) dataSet->UpdateBufferCount();
    UpdateRange();
}

int TDataLink::ActiveRecord() const {
    return active_ ? DataSet()->activeRecord_ - firstRecord_ : 0;
}

void TDataLink::SetActiveRecord(int index) {
    if (!active_ || index < 0 || index >= RecordCount()) {
        throw EListError("Data link record index out of range (" + std::to_string(index) + ")");
    }
    DataSet()->activeRecord_ = firstRecord_ + index;
}

int TDataLink::RecordCount() const {
    if (!active_) return 0;
    return std::clamp(DataSet()->recordCount_ - firstRecord_, 0, bufferCount_);
}

void TDataLink::HandleEvent(TDataEvent event, TField* field, int info) {
    if (event == TDataEvent::UpdateState) {
        UpdateState(info != 0);
        return;
    }
    if (!active_) return;
    switch (event) {
        case TDataEvent::FieldChange:
        case TDataEvent::RecordChange:
            RecordChanged(field);
            break;
        case TDataEvent::DataSetChange:
            UpdateRange();
            DataSetChanged();
            break;
        case TDataEvent::LayoutChange:
            UpdateRange();
            LayoutChanged();
            break;
        case TDataEvent::DataSetScroll: {
            const int sameFirst = firstRecord_ + info;
            firstRecord_ = sameFirst;
            UpdateRange();
            DataSetScrolled(firstRecord_ - sameFirst);
            break;
        }
        case TDataEvent::UpdateState:
            break;
    }
}

void TDataLink::UpdateState(bool reopened) {
    const TDataSet* dataSet = DataSet();
    const bool nowActive = dataSet != nullptr && dataSet->Active();
    const bool nowEditing =
        nowActive && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
    const bool activeChanged = nowActive != active_ || (reopened && (nowActive || active_));
    const bool editingChanged = nowEditing != editing_;
    active_ = nowActive;
    editing_ = nowEditing;
    if (activeChanged) {
        firstRecord_ = 0;
        UpdateRange();
        ActiveChanged();
    }
    if (editingChanged) EditingChanged();
}

void TDataLink::UpdateRange() {
    if (!active_) {
        firstRecord_ = 0;
        return;
    }
    const TDataSet& dataSet = *DataSet();
    const int active = dataSet.activeRecord_;
    const int lowest = std::max(0, active - bufferCount_ + 1);
    const int highest = std::max(lowest, std::min(active, dataSet.recordCount_ - bufferCount_));
    firstRecord_ = std::clamp(firstRecord_, lowest, highest);
}

}  // namespace tavisto
