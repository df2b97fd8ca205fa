// TDataSet: data sources, the buffer count they ask for, and notifications.

#include <algorithm>

#include "db/DataSet.h"
#include "db/DataSource.h"

namespace tavisto {

void TDataSet::AddDataSource(TDataSource& source) {
    dataSources_.push_back(&source);
}

void TDataSet::RemoveDataSource(TDataSource& source) {
    std::erase(dataSources_, &source);
}

int TDataSet::LinkBufferCount() const {
    int count = 1;
    for (const TDataSource* source : dataSources_) {
        for (const TDataLink* link : source->links_) count = std::max(count, link->BufferCount());
    }
    return count;
}

void TDataSet::UpdateBufferCount() {
    if (buffers_.empty() || !IsTableOpen()) return;
    const int count = LinkBufferCount();
    if (count == bufferCount_) return;
    ResizeWindow(count);
    if (state_ == dsBrowse && recordCount_ > 0) {
        FetchNexts();
        FetchPriors();
    }
    SendEvent(TDataEvent::DataSetChange);
}

void TDataSet::DisableControls() {
    if (disableCount_ == 0) {
        disableState_ = state_;
        heldActiveChange_ = false;
        heldEvent_ = TDataEvent::UpdateState;
    }
    ++disableCount_;
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0 || --disableCount_ > 0) return;
    const bool reopened = heldActiveChange_;
    const TDataEvent held = heldEvent_;
    heldActiveChange_ = false;
    heldEvent_ = TDataEvent::UpdateState;
    if (reopened || disableState_ != state_) {
        SendEvent(TDataEvent::UpdateState, nullptr, reopened ? 1 : 0);
    }
    if (!reopened && held != TDataEvent::UpdateState && state_ != dsInactive) SendEvent(held);
}

void TDataSet::SendEvent(TDataEvent event, TField* field, int info) {
    if (disableCount_ > 0) {
        if (event == TDataEvent::UpdateState) {
            heldActiveChange_ = heldActiveChange_ || info != 0;
        } else if (event == TDataEvent::LayoutChange) {
            heldEvent_ = TDataEvent::LayoutChange;
        } else if (heldEvent_ != TDataEvent::LayoutChange) {
            heldEvent_ = TDataEvent::DataSetChange;
        }
        return;
    }
    // A link may detach sources while it is told; only those still attached hear the rest.
    const std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources) {
        if (std::find(dataSources_.begin(), dataSources_.end(), source) != dataSources_.end()) {
            source->Notify(event, field, info);
        }
    }
}

}  // namespace tavisto
