#include "app/fLogfile.h"

namespace tavisto {

namespace {
constexpr int kClientWidth = 581;
constexpr int kClientHeight = 362;
constexpr int kMinimumOuterSize = 320;
}  // namespace

TformLogfile::TformLogfile(QWidget* parent) : QDialog(parent) {
    setObjectName("formLogfile");
    setWindowTitle("Tavisto Logile");
    resize(kClientWidth, kClientHeight);
    setMinimumSize(kMinimumOuterSize, kMinimumOuterSize);
}

}  // namespace tavisto
