#include "app/GridRows.h"

#include <cstring>
#include <numeric>

namespace tavisto {

void TGridRows::Reset(int count, int bookmarkSize) {
    count_ = count;
    bookmarkSize_ = bookmarkSize;
    // Fresh containers, so that the rows of a big table that went away free their memory.
    bookmarks_ = std::string(static_cast<std::size_t>(count) * bookmarkSize, '\0');
    read_ = std::vector<bool>(count, false);
    order_ = {};
}

TBookmark TGridRows::Bookmark(int ordinal) const {
    if (!read_[ordinal]) return {};
    return bookmarks_.substr(static_cast<std::size_t>(ordinal) * bookmarkSize_, bookmarkSize_);
}

std::vector<int> TGridRows::OrdinalsOfRows() const {
    if (!order_.empty()) return {order_.begin(), order_.end()};
    std::vector<int> ordinals(count_);
    std::iota(ordinals.begin(), ordinals.end(), 0);
    return ordinals;
}

void TGridRows::SetBookmark(int ordinal, const TBookmark& bookmark) {
    if (bookmark.size() != static_cast<std::size_t>(bookmarkSize_)) return;
    SetBookmark(ordinal, bookmark.data());
}

void TGridRows::SetBookmark(int ordinal, const char* bookmark) {
    if (bookmarkSize_ == 0) return;
    std::memcpy(bookmarks_.data() + static_cast<std::size_t>(ordinal) * bookmarkSize_, bookmark,
                bookmarkSize_);
    read_[ordinal] = true;
}

bool TGridRows::AgreesWith(int ordinal, const char* bookmark) const {
    return !read_[ordinal] ||
           std::memcmp(bookmarks_.data() + static_cast<std::size_t>(ordinal) * bookmarkSize_,
                       bookmark, bookmarkSize_) == 0;
}

void TGridRows::Reorder(const std::vector<int>& order) {
    std::vector<std::int32_t> ordinals(order.size());
    for (std::size_t row = 0; row < order.size(); ++row) ordinals[row] = OrdinalAt(order[row]);
    order_ = std::move(ordinals);
}

void TGridRows::RemoveRow(int row) {
    if (order_.empty()) {
        order_.resize(count_);
        std::iota(order_.begin(), order_.end(), 0);
    }
    order_.erase(order_.begin() + row);
    --count_;
}

}  // namespace tavisto
