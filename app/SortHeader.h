#pragma once

#include <QHeaderView>
#include <vector>

namespace tavisto {

// One column of a sort, with its direction.
struct TSortKey {
    int column;
    Qt::SortOrder order;
    bool operator==(const TSortKey&) const = default;
};

// The sort after a click on column's header. A plain click sorts by that column alone,
// ascending, or descending when it was ascending. A click with Ctrl cycles the column through
// ascending, descending and unsorted, keeping the other columns of the sort.
std::vector<TSortKey> ClickedSortKeys(std::vector<TSortKey> keys, int column, bool ctrl);

// A horizontal header whose clicks build a sort of one or more columns and that shows a sort
// mark on each of them. It only announces the sort; the view reorders its rows.
class TSortHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit TSortHeader(QWidget* parent = nullptr);

    const std::vector<TSortKey>& SortKeys() const { return sortKeys_; }
    // Drops the sort marks without announcing a sort.
    void ClearSortKeys();

    // The width a section needs to show its caption, sort mark and margins.
    int CaptionWidth(int section) const;

Q_SIGNALS:
    // The user asked for a new sort; keys may be empty (all columns unsorted).
    void sortRequested(const std::vector<tavisto::TSortKey>& keys);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;

private:
    void OnSectionClicked(int section);

    std::vector<TSortKey> sortKeys_;
    Qt::KeyboardModifiers clickModifiers_;
};

}  // namespace tavisto
