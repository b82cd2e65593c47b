// bench_mapwait [--hold SECONDS] TITLE COMMAND [ARGUMENT...]
//
// Starts COMMAND and waits until a top-level window titled TITLE, owned by COMMAND or one
// of its descendants, is mapped. Prints one line "MICROSECONDS PID": the time from just
// before the fork to the map, and the process that owns the window. After SECONDS (0 by
// default) it ends that process with SIGTERM and waits for COMMAND to finish.
//
// COMMAND's standard output goes to standard error, so standard output carries only the
// figures. Exit status 0 means the window was mapped and COMMAND has finished.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <span>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

// Far longer than any start, even of a debug build on a loaded machine.
constexpr std::chrono::seconds MapTimeout{60};
// A program that has not ended this long after SIGTERM is killed.
constexpr std::chrono::seconds EndTimeout{10};
constexpr std::chrono::milliseconds Tick{20};
// Property lengths are asked in 32-bit units; no title comes near 4 KiB.
constexpr std::uint32_t TitleUnits = 1024;
// Deeper than any window manager's frame: the client window sits one or two levels
// below the window that the root sees mapped.
constexpr int FrameDepth = 3;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

class Display {
public:
    explicit Display(xcb_connection_t* connection)
        : connection_(connection), netWmName_(atom("_NET_WM_NAME")),
          netWmPid_(atom("_NET_WM_PID")) {}

    // The window, or a window inside it that a window manager has framed, with the title.
    std::optional<xcb_window_t> findTitled(xcb_window_t window, std::string_view title,
                                           int depth = FrameDepth) const {
        if (hasTitle(window, title))
            return window;
        if (depth == 0)
            return std::nullopt;
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
        if (!tree)
            return std::nullopt;
        const std::span children(
            xcb_query_tree_children(tree.get()),
            static_cast<std::size_t>(xcb_query_tree_children_length(tree.get())));
        for (const xcb_window_t child : children)
            if (const auto found = findTitled(child, title, depth - 1))
                return found;
        return std::nullopt;
    }

    // The process that says it owns the window, if it says so.
    std::optional<pid_t> owner(xcb_window_t window) const {
        const auto reply = property(window, netWmPid_, 1);
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
            return std::nullopt;
        return static_cast<pid_t>(
            *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())));
    }

private:
    xcb_atom_t atom(std::string_view name) const {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    Reply<xcb_get_property_reply_t> property(xcb_window_t window, xcb_atom_t name,
                                             std::uint32_t units) const {
        return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, units),
            nullptr));
    }

    // Toolkits set the UTF-8 title, older ones only the ICCCM one; either may match.
    bool hasTitle(xcb_window_t window, std::string_view title) const {
        for (const xcb_atom_t name : {netWmName_, xcb_atom_t{XCB_ATOM_WM_NAME}}) {
            const auto reply = property(window, name, TitleUnits);
            if (!reply || reply->format != 8)
                continue;
            const std::string_view value(
                static_cast<const char*>(xcb_get_property_value(reply.get())),
                static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
            if (value == title)
                return true;
        }
        return false;
    }

    xcb_connection_t* connection_;
    xcb_atom_t netWmName_;
    xcb_atom_t netWmPid_;
};

std::optional<pid_t> parentOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return std::nullopt;
    // "pid (name) state ppid ...": the name may hold blanks and parentheses.
    const auto nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 4 >= line.size())
        return std::nullopt;
    const char* first = line.data() + nameEnd + 4;
    pid_t parent = 0;
    if (std::from_chars(first, line.data() + line.size(), parent).ec != std::errc{})
        return std::nullopt;
    return parent;
}

// Windows of programs that this one did not start must not stop the clock.
bool descendsFrom(pid_t pid, pid_t ancestor) {
    for (std::optional<pid_t> p = pid; p && *p > 1; p = parentOf(*p))
        if (*p == ancestor)
            return true;
    return false;
}

