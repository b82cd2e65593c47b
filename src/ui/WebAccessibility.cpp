#include "WebAccessibility.h"

#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <emscripten/bind.h>
#include <iterator>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <string>

namespace korvanda {

using emscripten::val;

namespace {

WebAccessibility* instance = nullptr;

val document() {
    return val::global("document");
}

val text(const QString& string) {
    return val(string.toStdString());
}

QString string(const val& value) {
    return QString::fromStdString(value.as<std::string>());
}

// How the page names a key sequence (aria-keyshortcuts).
QString pageKeys(const QKeySequence& keys) {
    return keys.toString(QKeySequence::PortableText)
        .replace(QStringLiteral("Ctrl+"), QStringLiteral("Control+"));
}

// A control whose window a modal box blocks takes no click, and so no press.
bool blocked(QAccessibleInterface& iface) {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && iface.window() != modal->windowHandle();
}

} // namespace

WebAccessibility::WebAccessibility(QObject* parent)
    : QObject(parent), container_(document().call<val>("getElementById", val("board-copy"))) {
    if (container_.isNull())
        return;
    instance = this;
    // Nothing on Qt 6.4's page platform switches Qt's accessibility on, and without it the
    // widgets send no update events.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QAccessible::installUpdateHandler(&WebAccessibility::accessibilityUpdate);

    announcements_ = document().call<val>("createElement", val("div"));
    announcements_.call<void>("setAttribute", val("aria-live"), val("polite"));
    container_.call<void>("append", announcements_);
    const val listener = val::module_property("korvandaBoardCopyEvent");
    for (const char* type : {"click", "keydown", "focusin", "input"})
        container_.call<void>("addEventListener", val(type), listener);

    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &WebAccessibility::sync);
    // The page shows the end when the last window closes: the copy goes with the windows.
    connect(qApp, &QGuiApplication::lastWindowClosed, this, &WebAccessibility::clear);
}

WebAccessibility::~WebAccessibility() {
    if (instance != this)
        return;
    QAccessible::installUpdateHandler(nullptr);
    instance = nullptr;
    clear();
}

void WebAccessibility::accessibilityUpdate(QAccessibleEvent* event) {
    if (!instance)
        return;
    if (event->type() == QAccessible::Focus)
        instance->focusMoved();
    instance->schedule();
}

// Many controls change in one step of the game: the copy follows once, when it is done.
void WebAccessibility::schedule() {
    if (!pending_.isActive())
        pending_.start();
}

WebAccessibility::Kind WebAccessibility::kindOf(QAccessibleInterface& iface) {
    const bool named = !iface.text(QAccessible::Name).isEmpty();
    switch (iface.role()) {
    case QAccessible::Window:
        return Kind::Window;
    case QAccessible::Dialog:
    case QAccessible::AlertMessage:
        return Kind::Dialog;
    case QAccessible::Button:
        return Kind::Button;
    case QAccessible::MenuItem:
        return iface.childCount() > 0 ? Kind::Menu : Kind::Button;
    case QAccessible::EditableText:
        return Kind::Field;
    // A text or a picture without a name is decoration.
    case QAccessible::StaticText:
        return named ? Kind::Text : Kind::Skip;
    case QAccessible::Graphic:
        return named ? Kind::Image : Kind::Skip;
    default:
        return Kind::Flatten;
    }
}

void WebAccessibility::sync() {
    for (Node& each : nodes_)
        each.seen = false;
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    QWidget* board = nullptr;
    for (int i = 0; i < application->childCount(); ++i) {
        QAccessibleInterface* window = application->child(i);
        if (!window || window->state().invisible)
            continue;
        syncWindow(*window);
        if (!board && kindOf(*window) != Kind::Dialog)
            board = qobject_cast<QWidget*>(window->object());
    }
    bool dialogClosed = false;
    for (auto it = nodes_.begin(); it != nodes_.end();) {
        if (it->seen) {
            ++it;
            continue;
        }
        dialogClosed = dialogClosed || it->kind == Kind::Dialog;
        it->element.call<void>("remove");
        it = nodes_.erase(it);
    }

    // The focus goes back to where it was before the box opened, and the game's focus goes
    // back to the window's control that had it.
    if (dialogClosed && !beforeDialog_.isUndefined() && beforeDialog_["isConnected"].as<bool>()) {
        beforeDialog_.call<void>("focus");
        beforeDialog_ = val::undefined();
        focus_ = board ? board->focusWidget() : nullptr;
        focusMoved_ = false;
        return;
    }
    if (focusMoved_)
        followFocus();
}

