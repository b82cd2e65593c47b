// Reads a running top-level window as the Windows shell sees it, then asks it to maximize
// and to take a new size, as a player's system menu or a drag of its border would.
// Prints one "name value" line each, for tests/windows/window_check.py:
//   style, exstyle        the window's styles, in hex
//   sizeitem              1 when its system menu offers Size
//   client                its client area, width and height
//   maximized             whether it is then maximized, and its client area
//   resized               its client area after the new size
//
// Usage: window_styles TITLE
#include <cstdio>
#include <windows.h>

namespace {

SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

// A request is sent, so it has been handled when the call returns; what the window does
// in answer may come later, so the window is given five seconds to be back as it was.
void settle(HWND window, SIZE before) {
    for (int tries = 0; tries < 50; ++tries, Sleep(100)) {
        const SIZE now = clientSize(window);
        if (!IsZoomed(window) && now.cx == before.cx && now.cy == before.cy)
            return;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2)
        return 2;
    HWND window = nullptr;
    for (int tries = 0; tries < 100 && window == nullptr; ++tries, Sleep(100))
        window = FindWindowA(nullptr, argv[1]);
    if (window == nullptr)
        return 1;

    std::printf("style %08lx\n", static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)));
    std::printf("exstyle %08lx\n",
                static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    const UINT size = GetMenuState(GetSystemMenu(window, FALSE), SC_SIZE, MF_BYCOMMAND);
    std::printf("sizeitem %d\n", size != static_cast<UINT>(-1) && !(size & MF_GRAYED) ? 1 : 0);
    const SIZE client = clientSize(window);
    std::printf("client %ld %ld\n", client.cx, client.cy);

    SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    settle(window, client);
    const SIZE maximized = clientSize(window);
    std::printf("maximized %d %ld %ld\n", IsZoomed(window) ? 1 : 0, maximized.cx, maximized.cy);
    SetWindowPos(window, nullptr, 0, 0, 640, 720, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    settle(window, client);
    const SIZE resized = clientSize(window);
    std::printf("resized %ld %ld\n", resized.cx, resized.cy);
    return 0;
}
