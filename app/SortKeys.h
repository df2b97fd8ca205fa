#pragma once

#include <Qt>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavisto {

// The keys the grid's rows are sorted by: for every record and key column, a text (stored
// case-folded as UTF-8, so that comparing two is comparing bytes) or a number that orders as its
// text would. Each key column is filled in record order, one cell per record.
class TSortKeys {
public:
    enum class TKind { Text, Number };

    TSortKeys(int records, const std::vector<TKind>& kinds);

    int Keys() const { return static_cast<int>(columns_.size()); }
    TKind Kind(int key) const { return columns_[key].kind; }
    // Adds the next record's cell to a text column, given as the field's bytes.
    void AppendText(int key, std::string_view bytes);
    // Adds the next record's cell to a number column; none orders first, as the empty text does.
    void AppendNumber(int key, std::optional<std::uint64_t> number);
    // Empties every column, for filling them again.
    void Clear();

    // The grid rows in sorted order, given the record each row shows (recordOfRow[row]); a row
    // is its index in recordOfRow. Each key is ascending or descending as orders says; rows with
    // equal keys keep their order. Rows already in order, or in exactly the opposite order, cost
    // one pass.
    std::vector<int> SortedOrder(const std::vector<int>& recordOfRow,
                                 const std::vector<Qt::SortOrder>& orders) const;

private:
    struct TColumn {
        TKind kind;
        // Text cells: the bytes of every cell, and where each starts (one more than cells).
        std::string block;
        std::vector<std::size_t> starts;
        // Number cells: 0 for none, else the number plus one.
        std::vector<std::uint64_t> numbers;

        std::string_view Text(int record) const;
    };

    // A record's first key in 8 bytes, for sorting without reaching into the columns: leads
    // order as the keys do where they differ, and equal leads that are whole mean equal keys.
    struct TLead {
        std::uint64_t bytes;
        bool whole;
    };

    struct TEntry {
        TLead lead;
        int row;
    };

    TLead LeadOf(int record, Qt::SortOrder order) const;
    // Orders entries by their leads' bytes; equal leads keep their order.
    static void SortByLead(std::vector<TEntry>& entries);
    // Compares two records by the keys from firstKey on.
    int CompareRecords(int left, int right, const std::vector<Qt::SortOrder>& orders,
                       int firstKey = 0) const;

    // Appends the case-folded form of a text that is not plain ASCII; the forms of at most
    // kFoldedTextsKept texts are kept.
    static constexpr std::size_t kFoldedTextsKept = 4096;
    void AppendFolded(std::string& block, std::string_view bytes);

    int records_;
    std::vector<TColumn> columns_;
    std::map<std::string, std::string, std::less<>> folded_;
};

}  // namespace tavisto