class Command {
public:
    explicit Command(char** argv) {
        pid_ = fork();
        if (pid_ == 0) {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            execvp(argv[0], argv);
            std::perror(argv[0]);
            _exit(127);
        }
        if (pid_ < 0) {
            std::perror("fork");
            std::exit(EXIT_FAILURE);
        }
    }

    pid_t pid() const { return pid_; }

    bool finished() {
        if (!finished_ && waitpid(pid_, nullptr, WNOHANG) == pid_)
            finished_ = true;
        return finished_;
    }

    void waitUntil(Clock::time_point deadline) {
        while (!finished() && Clock::now() < deadline)
            std::this_thread::sleep_for(Tick);
    }

    // Ends the command by ending the owner of its window, which may be a process that
    // COMMAND started and waits for.
    void end(pid_t owner) {
        if (!finished())
            kill(owner, SIGTERM);
        waitUntil(Clock::now() + EndTimeout);
        if (!finished()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            finished_ = true;
        }
    }

private:
    pid_t pid_ = -1;
    bool finished_ = false;
};

int usage() {
    std::fputs("usage: bench_mapwait [--hold SECONDS] TITLE COMMAND [ARGUMENT...]\n", stderr);
    return EXIT_FAILURE;
}

} // namespace

int main(int argc, char* argv[]) {
    std::span args(argv + 1, static_cast<std::size_t>(argc - 1));
    double holdSeconds = 0;
    if (args.size() >= 2 && std::string_view(args[0]) == "--hold") {
        const std::string_view text(args[1]);
        if (std::from_chars(text.data(), text.data() + text.size(), holdSeconds).ec !=
                std::errc{} ||
            holdSeconds < 0)
            return usage();
        args = args.subspan(2);
    }
    if (args.size() < 2)
        return usage();
    const std::string_view title(args[0]);
    // argv ends with a null pointer, so its tail is a command line of its own.
    char** commandLine = args.subspan(1).data();

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("bench_mapwait: cannot connect to the X display\n", stderr);
        return EXIT_FAILURE;
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const Display display(connection);

    // The server has confirmed the selection before the command starts, so no map is missed.
    const std::uint32_t eventMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (const Reply<xcb_generic_error_t> error(xcb_request_check(
            connection,
            xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &eventMask)));
        error) {
        std::fputs("bench_mapwait: cannot watch the root window\n", stderr);
        return EXIT_FAILURE;
    }

    const auto start = Clock::now();
    Command command(commandLine);

    std::optional<Clock::time_point> mappedAt;
    pid_t owner = command.pid();
    pollfd connectionReadable{xcb_get_file_descriptor(connection), POLLIN, 0};
    const auto tickMilliseconds = static_cast<int>(Tick.count());
    while (!mappedAt) {
        if (command.finished()) {
            std::fputs("bench_mapwait: the command ended before its window was mapped\n", stderr);
            return EXIT_FAILURE;
        }
        if (Clock::now() - start > MapTimeout || xcb_connection_has_error(connection) != 0) {
            std::fputs("bench_mapwait: no window was mapped with that title\n", stderr);
            command.end(command.pid());
            return EXIT_FAILURE;
        }
        poll(&connectionReadable, 1, tickMilliseconds);
        while (const Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
            // Read before the title is looked up: the look-up takes round trips.
            const auto at = Clock::now();
            constexpr std::uint8_t SentByClient = 0x80;
            if ((event->response_type & ~SentByClient) != XCB_MAP_NOTIFY)
                continue;
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
            const auto window = display.findTitled(map->window, title);
            if (!window)
                continue;
            const pid_t claimed = display.owner(*window).value_or(command.pid());
            if (!descendsFrom(claimed, command.pid()))
                continue;
            owner = claimed;
            mappedAt = at;
            break;
        }
    }

    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(*mappedAt - start);
    std::printf("%lld %d\n", static_cast<long long>(elapsed.count()), owner);
    std::fflush(stdout);

    command.waitUntil(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(holdSeconds)));
    command.end(owner);
    xcb_disconnect(connection);
    return EXIT_SUCCESS;
}
