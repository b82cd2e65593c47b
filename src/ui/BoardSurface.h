#pragma once

#include <QWidget>

namespace korvanda {

// The client area of the board window: its back colour and the lines that frame the
// eight guess rows. Every control of the board is a child of it.
class BoardSurface : public QWidget {
    Q_OBJECT

public:
    explicit BoardSurface(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace korvanda
