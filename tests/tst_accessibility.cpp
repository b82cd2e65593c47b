#include "BoardWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QStringList>

using namespace korvanda;

namespace {

QAccessibleInterface* face(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}
QString name(QWidget* widget) {
    return face(widget)->text(QAccessible::Name);
}
QStringList actions(QWidget* widget) {
    return face(widget)->actionInterface()->actionNames();
}

// The offscreen platform has no accessibility bus and raises no accessibility events; a
// tool's start is simulated, and the tests read what it would find. The events themselves
// are heard on the real bus, by atspi_play.py.
void startTool() {
    QAccessible::setActive(true);
}

// Counts the mouse button events that reach the application.
class NoMouse : public QObject {
public:
    NoMouse() { qApp->installEventFilter(this); }
    ~NoMouse() override { qApp->removeEventFilter(this); }
    NoMouse(const NoMouse&) = delete;
    NoMouse& operator=(const NoMouse&) = delete;
    int events = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
            type == QEvent::MouseButtonDblClick)
            ++events;
        return false;
    }
};

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    // The secret, left to right, is blue, green, yellow, red: column 1 is the rightmost.
    void aWholeGameIsWonByPressActionsAlone() {
        struct Step {
            const char* press;
            const char* control;
            const char* name;
            const char* told;
        };
        static constexpr Step steps[] = {
            {"Slot1(1)", "Slot1(1)", "Row 1, hole 4: empty", ""},
            {"PicR", "PicR", "Red peg, selected", ""},
            {"Slot1(1)", "Slot1(1)", "Row 1, hole 4: red", ""},
            {"Slot2(5)", "Slot2(5)", "Row 5, hole 3: empty", "Row 1, hole 3: red"},
            {"PicY", "PicR", "Red peg", ""},
            {"Slot3(1)", "Slot3(1)", "Row 1, hole 2: yellow", ""},
            {"Slot4(1)", "Picture1(3)", "Row 1, box 4: 1 black, 1 white",
             "Row 1: 1 black, 1 white"},
            {"PicB", "PicB", "Blue peg, selected", ""},
            {"Slot4(1)", "Slot4(2)", "Row 2, hole 1: blue", "Row 2, hole 1: blue"},
            {"PicG", "PicG", "Green peg, selected", ""},
            {"Slot3(2)", "Slot3(2)", "Row 2, hole 2: green", ""},
            {"PicY", "PicY", "Yellow peg, selected", ""},
            {"Slot2(2)", "Slot2(2)", "Row 2, hole 3: yellow", ""},
            {"PicR", "PicR", "Red peg, selected", ""},
            {"Slot1(2)", "lblMessage", "You guessed the pattern!!!",
             "Row 2: 4 black, 0 white; You guessed the pattern!!!; "
             "Answer, hole 1: blue; Answer, hole 2: green; Answer, hole 3: yellow; "
             "Answer, hole 4: red"},
        };
        BoardWindow board;
        startTool();
        const NoMouse noMouse;
        for (const Step& step : steps) {
            const auto label = QLatin1String(step.press);
            QWidget* pressed = board.control<QWidget>(label);
            QCOMPARE(actions(pressed), QStringList{QAccessibleActionInterface::pressAction()});
            face(pressed)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(name(board.control<QWidget>(QLatin1String(step.control))),
                     QLatin1String(step.name));
            const QString told = QLatin1String(step.told);
            QCOMPARE(face(pressed)->text(QAccessible::Description), told);
            if (board.answerHidden())
                for (int c = 1; c <= Columns; ++c)
                    QVERIFY(name(board.hole(c, AnswerRow)).endsWith(QLatin1String(": hidden")));
        }
        QVERIFY(board.answerShown());
        QCOMPARE(board.state().CurrentRow, 3);
        QCOMPARE(noMouse.events, 0);
    }

    void tabReachesEveryHoleAndPegSilently_data() {
        QTest::addColumn<bool>("answerShown");
        QTest::newRow("answer hidden") << false;
        QTest::newRow("answer shown") << true;
    }
    void tabReachesEveryHoleAndPegSilently() {
        QFETCH(bool, answerShown);
        BoardWindow board;
        startTool();
        if (answerShown)
            board.revealBox()->setText(QLatin1String(frmKorvanda::RevealCode));
        // With a colour chosen, a key taken for a press would place a peg.
        BoardWindow::click(board.palette(1));
        board.window->show();
        QVERIFY(QTest::qWaitForWindowActive(board.window.get()));
        const QImage before = board.client();

        QList<QWidget*> order{board.revealBox()};
        for (int code = 1; code <= ColorCount; ++code)
            order.append(board.palette(code));
        for (int row = 1; row <= GuessRows; ++row) {
            for (int c = Columns; c >= 1; --c)
                order.append(board.hole(c, row));
            for (int k = 0; k < BoxesPerRow; ++k)
                order.append(board.box((row - 1) * BoxesPerRow + k));
        }
        for (int c = Columns; answerShown && c >= 1; --c)
            order.append(board.hole(c, AnswerRow));
        order.append(board.control<QWidget>(QStringLiteral("Command1")));

        for (QWidget* stop : std::as_const(order)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), stop);
            QVERIFY(face(stop)->state().focused);
            QVERIFY(!name(stop).isEmpty());
            if (stop == board.revealBox())
                continue;
            for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_B})
                QTest::keyClick(stop, key);
        }
        // The keys placed no peg and chose no colour, and the focus showed nowhere.
        QCOMPARE(board.state().SelectedColor, Color::Red);
        QCOMPARE(name(board.hole(1, 1)), QStringLiteral("Row 1, hole 4: empty"));
        QCOMPARE(board.client(), before);
    }

    void onlyPegsAndHolesOfferAPress_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("answerShown");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<bool>("pressable");
        const auto row = [](const char* label, const char* control, bool answerShown,
                            QAccessible::Role role, bool pressable) {
            QTest::newRow(label) << QString::fromLatin1(control) << answerShown << role
                                 << pressable;
        };
        row("palette peg", "PicG", false, QAccessible::Button, true);
        row("guess hole", "Slot2(7)", false, QAccessible::Button, true);
        row("hidden answer hole", "Slot3(0)", false, QAccessible::Button, false);
        row("shown answer hole", "Slot3(0)", true, QAccessible::Button, true);
        row("feedback box", "Picture1(5)", false, QAccessible::Graphic, false);
        row("selection arrow", "imgInd(2)", false, QAccessible::Graphic, false);
        row("figure", "Image1", false, QAccessible::Graphic, false);
        row("message", "lblMessage", false, QAccessible::StaticText, false);
        row("answer label", "lblAnswer", true, QAccessible::StaticText, false);
    }
    void onlyPegsAndHolesOfferAPress() {
        QFETCH(QString, control);
        QFETCH(bool, answerShown);
        QFETCH(QAccessible::Role, role);
        QFETCH(bool, pressable);
        BoardWindow board;
        if (answerShown)
            board.revealBox()->setText(QLatin1String(frmKorvanda::RevealCode));
        QWidget* widget = board.control<QWidget>(control);
        QCOMPARE(face(widget)->role(), role);
        QCOMPARE(actions(widget).isEmpty(), !pressable);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
