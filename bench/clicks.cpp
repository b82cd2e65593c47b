// The clicks a player waits for, on the real board window under the offscreen platform:
// a palette click and a hole click that place a peg, the hole click that scores a row, and
// Ctrl+V of 10 MiB of text into the reveal box. A measured part ends when the repaint it
// posted is done, as a player would see it. Every run starts from a new game.
//
//   QT_QPA_PLATFORM=offscreen bench_clicks -callgrind -median N FUNCTION  instructions
//   QT_QPA_PLATFORM=offscreen bench_clicks -median N FUNCTION             nanoseconds
#include "game/ClockRandom.h"
#include "ui/frmKorvanda.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <valgrind/valgrind.h>

using namespace korvanda;

class ClicksBench : public QObject {
    Q_OBJECT

public:
    ClicksBench() : window_(std::make_unique<ClockRandom>()) {}

private slots:
    void initTestCase() {
        window_.show();
        QGuiApplication::clipboard()->setText(QString(PasteLength, QLatin1Char('k')));
    }

    void init() {
        control<QAction>("mnuNew")->trigger();
        control<QLineEdit>("txtcheat")->clear();
        QCoreApplication::processEvents();
    }

    void place() {
        measure([this] {
            click("PicR");
            click("Slot1(1)");
        });
        QVERIFY(window_.game().state().HoleFilled(1));
    }

    void score() {
        click("PicR");
        for (const char* hole : {"Slot1(1)", "Slot2(1)", "Slot3(1)"})
            click(hole);
        QCoreApplication::processEvents();
        measure([this] { click("Slot4(1)"); });
        QCOMPARE(window_.game().state().CurrentRow, 2);
    }

    void paste() {
        auto* box = control<QLineEdit>("txtcheat");
        measure([box] { QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier); });
        QVERIFY(!box->text().isEmpty());
    }

private:
    static constexpr qsizetype PasteLength = 10 * 1024 * 1024;

    // Runs the part and the repaint it posted. Under valgrind (-callgrind) QTest counts
    // the part's instructions; otherwise its wall time is the result, to the nanosecond,
    // since QTest's own wall clock counts whole milliseconds.
    template <typename Part> static void measure(Part part) {
        if (RUNNING_ON_VALGRIND) {
            QBENCHMARK {
                part();
                QCoreApplication::processEvents();
            }
            return;
        }
        QElapsedTimer clock;
        clock.start();
        part();
        QCoreApplication::processEvents();
        QTest::setBenchmarkResult(static_cast<qreal>(clock.nsecsElapsed()),
                                  QTest::WalltimeNanoseconds);
    }

    void click(const char* name) { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }

    template <typename T> T* control(const char* name) const {
        auto* found = window_.findChild<T*>(QLatin1String(name));
        if (found == nullptr)
            qFatal("bench_clicks: the window has no %s", name);
        return found;
    }

    frmKorvanda window_;
};

QTEST_MAIN(ClicksBench)
#include "clicks.moc"
