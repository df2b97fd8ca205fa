#include "app/SortHeader.h"

#include <QMouseEvent>
#include <QStyleOptionHeader>
#include <algorithm>

namespace tavisto {

std::vector<TSortKey> ClickedSortKeys(std::vector<TSortKey> keys, int column, bool ctrl) {
    const auto found = std::find_if(keys.begin(), keys.end(),
                                    [column](const TSortKey& key) { return key.column == column; });
    const bool wasAscending = found != keys.end() && found->order == Qt::AscendingOrder;
    if (!ctrl) return {{column, wasAscending ? Qt::DescendingOrder : Qt::AscendingOrder}};
    if (found == keys.end()) {
        keys.push_back({column, Qt::AscendingOrder});
    } else if (wasAscending) {
        found->order = Qt::DescendingOrder;
    } else {
        keys.erase(found);
    }
    return keys;
}

TSortHeader::TSortHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The marks come from initStyleOptionForIndex; this only reserves their room.
    setSortIndicatorShown(true);
    setSortIndicator(-1, Qt::AscendingOrder);
    connect(this, &QHeaderView::sectionClicked, this, &TSortHeader::OnSectionClicked);
}

void TSortHeader::ClearSortKeys() {
    sortKeys_.clear();
    viewport()->update();
}

int TSortHeader::CaptionWidth(int section) const {
    return sectionSizeFromContents(section).width();
}

void TSortHeader::mouseReleaseEvent(QMouseEvent* event) {
    // sectionClicked carries no modifiers; keep those of the click that emits it.
    clickModifiers_ = event->modifiers();
    QHeaderView::mouseReleaseEvent(event);
}

void TSortHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    option->sortIndicator = QStyleOptionHeader::None;
    for (const TSortKey& key : sortKeys_) {
        if (key.column != logicalIndex) continue;
        // Qt's styles draw SortDown for an ascending column.
        option->sortIndicator = key.order == Qt::AscendingOrder ? QStyleOptionHeader::SortDown
                                                                : QStyleOptionHeader::SortUp;
    }
}

void TSortHeader::OnSectionClicked(int section) {
    sortKeys_ = ClickedSortKeys(sortKeys_, section, clickModifiers_.testFlag(Qt::ControlModifier));
    viewport()->update();
    Q_EMIT sortRequested(sortKeys_);
}

}  // namespace tavisto
