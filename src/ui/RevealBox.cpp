#include "RevealBox.h"

#include "Geometry.h"
#include "SunkenFrame.h"

#include <QKeyEvent>
#include <QPainter>
#include <utility>

namespace korvanda {

RevealBox::RevealBox(QWidget* parent, const QRect& geometry) : QLineEdit(parent) {
    setGeometry(geometry);
    setFrame(false);
    constexpr int inset = geometry::FrameWidth + 1;
    setTextMargins(inset, 0, inset, 0);
}

void RevealBox::reserveShortcuts(QList<QKeySequence> sequences) {
    reserved_ = std::move(sequences);
}

bool RevealBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        // Left unaccepted, the override lets the window's shortcut fire.
        if (reserved_.contains(pressed))
            return true;
    }
    return QLineEdit::event(event);
}

void RevealBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    paintSunkenFrame(painter, rect());
}

} // namespace korvanda
