#include "app/SortTexts.h"

#include <QString>
#include <algorithm>
#include <array>
#include <numeric>

#include "app/TextDecoding.h"

namespace tavisto {
namespace {

constexpr std::size_t kNumberBytes = sizeof(std::uint64_t);

}  // namespace

TSortTexts::TSortTexts(int rows, int keys) : rows_(rows), keys_(keys) {
    starts_.reserve(static_cast<std::size_t>(rows) * keys + 1);
    starts_.push_back(0);
    // Room for every cell as a number: growing the block step by step would copy it many times.
    block_.reserve(static_cast<std::size_t>(rows) * keys * kNumberBytes);
}

void TSortTexts::Append(std::string_view bytes) {
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        for (const char c : bytes) block_ += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    } else {
        block_ += DecodeText(bytes).toCaseFolded().toStdString();
    }
    starts_.push_back(static_cast<std::uint32_t>(block_.size()));
}

void TSortTexts::AppendNumber(std::optional<std::uint64_t> number) {
    if (number) {
        std::array<char, kNumberBytes> bytes{};
        for (std::size_t i = 0; i < kNumberBytes; ++i) {
            bytes[i] = static_cast<char>((*number >> (8 * (kNumberBytes - 1 - i))) & 0xFF);
        }
        block_.append(bytes.data(), bytes.size());
    }
    starts_.push_back(static_cast<std::uint32_t>(block_.size()));
}

std::string_view TSortTexts::Text(int row, int key) const {
    const std::size_t cell = static_cast<std::size_t>(row) * keys_ + key;
    if (cell + 1 >= starts_.size()) return {};
    return std::string_view(block_).substr(starts_[cell], starts_[cell + 1] - starts_[cell]);
}

int TSortTexts::Compare(int left, int right, const std::vector<Qt::SortOrder>& orders) const {
    for (int key = 0; key < keys_; ++key) {
        const int order = Text(left, key).compare(Text(right, key));
        if (order != 0) return orders[key] == Qt::AscendingOrder ? order : -order;
    }
    return 0;
}

std::vector<int> TSortTexts::SortedOrder(const std::vector<Qt::SortOrder>& orders) const {
    std::vector<int> order(rows_);
    std::iota(order.begin(), order.end(), 0);
    bool ascending = true;
    bool descending = true;
    for (int row = 1; row < rows_ && (ascending || descending); ++row) {
        const int step = Compare(row - 1, row, orders);
        ascending = ascending && step <= 0;
        descending = descending && step >= 0;
    }
    if (ascending) return order;
    if (descending) {
        // Groups of equal texts from the last to the first, each keeping its order.
        std::vector<int> reversed;
        reversed.reserve(rows_);
        for (int end = rows_; end > 0;) {
            int begin = end - 1;
            while (begin > 0 && Compare(begin - 1, begin, orders) == 0) --begin;
            for (int row = begin; row < end; ++row) reversed.push_back(row);
            end = begin;
        }
        return reversed;
    }
    std::stable_sort(order.begin(), order.end(), [this, &orders](int left, int right) {
        return Compare(left, right, orders) < 0;
    });
    return order;
}

}  // namespace tavisto
