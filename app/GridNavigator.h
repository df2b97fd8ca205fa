#pragma once

#include <QToolButton>
#include <QWidget>

#include "app/Glyphs.h"

namespace tavisto {

class TLogGrid;

// A flat, glyph-only button of the navigator. Like a graphic button it never takes the focus.
class TNavigatorButton : public QToolButton {
    Q_OBJECT

public:
    static constexpr int kWidth = 28;
    static constexpr int kHeight = 25;

    TNavigatorButton(TNavigateRole role, const QString& hint, QWidget* parent);
    TNavigateRole Role() const { return role_; }

private:
    TNavigateRole role_;
};

// The toolbar of four buttons that moves a grid's current row, laid out Last, First, Prior,
// Next from the left, each 28 x 25 pixels.
class TGridNavigator : public QWidget {
    Q_OBJECT

public:
    explicit TGridNavigator(QWidget* parent = nullptr);

    // The grid the buttons move; none makes them do nothing.
    void SetGrid(TLogGrid* grid) { grid_ = grid; }

    TNavigatorButton btnLast{TNavigateRole::Last, QStringLiteral("Last Item"), this};
    TNavigatorButton btnFirst{TNavigateRole::First, QStringLiteral("First Item"), this};
    TNavigatorButton btnPrior{TNavigateRole::Prior, QStringLiteral("Prior Item"), this};
    TNavigatorButton btnNext{TNavigateRole::Next, QStringLiteral("Next Item"), this};

private:
    void Navigate(TNavigateRole role);

    TLogGrid* grid_ = nullptr;
};

}  // namespace tavisto
