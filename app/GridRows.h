#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/DbTypes.h"

namespace tavisto {

// The grid's rows without their texts. A row stands for one table record counted at the last
// rebuild (its ordinal, the record's place in table order then) and holds that record's
// bookmark once it has been read: 4 bytes and a bit per row, plus 4 bytes for the row's place
// once the rows are sorted or one was removed.
class TGridRows {
public:
    // count rows in table order, none read yet.
    void Reset(int count, int bookmarkSize);

    int Count() const { return count_; }
    // The records counted at the last rebuild; rows removed since leave their ordinals unused.
    int Ordinals() const { return static_cast<int>(read_.size()); }
    // The ordinal of the record shown in grid row row.
    int OrdinalAt(int row) const { return order_.empty() ? row : order_[row]; }
    // The ordinal of every grid row, in row order.
    std::vector<int> OrdinalsOfRows() const;
    // The grid rows in order of their ordinals, as they were built.
    bool InTableOrder() const { return order_.empty(); }

    bool HasBookmark(int ordinal) const { return read_[ordinal]; }
    TBookmark Bookmark(int ordinal) const;
    // A bookmark of another size than the table's is not kept.
    void SetBookmark(int ordinal, const TBookmark& bookmark);
    // The same for a bookmark of the table's size.
    void SetBookmark(int ordinal, const char* bookmark);
    // The ordinal has no bookmark yet, or this one.
    bool AgreesWith(int ordinal, const char* bookmark) const;

    // Shows the rows in a new order: order[row] is the old grid row now at row.
    void Reorder(const std::vector<int>& order);
    void RemoveRow(int row);

private:
    int count_ = 0;
    int bookmarkSize_ = 0;
    std::string bookmarks_;
    std::vector<bool> read_;
    // Ordinal per grid row; empty while the rows are in table order.
    std::vector<std::int32_t> order_;
};

}  // namespace tavisto
