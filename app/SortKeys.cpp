#include "app/SortKeys.h"

#include <QString>
#include <algorithm>
#include <numeric>

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
        column.block += DecodeText(bytes).toCaseFolded().toStdString();
    }
    column.starts.push_back(column.block.size());
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
        const std::size_t start = column.starts[record];
        const std::size_t length = column.starts[record + 1] - start;
        for (std::size_t i = 0; i < 7; ++i) {
            const auto byte = i < length ? static_cast<unsigned char>(column.block[start + i]) : 0;
            lead.bytes = (lead.bytes << 8) | byte;
        }
        lead.bytes = (lead.bytes << 8) | std::min<std::size_t>(length, 8);
        lead.whole = length < 8;
    }
    if (order == Qt::DescendingOrder) lead.bytes = ~lead.bytes;
    return lead;
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
            const std::string_view block(column.block);
            order = block.substr(column.starts[left], column.starts[left + 1] - column.starts[left])
                        .compare(block.substr(column.starts[right],
                                              column.starts[right + 1] - column.starts[right]));
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
    struct TEntry {
        TLead lead;
        int row;
    };
    std::vector<TEntry> entries(rows);
    for (int row = 0; row < rows; ++row) {
        entries[row] = {LeadOf(recordOfRow[row], orders.front()), row};
    }
    std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& left, const TEntry& right) {
        if (left.lead.bytes != right.lead.bytes) return left.lead.bytes < right.lead.bytes;
        const bool firstKeyEqual = left.lead.whole && right.lead.whole;
        return CompareRecords(recordOfRow[left.row], recordOfRow[right.row], orders,
                              firstKeyEqual ? 1 : 0) < 0;
    });
    for (int row = 0; row < rows; ++row) order[row] = entries[row].row;
    return order;
}

}  // namespace tavisto