void WebAccessibility::syncWindow(QAccessibleInterface& window) {
    const Kind kind = kindOf(window);
    const bool opened = !nodes_.contains(QAccessible::uniqueId(&window));
    if (opened && kind == Kind::Dialog)
        beforeDialog_ = document()["activeElement"];
    val section = element(window, kind);
    if (opened)
        container_.call<void>("insertBefore", section, announcements_);

    QHash<const QWidget*, int> chain;
    if (auto* top = qobject_cast<QWidget*>(window.object())) {
        QWidget* widget = top;
        do {
            chain.insert(widget, static_cast<int>(chain.size()));
            widget = widget->nextInFocusChain();
        } while (widget && widget != top);
    }
    std::vector<Item> items;
    collect(window, window.rect(), chain, 0, items);
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.order < b.order; });
    place(section, items);

    // A dialog is described by its first text, its message.
    const auto message = std::find_if(items.begin(), items.end(),
                                      [](const Item& item) { return item.kind == Kind::Text; });
    if (kind == Kind::Dialog && message != items.end())
        section.call<void>("setAttribute", val("aria-describedby"),
                           element(*message->iface, Kind::Text)["id"]);
}

// The controls in the window, by their place in its tab chain. Containers add nothing of
// their own; hidden controls and those outside the window are not there for a player.
void WebAccessibility::collect(QAccessibleInterface& parent, const QRect& bounds,
                               const QHash<const QWidget*, int>& chain, int order,
                               std::vector<Item>& out) {
    for (int i = 0; i < parent.childCount(); ++i) {
        QAccessibleInterface* child = parent.child(i);
        if (!child || !child->isValid())
            continue;
        int at = order;
        // A menu is a hidden window of its own until it pops up; its items are always there.
        if (const auto* widget = qobject_cast<QWidget*>(child->object());
            widget && child->role() != QAccessible::PopupMenu) {
            if (child->state().invisible || !bounds.intersects(child->rect()))
                continue;
            at = chain.value(widget, order);
        }
        const Kind kind = kindOf(*child);
        if (kind == Kind::Skip)
            continue;
        if (kind == Kind::Flatten || kind == Kind::Window || kind == Kind::Dialog) {
            collect(*child, bounds, chain, at, out);
            continue;
        }
        Item item{child, kind, at, {}};
        if (kind == Kind::Menu)
            collect(*child, bounds, chain, at, item.items);
        out.push_back(std::move(item));
    }
}

// Puts the items' elements into parent in their order, moving only those out of place.
// Elements that are no longer there go first: left in place, they would push each element
// after them out of place, and a moved element loses the browser's focus, as the pressed
// peg did when the arrow of the peg before it went.
void WebAccessibility::place(val parent, const std::vector<Item>& items) {
    std::vector<val> wanted;
    wanted.reserve(items.size());
    for (const Item& item : items)
        wanted.push_back(element(*item.iface, item.kind));
    const val children = val::global("Array").call<val>("from", parent["children"]);
    for (int i = 0, count = children["length"].as<int>(); i < count; ++i) {
        const val child = children[i];
        if (std::none_of(wanted.begin(), wanted.end(),
                         [&child](const val& each) { return each.strictlyEquals(child); }))
            child.call<void>("remove");
    }
    int index = 0;
    for (const Item& item : items) {
        const val& shown = wanted[static_cast<std::size_t>(index)];
        const val current = parent["children"][index];
        if (!current.strictlyEquals(shown))
            parent.call<void>("insertBefore", shown, current.isUndefined() ? val::null() : current);
        if (item.kind == Kind::Menu)
            place(shown, item.items);
        ++index;
    }
}

