// bench_clicks SCENARIO [REPETITIONS]
//
// Plays one scenario on the real board window under the offscreen platform:
//   place  a palette click and a hole click that places a peg;
//   score  the hole click that fills the fourth column and scores the row;
//   paste  Ctrl+V of 10 MiB of text into the reveal box.
// A measured part ends when the repaint it causes is done, as a player would see it.
//
// After a warm-up the measured part runs a few times between CALLGRIND_START_INSTRUMENTATION
// and CALLGRIND_STOP_INSTRUMENTATION, each followed by CALLGRIND_DUMP_STATS, so that
// callgrind --instr-atstart=no writes one part per measured run and counts nothing else.
// Then it runs REPETITIONS times on the wall clock (0 skips that, as under callgrind) and
// the median is printed as "scenario=NAME repetitions=N median_us=T per_event_us=T/EVENTS".
#include "game/ClockRandom.h"
#include "ui/frmKorvanda.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <valgrind/callgrind.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Enough rounds for every picture to be converted and every code path to be paged in.
constexpr int WarmUpRounds = 3;
constexpr qsizetype PasteLength = 10 * 1024 * 1024;

class Bench {
public:
    Bench() : window_(std::make_unique<korvanda::ClockRandom>()) {
        window_.show();
        settle();
    }

    // A press and a release at the middle of the control.
    void click(const char* name) const {
        QWidget* target = control<QWidget>(name);
        const QPointF local = QRectF(target->rect()).center();
        const QPointF global = target->mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }

    void pasteKeys() const {
        QLineEdit* box = revealBox();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(box, &release);
    }

    void newGame() const { control<QAction>("mnuNew")->trigger(); }

    // Runs what the events left posted, the repaint above all.
    static void settle() { QCoreApplication::processEvents(); }

    const korvanda::GameState& state() const { return window_.game().state(); }
    QLineEdit* revealBox() const { return control<QLineEdit>("txtcheat"); }

private:
    template <typename T> T* control(const char* name) const {
        auto* found = window_.findChild<T*>(QLatin1String(name));
        if (found == nullptr)
            qFatal("bench_clicks: the window has no %s", name);
        return found;
    }

    korvanda::frmKorvanda window_;
};

struct Scenario {
    std::string_view name;
    // Clicks or key strokes in the measured part.
    int events;
    // Runs counted by callgrind: the secret, drawn anew each game, decides how many marks
    // a scored row shows, so a median of several is what a row costs.
    int instrumentedRuns;
    // Wall-clock runs by default: enough for a stable median in a few seconds.
    int repetitions;
    // Unmeasured: brings a fresh game to the moment before the measured part.
    void (*prepare)(Bench&);
    void (*measured)(Bench&);
    // The measured part did what it stands for; a figure of a no-op would mislead.
    bool (*tookEffect)(const Bench&);
};

constexpr std::array<Scenario, 3> Scenarios{{
    {"place", 2, 5, 2000, [](Bench& bench) { bench.newGame(); },
     [](Bench& bench) {
         bench.click("PicR");
         bench.click("Slot1(1)");
         Bench::settle();
     },
     [](const Bench& bench) { return bench.state().HoleFilled(1); }},
    {"score", 1, 15, 2000,
     [](Bench& bench) {
         bench.newGame();
         bench.click("PicR");
         for (const char* hole : {"Slot1(1)", "Slot2(1)", "Slot3(1)"})
             bench.click(hole);
     },
     [](Bench& bench) {
         bench.click("Slot4(1)");
         Bench::settle();
     },
     [](const Bench& bench) { return bench.state().CurrentRow == 2; }},
    {"paste", 1, 1, 30,
     [](Bench& bench) {
         static const QString huge(PasteLength, QLatin1Char('k'));
         QGuiApplication::clipboard()->setText(huge);
         bench.revealBox()->clear();
     },
     [](Bench& bench) {
         bench.pasteKeys();
         Bench::settle();
     },
     [](const Bench& bench) { return !bench.revealBox()->text().isEmpty(); }},
}};

double median(std::vector<double> values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

int usage() {
    std::fputs("usage: bench_clicks place|score|paste [REPETITIONS]\n", stderr);
    return EXIT_FAILURE;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || argc > 3)
        return usage();
    const auto scenario = std::find_if(Scenarios.begin(), Scenarios.end(), [&](const auto& s) {
        return s.name == std::string_view(argv[1]);
    });
    if (scenario == Scenarios.end())
        return usage();
    int repetitions = scenario->repetitions;
    if (argc == 3) {
        const std::string_view text(argv[2]);
        const auto [end, error] =
            std::from_chars(text.data(), text.data() + text.size(), repetitions);
        if (error != std::errc{} || end != text.data() + text.size())
            return usage();
    }

    // The figures are of the program's own work, not of a display server.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench bench;

    const auto run = [&](auto&& measure) {
        scenario->prepare(bench);
        Bench::settle();
        measure();
        if (!scenario->tookEffect(bench))
            qFatal("bench_clicks: %s had no effect", argv[1]);
    };
    for (int round = 0; round < WarmUpRounds; ++round)
        run([&] { scenario->measured(bench); });

    for (int i = 0; i < scenario->instrumentedRuns; ++i) {
        run([&] {
            CALLGRIND_START_INSTRUMENTATION;
            scenario->measured(bench);
            CALLGRIND_STOP_INSTRUMENTATION;
            CALLGRIND_DUMP_STATS;
        });
    }

    if (repetitions <= 0)
        return EXIT_SUCCESS;
    std::vector<double> microseconds;
    microseconds.reserve(static_cast<std::size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        run([&] {
            const auto start = Clock::now();
            scenario->measured(bench);
            microseconds.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        });
    }
    const double perScenario = median(std::move(microseconds));
    std::printf("scenario=%s repetitions=%d median_us=%.1f per_event_us=%.1f\n", argv[1],
                repetitions, perScenario, perScenario / scenario->events);
    return EXIT_SUCCESS;
}
