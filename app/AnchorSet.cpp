#include "app/AnchorSet.h"

#include <QWidget>
#include <algorithm>

namespace tavisto {

namespace {

// One axis: start and length for a growth of delta.
std::pair<int, int> AnchoredSpan(int start, int length, bool nearEdge, bool farEdge, int delta) {
    if (nearEdge && farEdge) return {start, std::max(0, length + delta)};
    if (farEdge) return {start + delta, length};
    return {start, length};
}

}  // namespace

QRect AnchoredRect(const QRect& designRect, TAnchors anchors, QSize designClient, QSize client) {
    const auto [left, width] =
        AnchoredSpan(designRect.left(), designRect.width(), (anchors & akLeft) != 0,
                     (anchors & akRight) != 0, client.width() - designClient.width());
    const auto [top, height] =
        AnchoredSpan(designRect.top(), designRect.height(), (anchors & akTop) != 0,
                     (anchors & akBottom) != 0, client.height() - designClient.height());
    return {left, top, width, height};
}

void TAnchorSet::Add(QWidget* control, const QRect& designRect, TAnchors anchors) {
    entries_.push_back({control, designRect, anchors});
    control->setGeometry(designRect);
}

void TAnchorSet::Apply(QSize client) const {
    for (const Entry& entry : entries_) {
        entry.control->setGeometry(
            AnchoredRect(entry.designRect, entry.anchors, designClient_, client));
    }
}

}  // namespace tavisto
