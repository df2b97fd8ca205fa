#include "app/SortKeys.h"

#include <QString>
#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

#include "app/TextDecoding.h"

namespace tavisto {

TSortKeys::TSortKeys(int records, const std::vector<TKind>& kinds) : records_(records) {
    for (const TKind kind : kinds) columns_.push_back(TColumn{kind, {}, {}, {}});
    Clear();
}

void TSortKeys::Clear() {
    const auto cells = static_cast<std::size_t>(std::max(records_, 0));
    for (TColumn& column : columns_) {
        column.block.clear();
        column.starts.clear();
        column.numbers.clear();
        if (column.kind == TKind::Number) {
            column.numbers.reserve(cells);
        } else {
            column.starts.reserve(cells + 1);
            column.starts.push_back(0);
        }
    }
}

void TSortKeys::AppendText(int key, std::string_view bytes) {
    TColumn& column = columns_[key];
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        const std::size_t at = column.block.size();
        column.block.resize(at + bytes.size());
        std::transform(bytes.begin(), bytes.end(), column.block.begin() + at, [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        });
    } else {
        AppendFolded(column.block, bytes);
    }
    column.starts.push_back(column.block.size());
}

// Decoding and folding go through Qt; a log repeats its names, so the results are kept.
void TSortKeys::AppendFolded(std::string& block, std::string_view bytes) {
    const auto known = folded_.find(bytes);
    if (known != folded_.end()) {
        block += known->second;
        return;
    }
    std::string text = DecodeText(bytes).toCaseFolded().toStdString();
    block += text;
    if (folded_.size() < kFoldedTextsKept) folded_.emplace(std::string(bytes), std::move(text));
}

std::string_view TSortKeys::TColumn::Text(int record) const {
    return std::string_view(block).substr(starts[record], starts[record + 1] - starts[record]);
}

void TSortKeys::AppendNumber(int key, std::optional<std::uint64_t> number) {
    columns_[key].numbers.push_back(number ? *number + 1 : 0);
}

// A text's lead is its first 7 bytes (zeros past its end) and its length up to 8, so that a
// shorter text that begins another orders first, and equal leads of a length below 8 are equal
// texts. A number is its own lead.
TSortKeys::TLead TSortKeys::LeadOf(int record, Qt::SortOrder order) const {
    const TColumn& column = columns_.front();
    TLead lead{0, true};
    if (column.kind == TKind::Number) {
        lead.bytes = column.numbers[record];
    } else {
        const std::string_view text = column.Text(record);
        for (std::size_t i = 0; i < 7; ++i) {
            const auto byte = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
            lead.bytes = (lead.bytes << 8) | byte;
        }
        lead.bytes = (lead.bytes << 8) | std::min<std::size_t>(text.size(), 8);
        lead.whole = text.size() < 8;
    }
    if (order == Qt::DescendingOrder) lead.bytes = ~lead.bytes;
    return lead;
}

// Least significant byte first, each pass keeping the order of the one before, so that equal
// leads keep the rows' order; a byte that every lead shares costs no pass.
void TSortKeys::SortByLead(std::vector<TEntry>& entries) {
    constexpr int kBytes = sizeof(std::uint64_t);
    std::array<std::array<std::size_t, 256>, kBytes> counts{};
    for (const TEntry& entry : entries) {
        for (int byte = 0; byte < kBytes; ++byte)
            ++counts[byte][(entry.lead.bytes >> (8 * byte)) & 0xFF];
    }
    std::vector<TEntry> sorted(entries.size());
    for (int byte = 0; byte < kBytes; ++byte) {
        std::array<std::size_t, 256>& next = counts[byte];
        if (std::find(next.begin(), next.end(), entries.size()) != next.end()) continue;
        std::size_t start = 0;
        for (std::size_t& count : next) start += std::exchange(count, start);
        for (const TEntry& entry : entries) {
            sorted[next[(entry.lead.bytes >> (8 * byte)) & 0xFF]++] = entry;
        }
        entries.swap(sorted);
    }
}

int TSortKeys::CompareRecords(int left, int right, const std::vector<Qt::SortOrder>& orders,
                              int firstKey) const {
    for (std::size_t key = firstKey; key < columns_.size(); ++key) {
        const TColumn& column = columns_[key];
        int order = 0;
        if (column.kind == TKind::Number) {
            const std::uint64_t a = column.numbers[left];
            const std::uint64_t b = column.numbers[right];
            order = a < b ? -1 : (a > b ? 1 : 0);
        } else {
            order = column.Text(left).compare(column.Text(right));
        }
        if (order != 0) return orders[key] == Qt::AscendingOrder ? order : -order;
    }
    return 0;
}

std::vector<int> TSortKeys::SortedOrder(const std::vector<int>& recordOfRow,
                                        const std::vector<Qt::SortOrder>& orders) const {
    const int rows = static_cast<int>(recordOfRow.size());
    const auto compare = [&](int left, int right) {
        return CompareRecords(recordOfRow[left], recordOfRow[right], orders);
    };
    std::vector<int> order(rows);
    std::iota(order.begin(), order.end(), 0);
    bool ascending = true;
    bool descending = true;
    for (int row = 1; row < rows && (ascending || descending); ++row) {
        const int step = compare(row - 1, row);
        ascending = ascending && step <= 0;
        descending = descending && step >= 0;
    }
    if (ascending) return order;
    if (descending) {
        // Groups of equal keys from the last to the first, each keeping its order.
        std::vector<int> reversed;
        reversed.reserve(rows);
        for (int end = rows; end > 0;) {
            int begin = end - 1;
            while (begin > 0 && compare(begin - 1, begin) == 0) --begin;
            for (int row = begin; row < end; ++row) reversed.push_back(row);
            end = begin;
        }
        return reversed;
    }
    // The leads sit next to their rows, so that most comparisons read no column.
    std::vector<TEntry> entries(rows);
    for (int row = 0; row < rows; ++row) {
        entries[row] = {LeadOf(recordOfRow[row], orders.front()), row};
    }
    SortByLead(entries);
    // Runs of equal leads are ordered by the keys themselves; equal leads that are whole have
    // equal first keys.
    const auto before = [&](const TEntry& left, const TEntry& right, int firstKey) {
        return CompareRecords(recordOfRow[left.row], recordOfRow[right.row], orders, firstKey) < 0;
    };
    for (auto begin = entries.begin(); begin != entries.end();) {
        auto end = std::find_if(begin + 1, entries.end(), [&](const TEntry& entry) {
            return entry.lead.bytes != begin->lead.bytes;
        });
        const int firstKey = begin->lead.whole ? 1 : 0;
        if (firstKey < Keys() && !std::is_sorted(begin, end, [&](const TEntry& l, const TEntry& r) {
                return before(l, r, firstKey);
            })) {
            std::stable_sort(begin, end, [&](const TEntry& l, const TEntry& r) {
                return before(l, r, firstKey);
            });
        }
        begin = end;
    }
    for (int row = 0; row < rows; ++row) order[row] = entries[row].row;
    return order;
}

}  // namespace tavisto