val WebAccessibility::element(QAccessibleInterface& iface, Kind kind) {
    const QAccessible::Id id = QAccessible::uniqueId(&iface);
    auto found = nodes_.find(id);
    if (found == nodes_.end()) {
        // A message box is a dialog, not an alert dialog, which a screen reader reads as it
        // appears and again as the focus enters it.
        static constexpr struct {
            Kind kind;
            const char* tag;
            const char* role;
        } Elements[] = {{Kind::Window, "section", nullptr}, {Kind::Dialog, "div", "dialog"},
                        {Kind::Button, "button", nullptr},  {Kind::Field, "input", nullptr},
                        {Kind::Text, "p", nullptr},         {Kind::Image, "span", "img"},
                        {Kind::Menu, "div", "group"}};
        const auto* shape = std::find_if(std::begin(Elements), std::end(Elements),
                                         [kind](const auto& each) { return each.kind == kind; });
        val made = document().call<val>("createElement", val(shape->tag));
        if (shape->role)
            made.call<void>("setAttribute", val("role"), val(shape->role));
        made.set("id", val("board-copy-" + std::to_string(id)));
        made["dataset"].set("node", val(std::to_string(id)));
        Node created{made, kind, {}, {}, {}};
        switch (kind) {
        case Kind::Button:
            made.set("type", val("button"));
            break;
        case Kind::Field:
            made.set("type", val("text"));
            made.set("autocomplete", val("off"));
            made.set("spellcheck", false);
            break;
        case Kind::Image:
            if (iface.state().focusable)
                made.set("tabIndex", 0);
            break;
        default:
            break;
        }
        // The menus' shortcuts and access keys, and each item's access key inside its menu.
        if (kind == Kind::Button || kind == Kind::Menu) {
            created.shortcut = QKeySequence::fromString(iface.text(QAccessible::Accelerator),
                                                        QKeySequence::PortableText);
            if (!created.shortcut.isEmpty())
                made.call<void>("setAttribute", val("aria-keyshortcuts"),
                                text(pageKeys(created.shortcut)));
            if (const auto* action = qobject_cast<QAction*>(iface.object()))
                created.mnemonic = QKeySequence::mnemonic(action->text());
        }
        found = nodes_.insert(id, created);
    }
    found->seen = true;
    rename(*found, iface);
    return found->element;
}

void WebAccessibility::rename(Node& shown, QAccessibleInterface& iface) {
    if (shown.kind == Kind::Field) {
        const QString value = iface.text(QAccessible::Value);
        if (string(shown.element["value"]) != value)
            shown.element.set("value", text(value));
    }
    const QString name = iface.text(QAccessible::Name).simplified();
    if (name == shown.name)
        return;
    shown.name = name;
    if (shown.kind == Kind::Button || shown.kind == Kind::Text)
        shown.element.set("textContent", text(name));
    else
        shown.element.call<void>("setAttribute", val("aria-label"), text(name));
}

// The browser's focus goes where the game's went, after a key, a press, a box that opened,
// or a click while the copy has the focus. A click on the board otherwise leaves the
// browser's focus where the click put it, on the board.
void WebAccessibility::focusMoved() {
    focusMoved_ = true;
    following_ = container_.call<bool>("contains", document()["activeElement"]) ||
                 QGuiApplication::mouseButtons() == Qt::NoButton;
}

void WebAccessibility::followFocus() {
    focusMoved_ = false;
    QWidget* widget = QApplication::focusWidget();
    if (widget == focus_)
        return;
    focus_ = widget;
    QAccessibleInterface* iface = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    const auto shown = iface ? nodes_.constFind(QAccessible::uniqueId(iface)) : nodes_.cend();
    if (following_ && shown != nodes_.cend() &&
        !shown->element.strictlyEquals(document()["activeElement"]))
        shown->element.call<void>("focus");
}

void WebAccessibility::clear() {
    pending_.stop();
    nodes_.clear();
    beforeDialog_ = val::undefined();
    container_.call<void>("replaceChildren");
}

void WebAccessibility::pageEvent(val event) {
    if (!instance)
        return;
    const val holder = event["target"].call<val>("closest", val("[data-node]"));
    if (holder.isNull())
        return;
    QAccessibleInterface* iface =
        QAccessible::accessibleInterface(string(holder["dataset"]["node"]).toUInt());
    if (!iface || !iface->isValid())
        return;
    const std::string type = event["type"].as<std::string>();
    if (type == "click")
        instance->press(*iface);
    else if (type == "focusin")
        instance->focusIn(*iface, holder);
    else if (type == "input" && !blocked(*iface))
        iface->setText(QAccessible::Value, string(holder["value"]));
    else if (type == "keydown")
        instance->keyDown(event, holder, *iface);
}

// The press action, the very click of the control.
void WebAccessibility::press(QAccessibleInterface& iface) {
    QAccessibleActionInterface* actions = iface.actionInterface();
    const QString action = QAccessibleActionInterface::pressAction();
    if (!blocked(iface) && actions && actions->actionNames().contains(action))
        actions->doAction(action);
}

