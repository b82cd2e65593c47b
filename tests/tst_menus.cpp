#include "BoardWindow.h"
#include "game/Game.h"
#include "ui/HelpTexts.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>
#include <functional>

using namespace korvanda;

namespace {

// What a modal message box showed before it was dismissed.
struct SeenBox {
    bool seen = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    QString okText;
    bool boardTookAClick = false;
    bool linesFit = false;
};

// Arms a check of the next modal box, which then is dismissed with OK.
void expectBox(SeenBox& seen, const BoardWindow& board) {
    QTimer::singleShot(0, [&seen, &board] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.seen = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = static_cast<int>(box->buttons().size());
        seen.okText = box->buttons().value(0)->text();
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        seen.linesFit = label != nullptr;
        for (const QString& line : seen.text.split(QLatin1Char('\n')))
            seen.linesFit = seen.linesFit && label->fontMetrics().horizontalAdvance(line) <=
                                                 label->contentsRect().width();
        const int row = board.state().CurrentRow;
        const Color selected = board.state().SelectedColor;
        // Through the window system, where a modal box blocks input to the board.
        QWindow* window = board.window->windowHandle();
        for (QWidget* target : std::array<QWidget*, 2>{board.palette(4), board.hole(4, 1)}) {
            QTest::mouseClick(window, Qt::LeftButton, {},
                              target->mapTo(board.window.get(), target->rect().center()));
            // And through a screen reader's press.
            QAccessible::queryAccessibleInterface(target)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        }
        seen.boardTookAClick = board.state().SelectedColor != selected ||
                               board.state().CurrentRow != row || board.state().HoleFilled(4);
        box->button(QMessageBox::Ok)->click();
    });
}

QAction* action(const BoardWindow& board, const char* name) {
    return board.window->findChild<QAction*>(QLatin1String(name));
}

