#include "app/GridNavigator.h"

#include "app/LogGrid.h"

namespace tavisto {

TNavigatorButton::TNavigatorButton(TNavigateRole role, const QString& hint, QWidget* parent)
    : QToolButton(parent), role_(role) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIcon(NavigatorGlyph(role));
    setIconSize(QSize(16, 16));
    setToolTip(hint);
    setFixedSize(kWidth, kHeight);
}

TGridNavigator::TGridNavigator(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    int left = 0;
    for (TNavigatorButton* button : {&btnLast, &btnFirst, &btnPrior, &btnNext}) {
        button->move(left, 0);
        left += TNavigatorButton::kWidth;
        connect(button, &QToolButton::clicked, this, [this, button] { Navigate(button->Role()); });
    }
    btnLast.setObjectName("btnLast");
    btnFirst.setObjectName("btnFirst");
    btnPrior.setObjectName("btnPrior");
    btnNext.setObjectName("btnNext");
}

void TGridNavigator::Navigate(TNavigateRole role) {
    if (grid_ == nullptr) return;
    switch (role) {
        case TNavigateRole::First:
            grid_->GoFirst();
            break;
        case TNavigateRole::Prior:
            grid_->GoPrior();
            break;
        case TNavigateRole::Next:
            grid_->GoNext();
            break;
        case TNavigateRole::Last:
            grid_->GoLast();
            break;
    }
}

}  // namespace tavisto
