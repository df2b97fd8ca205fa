#pragma once

#include <QDialog>

namespace tavisto {

// The viewer's only window: the Tavisto usage log in a grid.
class TformLogfile : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 581;
    static constexpr int kClientHeight = 362;
    // The smallest size of the whole window, frame included.
    static constexpr int kMinimumOuterSize = 320;

    explicit TformLogfile(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Qt limits the client area, so the frame is taken off once the host has drawn it.
    void ApplyMinimumOuterSize();
};

}  // namespace tavisto
