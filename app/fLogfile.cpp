#include "app/fLogfile.h"

#include <algorithm>

namespace tavisto {

TformLogfile::TformLogfile(QWidget* parent) : QDialog(parent) {
    setObjectName("formLogfile");
    setWindowTitle("Tavisto Logile");
    // A top-level dialog without a parent is centred on the screen when first shown.
    resize(kClientWidth, kClientHeight);
    ApplyMinimumOuterSize();
}

void TformLogfile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyMinimumOuterSize();
}

void TformLogfile::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    ApplyMinimumOuterSize();
}

void TformLogfile::ApplyMinimumOuterSize() {
    const QSize frame = frameGeometry().size() - geometry().size();
    setMinimumSize(std::max(0, kMinimumOuterSize - frame.width()),
                   std::max(0, kMinimumOuterSize - frame.height()));
}

}  // namespace tavisto