// Firefox leaves the page's caret in the copy where the focus entered it, and when an
// element is placed before the caret it tells the screen reader that the caret moved in the
// text field there, which then takes the screen reader away from the focused control. The
// caret goes with the focus.
void WebAccessibility::focusIn(QAccessibleInterface& iface, val holder) {
    const val selection = val::global("window").call<val>("getSelection");
    if (holder["tagName"].as<std::string>() != "INPUT" && !selection["anchorNode"].isNull() &&
        container_.call<bool>("contains", selection["anchorNode"]))
        selection.call<void>("removeAllRanges");
    auto* widget = qobject_cast<QWidget*>(iface.object());
    if (!widget || blocked(iface) || !iface.state().focusable || widget->hasFocus())
        return;
    focus_ = widget;
    widget->setFocus(Qt::TabFocusReason);
}

// An open box keeps the focus, as on the desktop: Tab does not leave it. The rest of the
// page stays in the copy, neither inert nor hidden by a modal dialog: either would take away
// the control that a screen reader is on before it hears of the focus's move into the box,
// and it would then say nothing of the box (Orca does so).
//
// Enter presses a button as it goes down, as on the desktop, whether or not the browser
// would make a click of it. Escape goes to the control that has the game's focus, which
// closes a box as on the desktop. A menu's shortcut presses its item and its access key
// opens it; inside a menu, an item's access key presses the item.
void WebAccessibility::keyDown(val event, val holder, QAccessibleInterface& iface) {
    const QString key = string(event["key"]);
    if (key == QLatin1String("Tab") && QApplication::activeModalWidget()) {
        event.call<void>("preventDefault");
        return;
    }
    if (key == QLatin1String("Enter")) {
        const auto shown = nodes_.constFind(QAccessible::uniqueId(&iface));
        if (shown != nodes_.cend() && shown->kind == Kind::Button) {
            event.call<void>("preventDefault");
            press(iface);
        }
        return;
    }
    if (key == QLatin1String("Escape")) {
        if (QWidget* target = QApplication::focusWidget()) {
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent escape(type, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(target, &escape);
            }
        }
        return;
    }
    if (key.size() != 1)
        return;
    Qt::KeyboardModifiers modifiers;
    for (const auto& [flag, modifier] :
         {std::pair{"ctrlKey", Qt::ControlModifier}, std::pair{"altKey", Qt::AltModifier},
          std::pair{"metaKey", Qt::MetaModifier}, std::pair{"shiftKey", Qt::ShiftModifier}})
        if (event[flag].as<bool>())
            modifiers |= modifier;
    const auto letter = static_cast<Qt::Key>(key.at(0).toUpper().unicode());
    const bool inMenu = modifiers == Qt::NoModifier;
    if (inMenu) {
        const val group = holder["parentElement"]["dataset"]["node"];
        const auto menu =
            group.isUndefined() ? nodes_.cend() : nodes_.constFind(string(group).toUInt());
        if (menu == nodes_.cend() || menu->kind != Kind::Menu)
            return;
    }
    const QKeySequence pressed(
        QKeyCombination(inMenu ? Qt::KeyboardModifiers(Qt::AltModifier) : modifiers, letter));
    for (auto it = nodes_.cbegin(); it != nodes_.cend(); ++it) {
        const bool match =
            inMenu ? it->mnemonic == pressed &&
                         it->element["parentElement"].strictlyEquals(holder["parentElement"])
                   : it->shortcut == pressed;
        QAccessibleInterface* command = QAccessible::accessibleInterface(it.key());
        if (!match || !command || blocked(*command))
            continue;
        event.call<void>("preventDefault");
        if (it->kind == Kind::Menu)
            it->element["firstElementChild"].call<void>("focus");
        else
            press(*command);
        return;
    }
}

void WebAccessibility::tell(const QString& told) {
    if (!instance)
        return;
    val line = document().call<val>("createElement", val("p"));
    line.set("textContent", text(told));
    instance->announcements_.call<void>("replaceChildren", line);
}

EMSCRIPTEN_BINDINGS(korvanda_board_copy) {
    emscripten::function("korvandaBoardCopyEvent", &WebAccessibility::pageEvent);
}

} // namespace korvanda