QString shown(const char* text) {
    return QString::fromLatin1(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private slots:
    void theMenuBarHoldsFileAndHelp() {
        BoardWindow board;
        const QList<QAction*> menus = board.window->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Help"));
        const QList<QAction*> file = menus[0]->menu()->actions();
        const QList<QAction*> help = menus[1]->menu()->actions();
        QCOMPARE(file.size(), 2);
        QCOMPARE(help.size(), 2);
        const std::array<std::pair<QAction*, QString>, 4> items{{
            {file[0], QStringLiteral("&New Game")},
            {file[1], QStringLiteral("E&xit")},
            {help[0], QStringLiteral("&How to Play Korvanda")},
            {help[1], QStringLiteral("&About Korvanda")},
        }};
        const std::array<QString, 4> shortcuts{QStringLiteral("Ctrl+N"), QStringLiteral("Ctrl+X"),
                                               QStringLiteral("Ctrl+H"), QStringLiteral("Ctrl+A")};
        for (std::size_t i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i].first->text(), items[i].second);
            QCOMPARE(items[i].first->shortcut().toString(), shortcuts[i]);
            QVERIFY(items[i].first->isEnabled() && items[i].first->isVisible());
            QVERIFY(!items[i].first->isCheckable() && !items[i].first->isSeparator());
            QVERIFY(!items[i].first->menu());
        }
    }

    void theClientAreaStaysBelowTheMenuBar() {
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.window.get()));
        QCOMPARE(board.window->centralWidget()->size(), QSize(261, 438));
        QCOMPARE(board.window->centralWidget()->y(), board.window->menuBar()->height());
    }

    void accessKeysReachEveryItem_data() {
        QTest::addColumn<Qt::Key>("menu");
        QTest::addColumn<Qt::Key>("item");
        QTest::addColumn<QString>("action");
        QTest::newRow("File, New Game") << Qt::Key_F << Qt::Key_N << QStringLiteral("mnuNew");
        QTest::newRow("File, Exit") << Qt::Key_F << Qt::Key_X << QStringLiteral("mnuExit");
        QTest::newRow("Help, How to Play") << Qt::Key_H << Qt::Key_H << QStringLiteral("mnuRules");
        QTest::newRow("Help, About") << Qt::Key_H << Qt::Key_A << QStringLiteral("mnuAbout");
    }
    void accessKeysReachEveryItem() {
        QFETCH(Qt::Key, menu);
        QFETCH(Qt::Key, item);
        QFETCH(QString, action);
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowActive(board.window.get()));
        QAction* target = board.window->findChild<QAction*>(action);
        // Each item's work is checked elsewhere; here only that the keys reach it.
        target->disconnect();
        QSignalSpy triggered(target, &QAction::triggered);
        QTest::keyClick(board.window.get(), menu, Qt::AltModifier);
        QVERIFY(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
        QTest::keyClick(QApplication::activePopupWidget(), item);
        QCOMPARE(triggered.size(), 1);
    }

    void shortcutsWorkFromAnyFocus_data() {
        QTest::addColumn<bool>("inRevealBox");
        QTest::newRow("focus on Command1") << false;
        QTest::newRow("focus in the reveal box") << true;
    }
    void shortcutsWorkFromAnyFocus() {
        QFETCH(bool, inRevealBox);
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowActive(board.window.get()));
        if (inRevealBox) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClicks(board.revealBox(), QStringLiteral("abc"));
        }
        QWidget* focus = QApplication::focusWidget();
        QCOMPARE(focus == board.revealBox(), inRevealBox);

        BoardWindow::click(board.palette(3));
        BoardWindow::click(board.hole(1, 1));
        board.queueSecret({4, 3, 2, 1});
        QTest::keyClick(focus, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(board.state().SelectedColor, Color::None);
        QCOMPARE(board.hole(4, AnswerRow)->picture(), board.window->pegPicture(1));

        const std::array<std::pair<Qt::Key, QString>, 2> boxes{
            {{Qt::Key_H, QStringLiteral("How to Play...")},
             {Qt::Key_A, QStringLiteral("About...")}}};
        for (const auto& [key, title] : boxes) {
            SeenBox seen;
            expectBox(seen, board);
            QTest::keyClick(focus, key, Qt::ControlModifier);
            QVERIFY(seen.seen);
            QCOMPARE(seen.title, title);
            // The offscreen platform has no window manager to give the focus back.
            board.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(board.window.get()));
            QCOMPARE(QApplication::focusWidget(), focus);
        }

        // The line edit took none of the keys for itself.
        QCOMPARE(board.revealBox()->text(), inRevealBox ? QStringLiteral("abc") : QString());

        QTest::keyClick(focus, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!board.window->isVisible());
        QCOMPARE(board.revealBox()->text(), inRevealBox ? QStringLiteral("abc") : QString());
    }

    void theBoxesShowTheirTexts_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("How to Play")
            << QStringLiteral("mnuRules") << QStringLiteral("How to Play...")
            << shown(help::RulesText) << int(QMessageBox::Information);
        QTest::newRow("About") << QStringLiteral("mnuAbout") << QStringLiteral("About...")
                               << shown(help::AboutText) << int(QMessageBox::NoIcon);
    }
    void theBoxesShowTheirTexts() {
        QFETCH(QString, action);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.window.get()));
        BoardWindow::click(board.palette(2));
        BoardWindow::click(board.hole(1, 1));
        SeenBox seen;
        expectBox(seen, board);
        board.window->findChild<QAction*>(action)->trigger();
        QVERIFY(seen.seen);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.text, text);
        QCOMPARE(int(seen.icon), icon);
        QCOMPARE(seen.buttons, 1);
        QCOMPARE(seen.okText, QStringLiteral("OK"));
        QVERIFY(seen.linesFit);
        QVERIFY(!seen.boardTookAClick);
        // The half-filled row and the colour are as they were.
        QCOMPARE(board.state().SelectedColor, Color::Yellow);
        QVERIFY(board.state().HoleFilled(1));
        QCOMPARE(board.hole(1, 1)->picture(), board.window->pegPicture(2));
        QVERIFY(!board.arrow(2)->isHidden());
    }

    void theTextsAreExact() {
        const QString rules = QString::fromLatin1(help::RulesText);
        const QStringList lines = rules.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines[3], QString());
        QCOMPARE(lines[8], QString());
        QCOMPARE(rules.count(QLatin1Char('\r')), 15);
        QCOMPARE(rules.count(QLatin1Char('\n')), 15);
        QVERIFY(!rules.endsWith(QLatin1Char('\n')));
        QCOMPARE(lines[0],
                 QStringLiteral("Korvanda is a game based on logic.  The object of the game is"));
        QCOMPARE(lines[11],
                 QStringLiteral("unchanged.  A black box means one of your guesses is both the"));
        QCOMPARE(lines[15], QStringLiteral("the holes."));
        QCOMPARE(QString::fromLatin1(help::AboutText),
                 QStringLiteral("This program was created by:\r\n\r\n"));
    }

