#pragma once

#include <QAccessible>
#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <emscripten/val.h>
#include <vector>

class QAccessibleEvent;
class QAccessibleInterface;
class QWidget;

namespace korvanda {

// A copy of the program's windows in the page, for the browser's screen reader, which
// finds nothing in the picture that Qt paints. It is made from the accessibility
// interfaces that the widgets give (names, roles, states, press actions, the focus) and is
// brought up to date on the update events that they send: each control is a page element
// of its kind (a button, a text field, a text, a picture, a menu, a dialog), in the order
// of the window's tab chain, named as on the desktop. Pressing an element presses the
// control, as a click does; the browser's focus and the game's go together, both ways.
// The copy is out of sight and takes no pointer events.
class WebAccessibility : public QObject {
public:
    // Starts the copy in the page's element with the id board-copy; without one, it does
    // nothing. Called before the first window is made.
    explicit WebAccessibility(QObject* parent);
    ~WebAccessibility() override;
    WebAccessibility(const WebAccessibility&) = delete;
    WebAccessibility& operator=(const WebAccessibility&) = delete;

    // An event in the copy: a click, a key, a change of focus or of a text field's text.
    static void pageEvent(emscripten::val event);
    // Tells what a press did, politely: a screen reader speaks it when it is done.
    static void tell(const QString& told);

private:
    enum class Kind { Skip, Flatten, Window, Dialog, Button, Field, Text, Image, Menu };

    // A control to show, with its place in the window's tab chain and, for a menu, its items.
    struct Item {
        QAccessibleInterface* iface;
        Kind kind;
        int order;
        std::vector<Item> items;
    };

    // A control's element and what was last written into it.
    struct Node {
        emscripten::val element = emscripten::val::undefined();
        Kind kind = Kind::Skip;
        QString name;
        QKeySequence shortcut;
        QKeySequence mnemonic;
        bool seen = false;
    };

    static void accessibilityUpdate(QAccessibleEvent* event);
    static Kind kindOf(QAccessibleInterface& iface);

    void schedule();
    void sync();
    void syncWindow(QAccessibleInterface& window);
    void collect(QAccessibleInterface& parent, const QRect& bounds,
                 const QHash<const QWidget*, int>& chain, int order, std::vector<Item>& out);
    void place(emscripten::val parent, const std::vector<Item>& items);
    // The control's element, made when it is first shown, with its name brought up to date.
    emscripten::val element(QAccessibleInterface& iface, Kind kind);
    void rename(Node& node, QAccessibleInterface& iface);
    void focusMoved();
    void followFocus();
    void clear();

    void press(QAccessibleInterface& iface);
    void focusIn(QAccessibleInterface& iface, emscripten::val holder);
    void keyDown(emscripten::val event, emscripten::val holder, QAccessibleInterface& iface);

    emscripten::val container_;
    emscripten::val announcements_ = emscripten::val::undefined();
    // The element that had the focus when a dialog opened, which has it again when it closes.
    emscripten::val beforeDialog_ = emscripten::val::undefined();
    QHash<QAccessible::Id, Node> nodes_;
    QPointer<QWidget> focus_;
    bool focusMoved_ = false;
    // Whether the browser's focus is to follow the game's last move of the focus.
    bool following_ = false;
    QTimer pending_;
};

} // namespace korvanda
