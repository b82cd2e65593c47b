#include "WaylandToplevel.h"

#include "LoadedLibrary.h"
#include "xdg-shell-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

namespace korvanda::wayland {

namespace {

constexpr char WaylandClient[] = "libwayland-client.so.0";

// The window's xdg toplevel, null unless Qt's Wayland platform drives the window.
wl_proxy* toplevel(QWindow* window) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native ? static_cast<wl_proxy*>(
                        native->nativeResourceForWindow(QByteArrayLiteral("xdg_toplevel"), window))
                  : nullptr;
}

// Sends an xdg toplevel request, as the inline functions of the protocol header do, through
// the libwayland-client that Qt's Wayland platform has loaded.
template <typename... Arguments>
void send(const LoadedLibrary& client, wl_proxy* proxy, uint32_t opcode, Arguments... arguments) {
    const auto marshal =
        client.function<decltype(&wl_proxy_marshal_flags)>("wl_proxy_marshal_flags");
    const auto version = client.function<decltype(&wl_proxy_get_version)>("wl_proxy_get_version");
    if (marshal && version)
        marshal(proxy, opcode, nullptr, version(proxy), 0, arguments...);
}

} // namespace

void withdrawEnlarging(QWindow* window) {
    if (wl_proxy* surface = toplevel(window)) {
        const LoadedLibrary client(WaylandClient);
        send(client, surface, XDG_TOPLEVEL_UNSET_MAXIMIZED);
        send(client, surface, XDG_TOPLEVEL_UNSET_FULLSCREEN);
    }
}

void holdSize(QWindow* window) {
    if (wl_proxy* surface = toplevel(window)) {
        // The compositor applies these with the next frame; the frame margins are the
        // title bar and borders that Qt draws, in the same logical pixels as the size.
        const QSize size = window->frameGeometry().size();
        const LoadedLibrary client(WaylandClient);
        send(client, surface, XDG_TOPLEVEL_SET_MIN_SIZE, size.width(), size.height());
        send(client, surface, XDG_TOPLEVEL_SET_MAX_SIZE, size.width(), size.height());
    }
}

} // namespace korvanda::wayland
