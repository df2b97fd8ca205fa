#pragma once

#include <QDialog>

namespace tavisto {

// The viewer's only window: the Tavisto usage log in a grid.
class TformLogfile : public QDialog {
    Q_OBJECT

public:
    explicit TformLogfile(QWidget* parent = nullptr);
};

}  // namespace tavisto
