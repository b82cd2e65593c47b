#include "BoardWindow.h"

#include <QProcess>
#include <QScreen>
#include <QWindow>

namespace {

constexpr int TitleBarPresses = 12;
constexpr int CompositorAnswerMs = 150;

// Twice the distance between a span's centre and the screen's; a span longer than the
// screen belongs at the screen's start instead, and the distance is measured from there.
int offCentre(int start, int length, int screenStart, int screenLength) {
    if (length > screenLength)
        return 2 * (start - screenStart);
    return 2 * start + length - (2 * screenStart + screenLength);
}

} // namespace

// The board window under a real window manager, started for the test by
// openbox_session.sh.
class WindowSystemTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        board_ = std::make_unique<BoardWindow>();
        window()->installEventFilter(this);
        window()->windowHandle()->installEventFilter(this);
        connect(window()->windowHandle(), &QWindow::windowStateChanged, this,
                [this](Qt::WindowState state) { states_.append(state); });
        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }
    void cleanup() {
        board_.reset();
        seenAt_.clear();
        states_.clear();
    }

    // Centred counting the frame, from the moment it appears; a frame larger than the
    // screen keeps the title bar and the menu bar on it.
    void theFrameAppearsCentred() {
        QVERIFY(
            QTest::qWaitFor([this] { return !window()->windowHandle()->frameMargins().isNull(); }));
        const QRect frame = window()->frameGeometry();
        const QRect screen = window()->screen()->availableGeometry();
        // Twice the offset is within one pixel of centred; at a fractional scale the
        // frame is known to one logical pixel only.
        const int allowed = window()->devicePixelRatio() == 1 ? 1 : 3;
        const QString where = QStringLiteral("frame %1,%2 %3x%4 on %5x%6")
                                  .arg(frame.left())
                                  .arg(frame.top())
                                  .arg(frame.width())
                                  .arg(frame.height())
                                  .arg(screen.width())
                                  .arg(screen.height());
        QVERIFY2(qAbs(offCentre(frame.left(), frame.width(), screen.left(), screen.width())) <=
                     allowed,
                 qPrintable(where));
        QVERIFY2(qAbs(offCentre(frame.top(), frame.height(), screen.top(), screen.height())) <=
                     allowed,
                 qPrintable(where));
        // No jump once it is seen.
        for (const QPoint& place : std::as_const(seenAt_))
            QCOMPARE(place, window()->geometry().topLeft());
    }

    // The window manager's own commands, sent as its keys and menus send them.
    void theWindowManagerCannotEnlargeTheWindow() {
        QVERIFY(
            QTest::qWaitFor([this] { return !window()->windowHandle()->frameMargins().isNull(); }));
        const QRect before = window()->frameGeometry();
        const QString id = QString::number(window()->winId());
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                                   {QStringLiteral("windowsize"), id, QStringLiteral("600"),
                                    QStringLiteral("600")}),
                 0);
        for (const char* state : {"add,maximized_vert,maximized_horz", "add,fullscreen"})
            QCOMPARE(QProcess::execute(QStringLiteral("wmctrl"),
                                       {QStringLiteral("-i"), QStringLiteral("-r"), id,
                                        QStringLiteral("-b"), QLatin1String(state)}),
                     0);
        // The window manager did make the window full screen, and then had to undo it.
        QVERIFY(QTest::qWaitFor([this] { return states_.contains(Qt::WindowFullScreen); }));
        QVERIFY(QTest::qWaitFor([&id] { return !netWmState(id).contains("FULLSCREEN"); }));
        QVERIFY(!netWmState(id).contains("MAXIMIZED"));
        QCOMPARE(window()->windowState(), Qt::WindowNoState);
        // A frame that never comes back fails with both geometries.
        if (!QTest::qWaitFor([this, before] { return window()->frameGeometry() == before; }))
            QCOMPARE(window()->frameGeometry(), before);
    }

    // On Wayland, Qt's own title bar asks for the maximized state as its maximize button
    // does. A compositor that gets a frame of another size than the maximized one ends the
    // connection, and with it the program; the wait lets it answer. Whether such a frame
    // reaches the compositor depends on timing, so the button is pressed many times.
    void theTitleBarCannotMaximizeTheWindow() {
        const QSize before = window()->size();
        QWindow* handle = window()->windowHandle();
        for (int press = 0; press < TitleBarPresses; ++press) {
            handle->setWindowStates(handle->windowStates() ^ Qt::WindowMaximized);
            QTest::qWait(CompositorAnswerMs);
            QCOMPARE(window()->windowState(), Qt::WindowNoState);
            QCOMPARE(window()->size(), before);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Where the window is whenever it is exposed, and as it moves while exposed. Before
        // that it is not seen: the window manager may frame it at the screen's corner first
        // and only then move the frame to its place.
        const auto* handle = qobject_cast<QWindow*>(watched);
        if (!handle)
            handle = static_cast<QWidget*>(watched)->windowHandle();
        if ((event->type() == QEvent::Move || event->type() == QEvent::Expose) && handle &&
            handle->isExposed())
            seenAt_.append(handle->position());
        return QObject::eventFilter(watched, event);
    }

private:
    korvanda::frmKorvanda* window() const { return board_->window.get(); }

    // The window's states as the window manager has recorded them.
    static QByteArray netWmState(const QString& id) {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")});
        xprop.waitForFinished();
        return xprop.readAllStandardOutput();
    }

    std::unique_ptr<BoardWindow> board_;
    QList<QPoint> seenAt_;
    QList<Qt::WindowState> states_;
};

QTEST_MAIN(WindowSystemTest)
#include "tst_windowsystem.moc"
