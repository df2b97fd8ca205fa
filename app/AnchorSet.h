#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace tavisto {

// The edges of its parent's client area that a control keeps its distance to.
using TAnchors = unsigned;
inline constexpr TAnchors akLeft = 1u << 0;
inline constexpr TAnchors akTop = 1u << 1;
inline constexpr TAnchors akRight = 1u << 2;
inline constexpr TAnchors akBottom = 1u << 3;

// Where a control stored at designRect in a client area of designClient goes in a client area
// of client: anchored to both edges of an axis it stretches, anchored to the far edge only it
// moves, otherwise it stays. A size never goes below 0.
QRect AnchoredRect(const QRect& designRect, TAnchors anchors, QSize designClient, QSize client);

// The controls of one window with their stored rectangles and anchors.
class TAnchorSet {
public:
    explicit TAnchorSet(QSize designClient) : designClient_(designClient) {}

    // Places control at designRect (for the design client size) and keeps it anchored.
    void Add(QWidget* control, const QRect& designRect, TAnchors anchors);

    // Moves every control to its place in a client area of client.
    void Apply(QSize client) const;

private:
    struct Entry {
        QWidget* control;
        QRect designRect;
        TAnchors anchors;
    };

    QSize designClient_;
    std::vector<Entry> entries_;
};

}  // namespace tavisto
