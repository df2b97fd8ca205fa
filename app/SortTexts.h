#pragma once

#include <Qt>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavisto {

// The texts the grid's rows are sorted by: one per row and key column, stored case-folded as
// UTF-8 in one block, so that comparing two of them is comparing bytes. A number is stored as
// 8 bytes, most significant first.
class TSortTexts {
public:
    TSortTexts(int rows, int keys);

    // Adds the next cell's text (row by row, key by key), given as the field's bytes.
    void Append(std::string_view bytes);
    // Adds the next cell as a number that orders as its text would: the empty text for none,
    // so that it comes first as an empty text does.
    void AppendNumber(std::optional<std::uint64_t> number);

    // The rows in sorted order (a row is its index in the order of Append), each key ascending
    // or descending as orders says; rows with equal texts keep their order. Rows already in
    // order, or in exactly the opposite order, cost one pass.
    std::vector<int> SortedOrder(const std::vector<Qt::SortOrder>& orders) const;

private:
    std::string_view Text(int row, int key) const;
    int Compare(int left, int right, const std::vector<Qt::SortOrder>& orders) const;

    int rows_;
    int keys_;
    std::string block_;
    std::vector<std::uint32_t> starts_;
};

}  // namespace tavisto