#ifdef KORVANDA_FACE_DIR
    // The page's faces keep only some of their glyphs: every character of every text that
    // the window, its menus, its boxes and the reveal box's own menu can show is among
    // them, and so is each character that a Latin keyboard types into the reveal box.
    void thePageFacesHoldEveryCharacterShown() {
        BoardWindow board;
        QStringList texts{board.window->windowTitle(), shown(help::RulesTitle),
                          shown(help::RulesText),      shown(help::AboutTitle),
                          shown(help::AboutText),      QStringLiteral("OK")};
        for (const auto* label : board.window->findChildren<QLabel*>())
            texts << label->text();
        for (const auto* button : board.window->findChildren<QAbstractButton*>())
            texts << button->text();
        std::unique_ptr<QMenu> edit(board.window->findChild<QLineEdit*>(QStringLiteral("txtcheat"))
                                        ->createStandardContextMenu());
        QList<QAction*> actions = board.window->findChildren<QAction*>() + edit->actions();
        for (const auto* action : std::as_const(actions))
            texts << action->text() << action->shortcut().toString(QKeySequence::NativeText);
        QString typed;
        for (char16_t c = 0x20; c <= 0x17f; ++c)
            if (c < 0x7f || c >= 0xa0)
                typed += QChar(c);
        texts << typed;
        QStringList bold;
        for (std::string_view message : {Game::StartMessage, Game::WinMessage, Game::LossMessage})
            bold << QString::fromLatin1(message.data(), qsizetype(message.size()));
        texts << bold;
        const auto lacking = [](const char* face, const QStringList& shownTexts) {
            const QRawFont font(QStringLiteral(KORVANDA_FACE_DIR "/") + QLatin1String(face), 12);
            QString missing;
            for (const QString& text : shownTexts)
                for (const QChar c : text)
                    if (c.isPrint() && !font.supportsCharacter(c) && !missing.contains(c))
                        missing += c;
            return missing;
        };
        QCOMPARE(lacking("LiberationSans-Regular.ttf", texts), QString());
        QCOMPARE(lacking("LiberationSans-Bold.ttf", bold), QString());
    }
#endif

    void newGameResetsAHalfFilledRow() {
        BoardWindow board({1, 1, 1, 1});
        BoardWindow::click(board.palette(3));
        BoardWindow::click(board.hole(1, 1));
        BoardWindow::click(board.hole(2, 1));
        board.queueSecret({2, 2, 2, 2});
        action(board, "mnuNew")->trigger();
        QCOMPARE(board.state().SelectedColor, Color::None);
        QVERIFY(!board.state().HoleFilled(1) && !board.state().HoleFilled(2));
        for (int code = 1; code <= ColorCount; ++code)
            QVERIFY(board.arrow(code)->isHidden());
        const auto empty = board.hole(3, 1)->picture();
        QCOMPARE(board.hole(1, 1)->picture(), empty);
        BoardWindow::click(board.hole(1, 1));
        QCOMPARE(board.hole(1, 1)->picture(), empty);
        QVERIFY(!board.state().HoleFilled(1));
    }

    void newGameAfterTheEndHidesTheAnswer() {
        BoardWindow board({1, 1, 1, 1});
        board.playRow({1, 1, 1, 1});
        QVERIFY(board.answerShown());
        board.queueSecret({3, 4, 3, 4});
        action(board, "mnuNew")->trigger();
        QVERIFY(board.answerHidden());
        QCOMPARE(board.message()->text(),
                 QStringLiteral("Choose colors (---->) and\nclick on the holes below."));
        QCOMPARE(board.hole(2, AnswerRow)->picture(), board.window->pegPicture(4));
        QCOMPARE(board.box(0)->picture(), board.box(5)->picture());
    }

    void exitClosesTheWindow() {
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.window.get()));
        action(board, "mnuExit")->trigger();
        QVERIFY(!board.window->isVisible());
    }
};

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
