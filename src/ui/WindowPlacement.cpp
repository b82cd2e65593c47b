#include "WindowPlacement.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>

#ifdef KORVANDA_LINUX_DESKTOP
#include "LoadedLibrary.h"
#include "WaylandToplevel.h"

#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <xcb/xcb.h>
#endif

namespace korvanda {

namespace {

#ifdef KORVANDA_LINUX_DESKTOP

// A window manager answers within milliseconds; the limit only matters for one that
// claims to answer and never does.
constexpr int FrameAnswerLimitMs = 1000;
constexpr unsigned long FramePollIntervalMs = 2;

template <typename Reply> using XReply = std::unique_ptr<Reply, decltype(&std::free)>;

// The libxcb calls of the frame request, from the libxcb that Qt's X11 support has loaded.
struct Xcb {
    xcb_connection_t* connection;
    decltype(&xcb_intern_atom) internAtom;
    decltype(&xcb_intern_atom_reply) internAtomReply;
    decltype(&xcb_get_geometry) getGeometry;
    decltype(&xcb_get_geometry_reply) getGeometryReply;
    decltype(&xcb_get_property) getProperty;
    decltype(&xcb_get_property_reply) getPropertyReply;
    decltype(&xcb_get_property_value) propertyValue;
    decltype(&xcb_get_property_value_length) propertyValueLength;
    decltype(&xcb_send_event) sendEvent;
    decltype(&xcb_flush) flush;
};

std::optional<Xcb> xcbCalls(const LoadedLibrary& library, xcb_connection_t* connection) {
    const Xcb xcb{
        connection,
        library.function<decltype(&xcb_intern_atom)>("xcb_intern_atom"),
        library.function<decltype(&xcb_intern_atom_reply)>("xcb_intern_atom_reply"),
        library.function<decltype(&xcb_get_geometry)>("xcb_get_geometry"),
        library.function<decltype(&xcb_get_geometry_reply)>("xcb_get_geometry_reply"),
        library.function<decltype(&xcb_get_property)>("xcb_get_property"),
        library.function<decltype(&xcb_get_property_reply)>("xcb_get_property_reply"),
        library.function<decltype(&xcb_get_property_value)>("xcb_get_property_value"),
        library.function<decltype(&xcb_get_property_value_length)>("xcb_get_property_value_length"),
        library.function<decltype(&xcb_send_event)>("xcb_send_event"),
        library.function<decltype(&xcb_flush)>("xcb_flush"),
    };
    if (!xcb.internAtom || !xcb.internAtomReply || !xcb.getGeometry || !xcb.getGeometryReply ||
        !xcb.getProperty || !xcb.getPropertyReply || !xcb.propertyValue ||
        !xcb.propertyValueLength || !xcb.sendEvent || !xcb.flush)
        return std::nullopt;
    return xcb;
}

xcb_atom_t atom(const Xcb& xcb, std::string_view name) {
    const XReply<xcb_intern_atom_reply_t> reply(
        xcb.internAtomReply(
            xcb.connection,
            xcb.internAtom(xcb.connection, 0, static_cast<uint16_t>(name.size()), name.data()),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

XReply<xcb_get_property_reply_t> property(const Xcb& xcb, xcb_window_t window, xcb_atom_t name,
                                          uint32_t longs) {
    return {xcb.getPropertyReply(
                xcb.connection,
                xcb.getProperty(xcb.connection, 0, window, name, XCB_ATOM_ANY, 0, longs), nullptr),
            &std::free};
}

xcb_window_t rootOf(const Xcb& xcb, xcb_window_t window) {
    const XReply<xcb_get_geometry_reply_t> geometry(
        xcb.getGeometryReply(xcb.connection, xcb.getGeometry(xcb.connection, window), nullptr),
        &std::free);
    return geometry ? geometry->root : xcb_window_t{XCB_WINDOW_NONE};
}

bool supportedByWindowManager(const Xcb& xcb, xcb_window_t root, xcb_atom_t hint) {
    constexpr uint32_t MostHints = 1024;
    const auto supported = property(xcb, root, atom(xcb, "_NET_SUPPORTED"), MostHints);
    if (!supported || supported->format != 32)
        return false;
    const auto* hints = static_cast<const xcb_atom_t*>(xcb.propertyValue(supported.get()));
    const int count = xcb.propertyValueLength(supported.get()) / 4;
    return std::find(hints, hints + count, hint) != hints + count;
}

// The frame that an X11 window manager will put around the window, in device pixels,
// learnt before the window is mapped (_NET_REQUEST_FRAME_EXTENTS): the window then
// appears at its final place instead of jumping there once it has been framed.
QMargins x11FrameExtents(const QWindow* window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform offers the interface without a connection.
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    const LoadedLibrary library("libxcb.so.1");
    const std::optional<Xcb> calls = xcbCalls(library, connection);
    if (!calls)
        return {};
    const Xcb& xcb = *calls;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = rootOf(xcb, id);
    const xcb_atom_t request = atom(xcb, "_NET_REQUEST_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || !supportedByWindowManager(xcb, root, request))
        return {};

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb.sendEvent(connection, 0, root,
                  XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                  reinterpret_cast<const char*>(&message));
    xcb.flush(connection);

    const xcb_atom_t extents = atom(xcb, "_NET_FRAME_EXTENTS");
    constexpr uint32_t Sides = 4;
    const QDeadlineTimer limit(FrameAnswerLimitMs);
    while (!limit.hasExpired()) {
        const auto answer = property(xcb, id, extents, Sides);
        if (answer && answer->format == 32 && xcb.propertyValueLength(answer.get()) == Sides * 4) {
            const auto* side = static_cast<const uint32_t*>(xcb.propertyValue(answer.get()));
            // Left, right, top, bottom.
            return QMargins(static_cast<int>(side[0]), static_cast<int>(side[2]),
                            static_cast<int>(side[1]), static_cast<int>(side[3]));
        }
        QThread::msleep(FramePollIntervalMs);
    }
    return {};
}

#endif

// The frame around the window's client area, in the window's own pixels.
QMargins frameMargins(const QWindow* window) {
#ifdef KORVANDA_LINUX_DESKTOP
    if (const QMargins extents = x11FrameExtents(window); !extents.isNull()) {
        const qreal ratio = window->devicePixelRatio();
        return QMargins(qRound(extents.left() / ratio), qRound(extents.top() / ratio),
                        qRound(extents.right() / ratio), qRound(extents.bottom() / ratio));
    }
#endif
    // Where the toolkit knows the frame before the window is shown (Windows), it says so here.
    return window->frameMargins();
}

} // namespace

WindowPlacement::WindowPlacement(QWidget* window) : QObject(window), window_(window) {
    // The native window exists from here on: the window manager is asked about its frame,
    // and its state is watched.
    window->winId();
    QWindow* handle = window->windowHandle();
    centre();
#ifdef Q_OS_WASM
    // A page's screen is the browser's window, whose size the player changes (a phone
    // turned, a window resized): the window stays in its middle.
    if (QScreen* screen = handle->screen())
        connect(screen, &QScreen::availableGeometryChanged, this, &WindowPlacement::centre);
#endif
    connect(handle, &QWindow::windowStateChanged, this, &WindowPlacement::refuseEnlarging);
    connect(handle, &QWindow::widthChanged, this, &WindowPlacement::refuseEnlarging);
    connect(handle, &QWindow::heightChanged, this, &WindowPlacement::refuseEnlarging);
#ifdef KORVANDA_LINUX_DESKTOP
    handle->installEventFilter(this);
#endif
}

void WindowPlacement::centre() {
    QWindow* handle = window_->windowHandle();
    const QScreen* screen = handle->screen();
    if (!screen)
        return;
    const QMargins frame = frameMargins(handle);
    const QRect available = screen->availableGeometry();
    QRect outer = QRect(QPoint(), window_->size()).marginsAdded(frame);
    outer.moveCenter(available.center());
    // On a screen smaller than the frame the title bar and the menu bar stay on it.
    outer.moveTopLeft(
        QPoint(qMax(outer.left(), available.left()), qMax(outer.top(), available.top())));
    window_->setGeometry(
        QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), window_->size()));
}

// An exposed Wayland window has its toplevel and title bar, and paints next: the size
// hints set here go out with that frame.
bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
#ifdef KORVANDA_LINUX_DESKTOP
    if (event->type() == QEvent::Expose)
        wayland::holdSize(static_cast<QWindow*>(watched));
#endif
    return QObject::eventFilter(watched, event);
}

// Runs while a change of state or size is handled, so that the window system is asked to
// restore the window before the window paints again. A window manager may enlarge the
// window without a state (weston's, when a maximize and its undoing cross): then the size
// alone is asked back. Each change is answered with one request, so a window manager
// that keeps its own size is not asked in a loop.
void WindowPlacement::refuseEnlarging() {
    QWindow* handle = window_->windowHandle();
    const Qt::WindowStates states = handle->windowStates();
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        handle->setWindowStates(states & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
#ifdef KORVANDA_LINUX_DESKTOP
        wayland::withdrawEnlarging(handle);
#endif
    } else if (!(states & Qt::WindowMinimized) && handle->size() != window_->maximumSize())
        handle->resize(window_->maximumSize());
}

} // namespace korvanda
