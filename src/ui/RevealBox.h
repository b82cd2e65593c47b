#pragma once

#include <QKeySequence>
#include <QLineEdit>
#include <QList>

namespace korvanda {

// A single-line text box with the standard sunken edge. Key sequences that the window
// reserves for its menu commands reach the window even while the box has the focus,
// although a line edit would otherwise take them (cut, select all, backspace).
class RevealBox : public QLineEdit {
    Q_OBJECT

public:
    RevealBox(QWidget* parent, const QRect& geometry);

    void reserveShortcuts(QList<QKeySequence> sequences);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QKeySequence> reserved_;
};

} // namespace korvanda
