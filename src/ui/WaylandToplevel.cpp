#include "WaylandToplevel.h"

#include "xdg-shell-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

namespace korvanda::wayland {

namespace {

xdg_toplevel* toplevel(QWindow* window) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native ? static_cast<xdg_toplevel*>(
                        native->nativeResourceForWindow(QByteArrayLiteral("xdg_toplevel"), window))
                  : nullptr;
}

} // namespace

void withdrawEnlarging(QWindow* window) {
    if (xdg_toplevel* surface = toplevel(window)) {
        xdg_toplevel_unset_maximized(surface);
        xdg_toplevel_unset_fullscreen(surface);
    }
}

void holdSize(QWindow* window) {
    if (xdg_toplevel* surface = toplevel(window)) {
        // The compositor applies these with the next frame; the frame margins are the
        // title bar and borders that Qt draws, in the same logical pixels as the size.
        const QSize size = window->frameGeometry().size();
        xdg_toplevel_set_min_size(surface, size.width(), size.height());
        xdg_toplevel_set_max_size(surface, size.width(), size.height());
    }
}

} // namespace korvanda::wayland
