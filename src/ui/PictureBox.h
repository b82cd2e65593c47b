#pragma once

#include "Picture.h"
#include "game/GameTypes.h"

#include <QColor>
#include <QWidget>

namespace korvanda {

// Shows a picture at the top-left corner of its inner area, at the picture's own size,
// clipped to the inner area; the back colour shows where the picture does not reach.
// Without a back colour the box is transparent (an image control).
class PictureBox : public QWidget {
    Q_OBJECT

public:
    enum class Frame { None, Sunken };

    PictureBox(QWidget* parent, const QRect& geometry, Frame frame, QColor backColor = {});

    const SharedPicture& picture() const { return picture_; }
    void setPicture(SharedPicture picture);

    QColor backColor() const { return backColor_; }
    void setBackColor(QColor color);

    // Raises the click, as a left-button press and release on the box do.
    void click();
    // Whether anything handles the box's click: only such a box reacts to a press.
    bool handlesClicks() const;

signals:
    // A left-button press and release on the box.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect innerRect() const;

    SharedPicture picture_;
    QColor backColor_;
    Frame frame_;
    bool pressed_ = false;
};

// The board's picture boxes as the window holds them.
// Column c's holes, rows 0 (answer) to 8.
using HoleArray = ColumnArray<ControlArray<PictureBox*, AnswerRow, GuessRows>>;
using MarkBoxArray = ControlArray<PictureBox*, 0, FeedbackBoxes - 1>;
// One per colour code: the palette pegs and their selection arrows.
using ColorBoxArray = ControlArray<PictureBox*, 1, ColorCount>;

} // namespace korvanda
