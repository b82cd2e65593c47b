// bench_mapwait HOLD_SECONDS PROGRAM [ARGUMENT...]
//
// Starts PROGRAM on an X server where no other client maps windows and waits for the map
// of its first top-level window. Prints "MICROSECONDS PID": the time from just before the
// fork to the map, and PROGRAM's process. After HOLD_SECONDS it ends PROGRAM with SIGTERM
// and prints its peak resident set size in KiB, as the kernel reports it to the parent.
// PROGRAM's standard output goes to standard error, so standard output carries only figures.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

// Far longer than any start, even under valgrind on a loaded machine.
constexpr std::chrono::minutes MapTimeout{2};
constexpr int PollMilliseconds = 20;
constexpr std::uint8_t SentByClient = 0x80;

int fail(const char* why) {
    std::fprintf(stderr, "bench_mapwait: %s\n", why);
    return EXIT_FAILURE;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3)
        return fail("usage: bench_mapwait HOLD_SECONDS PROGRAM [ARGUMENT...]");
    const std::chrono::duration<double> hold(std::strtod(argv[1], nullptr));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0)
        return fail("cannot connect to the X display");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    // The server confirms the selection before the program starts, so no map is missed.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* error = xcb_request_check(
            connection,
            xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(error);
        return fail("cannot watch the root window");
    }

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    std::optional<Clock::time_point> mapped;
    pollfd readable{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (!mapped) {
        if (waitpid(pid, nullptr, WNOHANG) != 0)
            return fail("the program ended before its window was mapped");
        if (Clock::now() - start > MapTimeout || xcb_connection_has_error(connection) != 0) {
            kill(pid, SIGKILL);
            return fail("no window was mapped");
        }
        poll(&readable, 1, PollMilliseconds);
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const auto at = Clock::now();
            // Menus and tooltips are override-redirect windows; a main window never is.
            if ((event->response_type & ~SentByClient) == XCB_MAP_NOTIFY && !mapped &&
                reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect == 0)
                mapped = at;
            std::free(event);
        }
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(*mapped - start);
    std::printf("%lld %d\n", static_cast<long long>(elapsed.count()), pid);
    std::fflush(stdout);

    std::this_thread::sleep_for(hold);
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    xcb_disconnect(connection);
    if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) && status != 0)
        return fail("the program failed");
    std::printf("%ld\n", usage.ru_maxrss);
    return EXIT_SUCCESS;
}
