#include "BoardWindow.h"
#include "ui/Geometry.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <random>

using namespace korvanda;

// Plays the real window with random events and checks the rules after each one. The
// seed comes from KORVANDA_SEED (default 1); a failure names the seed and the event.
class RandomPlayTest : public QObject {
    Q_OBJECT

private:
    static constexpr int Events = 20000;

    std::unique_ptr<BoardWindow> board;
    std::mt19937 rng;
    const Picture* blankMark = nullptr;

    int uniform(int low, int high) { return std::uniform_int_distribution(low, high)(rng); }

    void clickAt(QPoint clientPoint) {
        const QPoint inWindow =
            board->window->centralWidget()->mapTo(board->window.get(), clientPoint);
        QTest::mouseClick(board->window->windowHandle(), Qt::LeftButton, {}, inWindow);
    }
    void clickOn(QWidget* control) {
        clickAt(control->geometry().topLeft() +
                QPoint(uniform(0, control->width() - 1), uniform(0, control->height() - 1)));
    }

    void newGame() {
        board->queueSecret({uniform(1, 4), uniform(1, 4), uniform(1, 4), uniform(1, 4)});
        board->window->findChild<QAction*>(QStringLiteral("mnuNew"))->trigger();
    }

    void openAndDismissABox() {
        QTimer::singleShot(0, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
        const char* name = uniform(0, 1) ? "mnuRules" : "mnuAbout";
        board->window->findChild<QAction*>(QLatin1String(name))->trigger();
    }

    void editTheRevealBox() {
        QLineEdit* box = board->revealBox();
        switch (uniform(0, 4)) {
        case 0:
            QTest::keyClicks(box, QLatin1String(frmKorvanda::RevealCode));
            break;
        case 1: {
            const QString letters = QStringLiteral("tiv3 TIVx\u00e9\u4e2d");
            // Key events with the character as text, as an input method would send them.
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown,
                                letters.mid(uniform(0, int(letters.size()) - 1), 1), {});
            break;
        }
        case 2:
            QTest::keyClick(box, Qt::Key_Backspace);
            break;
        case 3:
            box->selectAll();
            QGuiApplication::clipboard()->setText(
                uniform(0, 1) ? QLatin1String(frmKorvanda::RevealCode)
                              : QString(uniform(0, 5000), QChar(uniform(1, 0xd7ff))));
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            break;
        default:
            box->clear();
            break;
        }
    }

    void playOneEvent() {
        const int kind = uniform(0, 999);
        if (kind < 500)
            clickAt({uniform(0, geometry::ClientSize.width() - 1),
                     uniform(0, geometry::ClientSize.height() - 1)});
        else if (kind < 700)
            clickOn(board->palette(uniform(1, ColorCount)));
        else if (kind < 920)
            clickOn(board->hole(uniform(1, Columns), uniform(AnswerRow, GuessRows)));
        else if (kind < 994)
            editTheRevealBox();
        else if (kind < 997)
            newGame();
        else
            openAndDismissABox();
    }

    // The rules that hold between any two events; empty when they all hold.
    QString brokenRule() const {
        const GameState& s = board->state();
        for (int k = 1; k <= ColorCount; ++k)
            if (!board->arrow(k)->isHidden() != (code(s.SelectedColor) == k))
                return QStringLiteral("arrow %1 disagrees with the selected colour").arg(k);
        int filled = 0;
        for (int c = 1; c <= Columns; ++c)
            filled += s.HoleFilled(c) ? 1 : 0;
        if (filled == Columns)
            return QStringLiteral("all four columns flagged");
        if (s.CurrentRow != s.RowBase + 1 || s.CurrentRow < 1 || s.CurrentRow > GuessRows + 1)
            return QStringLiteral("row %1 with %2 rows scored").arg(s.CurrentRow).arg(s.RowBase);
        for (int row = 1; row <= GuessRows; ++row) {
            // Black, then white, then blank; rows not yet scored are blank.
            int stage = 0;
            for (int k = 0; k < BoxesPerRow; ++k) {
                const PictureBox* box = board->box((row - 1) * BoxesPerRow + k);
                const int kind = box->picture().get() == blankMark     ? 2
                                 : box->backColor() == QColor(0, 0, 0) ? 0
                                                                       : 1;
                if (kind < stage || (row > s.RowBase && kind != 2))
                    return QStringLiteral("marks of row %1 out of order").arg(row);
                stage = kind;
            }
        }
        for (int c = 1; c <= Columns; ++c) {
            if (board->hole(c, AnswerRow)->picture() !=
                board->window->pegPicture(code(s.SecretColors(c))))
                return QStringLiteral("answer hole %1 is not the secret").arg(c);
            if (s.HoleFilled(c) && board->hole(c, s.CurrentRow)->picture() !=
                                       board->window->pegPicture(code(s.GuessColors(c))))
                return QStringLiteral("column %1 does not show its colour").arg(c);
        }
        return {};
    }

private slots:
    void rulesHoldThroughRandomPlay() {
        const auto seed = qEnvironmentVariableIntValue("KORVANDA_SEED");
        rng.seed(seed ? static_cast<unsigned>(seed) : 1U);
        board = std::make_unique<BoardWindow>(std::array{1, 2, 3, 4});
        blankMark = board->box(0)->picture().get();
        board->window->show();
        QVERIFY(QTest::qWaitForWindowActive(board->window.get()));
        bool reachedTheEnd = false;
        for (int event = 1; event <= Events; ++event) {
            playOneEvent();
            reachedTheEnd = reachedTheEnd || board->state().CurrentRow > GuessRows;
            const QString broken = brokenRule();
            if (!broken.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, event %2: %3")
                                     .arg(seed ? seed : 1)
                                     .arg(event)
                                     .arg(broken)));
            if (!board->window->isVisible())
                QFAIL(qPrintable(QStringLiteral("seed %1, event %2: the window closed")
                                     .arg(seed ? seed : 1)
                                     .arg(event)));
        }
        QVERIFY2(reachedTheEnd, "no game went past its eighth row");
    }
};

QTEST_MAIN(RandomPlayTest)
#include "tst_randomplay.moc"
