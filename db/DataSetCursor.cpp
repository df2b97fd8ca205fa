// TDataSet: the window of record buffers, navigation and bookmarks.

#include <algorithm>

#include "db/DataSet.h"

namespace tavisto {
namespace {

// Runs body, then finish, also when body raises.
template <class Body, class Finish>
void RunThenFinish(Body&& body, Finish&& finish) {
    try {
        body();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

}  // namespace

TRecordBuffer TDataSet::ActiveBuffer() const {
    return recordCount_ > 0 ? buffers_[static_cast<std::size_t>(activeRecord_)] : nullptr;
}

void TDataSet::ResizeWindow(int count) {
    count = std::max(count, 1);
    if (count == bufferCount_) return;
    if (count > bufferCount_) {
        buffers_.reserve(static_cast<std::size_t>(count) + 1);
        while (static_cast<int>(buffers_.size()) < count + 1) buffers_.push_back(NewRecordBuffer());
        bufferCount_ = count;
        return;
    }
    // Keep the active record: drop records from the far end first.
    while (recordCount_ > count) {
        if (activeRecord_ < recordCount_ - 1) {
            --recordCount_;
        } else {
            std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.begin() + recordCount_);
            --recordCount_;
            --activeRecord_;
        }
    }
    while (static_cast<int>(buffers_.size()) > count + 1) {
        DisposeRecordBuffer(buffers_.back());
        buffers_.pop_back();
    }
    bufferCount_ = count;
    CursorPosChanged();
}

void TDataSet::FreeBuffers() noexcept {
    for (TRecordBuffer& buffer : buffers_) {
        try {
            DisposeRecordBuffer(buffer);
        } catch (...) {
            // Releasing the others matters more than one failure.
        }
    }
    buffers_.clear();
    bufferCount_ = 0;
}

void TDataSet::ClearBuffers() {
    recordCount_ = 0;
    activeRecord_ = 0;
    currentRecord_ = -1;
    bof_ = true;
    eof_ = true;
}

void TDataSet::ActivateBuffers() {
    recordCount_ = 1;
    activeRecord_ = 0;
    currentRecord_ = 0;
    bof_ = false;
    eof_ = false;
}

void TDataSet::SyncCursorTo(int index) {
    if (currentRecord_ == index) return;
    const TRecordBuffer buffer = buffers_[static_cast<std::size_t>(index)];
    switch (BookmarkFlagOf(buffer)) {
        case bfBOF:
            MoveBeforeFirst();
            break;
        case bfEOF:
            MoveAfterLast();
            break;
        default:
            PositionAtRecord(buffer);
            break;
    }
    currentRecord_ = index;
}

void TDataSet::UpdateCursorPos() {
    if (recordCount_ > 0) SyncCursorTo(activeRecord_);
}

TGetResult TDataSet::Fetch(TRecordBuffer buffer, TGetMode mode, bool check) {
    try {
        return FetchRecord(buffer, mode, check);
    } catch (...) {
        CursorPosChanged();
        throw;
    }
}

bool TDataSet::FetchNext() {
    if (recordCount_ > 0) SyncCursorTo(recordCount_ - 1);
    if (Fetch(buffers_[static_cast<std::size_t>(recordCount_)], gmNext, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0) {
        ActivateBuffers();
    } else if (recordCount_ < bufferCount_) {
        ++recordCount_;
    } else {
        // The first record leaves the window; its buffer becomes the spare one.
        std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.end());
        activeRecord_ = std::max(activeRecord_ - 1, 0);
    }
    currentRecord_ = recordCount_ - 1;
    return true;
}

bool TDataSet::FetchPrior() {
    if (recordCount_ > 0) SyncCursorTo(0);
    if (Fetch(buffers_[static_cast<std::size_t>(recordCount_)], gmPrior, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0) {
        ActivateBuffers();
    } else {
        // The fetched record goes in front; when the window is full its last record leaves.
        std::rotate(buffers_.begin(), buffers_.begin() + recordCount_,
                    buffers_.begin() + recordCount_ + 1);
        if (recordCount_ < bufferCount_) ++recordCount_;
        activeRecord_ = std::min(activeRecord_ + 1, recordCount_ - 1);
    }
    currentRecord_ = 0;
    return true;
}

void TDataSet::FetchNexts() {
    while (recordCount_ < bufferCount_ && FetchNext()) {
    }
}

void TDataSet::FetchPriors() {
    while (recordCount_ < bufferCount_ && FetchPrior()) {
    }
}

void TDataSet::First() {
    CheckBrowseMode();
    Fire(BeforeScroll);
    RunThenFinish([this] { FetchFirstRecords(); },
                  [this] {
                      bof_ = true;
                      SendEvent(TDataEvent::DataSetChange);
                  });
    Fire(AfterScroll);
}

void TDataSet::Last() {
    CheckBrowseMode();
    Fire(BeforeScroll);
    RunThenFinish(
        [this] {
            ClearBuffers();
            MoveAfterLast();
            FetchPrior();
            FetchPriors();
        },
        [this] {
            eof_ = true;
            SendEvent(TDataEvent::DataSetChange);
        });
    Fire(AfterScroll);
}

bool TDataSet::StepForward(int& scrolled) {
    if (activeRecord_ < recordCount_ - 1) {
        ++activeRecord_;
        return true;
    }
    const bool full = recordCount_ == bufferCount_;
    if (!FetchNext()) return false;
    if (full) --scrolled;
    activeRecord_ = recordCount_ - 1;
    return true;
}

bool TDataSet::StepBackward(int& scrolled) {
    if (activeRecord_ > 0) {
        --activeRecord_;
        return true;
    }
    const bool full = recordCount_ == bufferCount_;
    if (!FetchPrior()) return false;
    if (full) ++scrolled;
    activeRecord_ = 0;
    return true;
}

int TDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
    Fire(BeforeScroll);
    bof_ = false;
    eof_ = false;
    const int oldRecordCount = recordCount_;
    int moved = 0;
    int scrolled = 0;
    RunThenFinish(
        [&] {
            while (moved < distance && !eof_) {
                if (StepForward(scrolled)) {
                    ++moved;
                } else {
                    eof_ = true;
                }
            }
            while (moved > distance && !bof_) {
                if (StepBackward(scrolled)) {
                    --moved;
                } else {
                    bof_ = true;
                }
            }
        },
        [&] {
            if (recordCount_ != oldRecordCount) {
                SendEvent(TDataEvent::DataSetChange);
            } else {
                SendEvent(TDataEvent::DataSetScroll, nullptr, scrolled);
            }
        });
    Fire(AfterScroll);
    return moved;
}

void TDataSet::Resync(TResyncMode mode) {
    CheckActive();
    CursorPosChanged();
    const TRecordBuffer spare = buffers_[static_cast<std::size_t>(recordCount_)];
    if (mode.Exact) {
        if (Fetch(spare, gmCurrent, true) != grOK) {
            DatabaseError(db_messages::kRecordNotFound, name_);
        }
    } else if (Fetch(spare, gmCurrent, false) != grOK && Fetch(spare, gmNext, false) != grOK &&
               Fetch(spare, gmPrior, false) != grOK) {
        ClearBuffers();
        SendEvent(TDataEvent::DataSetChange);
        return;
    }
    int before = mode.Center ? (bufferCount_ - 1) / 2 : std::min(activeRecord_, bufferCount_ - 1);
    std::swap(buffers_[0], buffers_[static_cast<std::size_t>(recordCount_)]);
    ActivateBuffers();
    RunThenFinish(
        [&] {
            while (before > 0 && FetchPrior()) --before;
            FetchNexts();
            FetchPriors();
        },
        [this] { SendEvent(TDataEvent::DataSetChange); });
}

int TDataSet::RecNo() const {
    CheckActive();
    return RecordNumber();
}

void TDataSet::SetRecNo(int recordNumber) {
    CheckBrowseMode();
    SetRecordNumber(recordNumber);
}

TBookmark TDataSet::GetBookmark() const {
    const bool available = (state_ == dsBrowse || state_ == dsEdit || state_ == dsInsert) &&
                           !IsEmpty() && BookmarkFlagOf(ActiveBuffer()) == bfCurrent;
    if (!available) return {};
    TBookmark bookmark(static_cast<std::size_t>(bookmarkSize_), '\0');
    BookmarkOf(ActiveBuffer(), bookmark.data());
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (bookmark.empty()) return;
    CheckBrowseMode();
    if (bookmark.size() != static_cast<std::size_t>(bookmarkSize_)) {
        DatabaseError(db_messages::kInvalidBookmark, name_);
    }
    Fire(BeforeScroll);
    PositionAtBookmark(bookmark.data());
    Resync({.Exact = true, .Center = true});
    Fire(AfterScroll);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
    return Active() && bookmark.size() == static_cast<std::size_t>(bookmarkSize_) &&
           !bookmark.empty() && IsValidBookmark(bookmark.data());
}

int TDataSet::CompareBookmarks(const TBookmark& left, const TBookmark& right) const {
    const auto present = [this](const TBookmark& bookmark) {
        return !bookmark.empty() && bookmark.size() == static_cast<std::size_t>(bookmarkSize_)
                   ? bookmark.data()
                   : nullptr;
    };
    return CompareBookmarkPositions(present(left), present(right));
}

bool TDataSet::IsValidBookmark(const char* /*bookmark*/) const {
    return false;
}

int TDataSet::CompareBookmarkPositions(const char* /*left*/, const char* /*right*/) const {
    return 0;
}

}  // namespace tavisto
