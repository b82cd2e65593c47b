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

void RevealBox::focusInEvent(QFocusEvent* event) {
    // Tabbed into, a line edit selects its text, which reports a move of the caret before
    // Qt reports the focus; Orca takes that move for the focus and then says nothing of the
    // box. An empty box has nothing to select: it takes the focus as by any other reason.
    if (text().isEmpty() &&
        (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)) {
        QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&plain);
        return;
    }
    QLineEdit::focusInEvent(event);
}

void RevealBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    paintSunkenFrame(painter, rect());
}

} // namespace korvanda
