#pragma once

#include <QObject>
#include <QWindow>

class QWidget;

namespace korvanda {

// Holds a fixed-size top-level window where it belongs: its frame centred on the screen
// from the moment it appears, and never maximized or full screen, whoever asks for it
// (the window manager's menu or keys, a title bar that the toolkit draws itself).
class WindowPlacement : public QObject {
    Q_OBJECT

public:
    // Places the window before it is first shown; the placement object is the window's child.
    explicit WindowPlacement(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Centres the window's frame on its screen.
    void centre();
    void refuseEnlarging();

    QWidget* window_;
};

} // namespace korvanda
