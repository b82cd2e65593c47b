#include "BoardWindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

using namespace korvanda;

class RevealBoxTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<BoardWindow> board;

    void type(const QString& text) { QTest::keyClicks(board->revealBox(), text); }
    void key(Qt::Key k) { QTest::keyClick(board->revealBox(), k); }

private slots:
    void init() {
        board = std::make_unique<BoardWindow>(std::array{1, 2, 3, 4});
        board->window->show();
        QVERIFY(QTest::qWaitForWindowActive(board->window.get()));
        board->revealBox()->setFocus();
    }
    void cleanup() { board.reset(); }

    void theEighthCharacterReveals() {
        const QString code = QLatin1String(frmKorvanda::RevealCode);
        for (int n = 0; n < code.size() - 1; ++n) {
            type(code.mid(n, 1));
            QVERIFY(board->answerHidden());
        }
        type(code.right(1));
        QVERIFY(board->answerShown());
        QVERIFY(board->answerLabel()->isVisible());
        type(QStringLiteral("x"));
        QVERIFY(board->answerHidden());
        key(Qt::Key_Backspace);
        QVERIFY(board->answerShown());
    }

    void onlyTheExactCodeReveals_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("upper case letter") << QStringLiteral("tiv33viT");
        QTest::newRow("all upper case") << QStringLiteral("TIV33VIT");
        QTest::newRow("space before") << QStringLiteral(" tiv33vit");
        QTest::newRow("space after") << QStringLiteral("tiv33vit ");
        QTest::newRow("contains the code") << QStringLiteral("xtiv33vitx");
        QTest::newRow("a prefix") << QStringLiteral("tiv33vi");
        QTest::newRow("look-alike digits") << QStringLiteral("tivEEvit");
    }
    void onlyTheExactCodeReveals() {
        QFETCH(QString, text);
        type(text);
        QVERIFY(board->answerHidden());
    }

    void aChangeHidesTheAnswerAGameShowed() {
        board->playRow({1, 2, 3, 4});
        QVERIFY(board->answerShown());
        type(QStringLiteral("a"));
        QVERIFY(board->answerHidden());
        board->playRow({4, 4, 4, 4});
        QVERIFY(board->answerHidden());
        board->playRow({1, 2, 3, 4});
        QVERIFY(board->answerShown());
        board->revealBox()->clear();
        QVERIFY(board->answerHidden());
        QCOMPARE(board->message()->text(), QStringLiteral("You guessed\nthe pattern!!!"));
    }

    void newGameHidesTheAnswerWhileTheCodeStays() {
        type(QLatin1String(frmKorvanda::RevealCode));
        QVERIFY(board->answerShown());
        board->queueSecret({4, 4, 4, 4});
        board->window->findChild<QAction*>(QStringLiteral("mnuNew"))->trigger();
        QVERIFY(board->answerHidden());
        QCOMPARE(board->revealBox()->text(), QLatin1String(frmKorvanda::RevealCode));
        type(QStringLiteral("x"));
        QVERIFY(board->answerHidden());
        key(Qt::Key_Backspace);
        QVERIFY(board->answerShown());
        QCOMPARE(board->hole(1, AnswerRow)->picture(), board->window->pegPicture(4));
    }

    void revealingChangesNoGameState() {
        BoardWindow plain({1, 1, 2, 3});
        board->queueSecret({1, 1, 2, 3});
        board->window->findChild<QAction*>(QStringLiteral("mnuNew"))->trigger();
        type(QLatin1String(frmKorvanda::RevealCode));
        const std::array<std::array<int, 4>, 3> rows{{{1, 2, 1, 1}, {4, 4, 4, 4}, {1, 1, 2, 3}}};
        for (const auto& row : rows) {
            board->playRow(row);
            plain.playRow(row);
            QCOMPARE(board->state().CurrentRow, plain.state().CurrentRow);
            QCOMPARE(board->message()->text(), plain.message()->text());
            for (int b = 0; b < FeedbackBoxes; ++b)
                QCOMPARE(board->box(b)->backColor(), plain.box(b)->backColor());
        }
    }

    void aHugePasteChangesOnlyTheAnswerRow_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("several megabytes") << QString(5'000'000, QLatin1Char('t'));
        QTest::newRow("any Unicode")
            << QStringLiteral("t\u0131v33v\u0131t \U0001F600 \u202E\u0000\r\n");
        QTest::newRow("the code in a big paste")
            << QString(100'000, QLatin1Char(' ')) + QLatin1String(frmKorvanda::RevealCode);
    }
    void aHugePasteChangesOnlyTheAnswerRow() {
        QFETCH(QString, text);
        type(QLatin1String(frmKorvanda::RevealCode));
        QVERIFY(board->answerShown());
        board->revealBox()->selectAll();
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(board->revealBox(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(board->revealBox()->text() != QLatin1String(frmKorvanda::RevealCode));
        QVERIFY(board->answerHidden());
        QCOMPARE(board->state().CurrentRow, 1);
        board->playRow({1, 2, 3, 4});
        QVERIFY(board->answerShown());
    }
};

QTEST_MAIN(RevealBoxTest)
#include "tst_revealbox.moc"
