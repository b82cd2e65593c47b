#pragma once

class QWindow;

// Speaks to a Wayland compositor about a fixed-size window's xdg toplevel where Qt's own
// Wayland support falls short: it sends a change of state only where it differs from the
// state the compositor last configured, and its size hints leave out the title bar that
// it draws itself. Each call does nothing unless the window is an xdg toplevel.
namespace korvanda::wayland {

// Withdraws a maximize or full-screen request in the same message batch as the request,
// before the compositor configures the window to a size it cannot take.
void withdrawEnlarging(QWindow* window);

// Sets the smallest and largest size to the window's whole geometry, title bar included.
void holdSize(QWindow* window);

} // namespace korvanda::wayland
