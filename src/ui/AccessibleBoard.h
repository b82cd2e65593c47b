#pragma once

#include "PictureBox.h"

#include <QAccessible>
#include <QPointer>
#include <QString>

class QLabel;
class QWidget;

namespace korvanda {

// What an assistive tool finds on the board. The holes, the marks and the palette are tab
// stops after the reveal box, in the order of play; every control is named after what it
// shows; and the control that the player pressed tells what the press changed. Names are
// kept up to date only while a tool listens, and given at once when one starts.
class AccessibleBoard : private QAccessible::ActivationObserver {
public:
    // The window's controls, which outlive this object.
    struct Controls {
        const HoleArray& holes;
        const MarkBoxArray& marks;
        const ColorBoxArray& palette;
        const ColorBoxArray& arrows;
        QLabel* message;
        // The picture boxes follow this control in the tab order.
        QWidget* lastTabStop;
    };
    // The templates that tell what a hole or a mark shows.
    struct Pictures {
        const ControlArray<SharedPicture, 1, ColorCount>& pegs;
        const SharedPicture& blackMark;
        const SharedPicture& whiteMark;
    };

    AccessibleBoard(const Controls& controls, const Pictures& pictures);
    ~AccessibleBoard() override;
    AccessibleBoard(const AccessibleBoard&) = delete;
    AccessibleBoard& operator=(const AccessibleBoard&) = delete;

    // Renames what changed. Given the control that the player pressed, sets its description
    // to every change that the press made elsewhere (to the holes, the marks and the
    // message) and has a screen reader speak the press's changes; the marks of scoredRow,
    // when the press scored one, are told even when the row earned none.
    void update(QWidget* pressed = nullptr, int scoredRow = 0);

private:
    void accessibilityActiveChanged(bool active) override;

    PictureBox* hole(int place, int row) const;
    QString holeName(int place, int row) const;
    // A row's marks: how many black and how many white.
    QString marksCount(int row) const;

    Controls controls_;
    Pictures pictures_;
    bool active_ = false;
    QPointer<QWidget> described_;
};

} // namespace korvanda
