#include "GamePlay.h"
#include "game/ClockRandom.h"

#include <QTest>
#include <cmath>
#include <memory>
#include <random>

using namespace korvanda;

namespace {

// A generator with a fixed seed, drawing as the game's own does.
class SeededRandom final : public RandomSource {
public:
    void reseed() override {}
    float draw() override { return static_cast<float>(engine_() >> 8) * 0x1p-24F; }

private:
    std::mt19937 engine_{20261208};
};

std::array<Color, 4> secretOf(const GameState& s) {
    return {s.SecretColors(1), s.SecretColors(2), s.SecretColors(3), s.SecretColors(4)};
}

} // namespace

class NewGameTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithAnEmptyBoardAndHiddenAnswer() {
        GamePlay play({3, 1, 4, 2});
        const FakeBoard& board = play.board;
        const GameState& s = play.game.state();
        QCOMPARE(s.SelectedColor, Color::None);
        QCOMPARE(s.CurrentRow, 1);
        QCOMPARE(s.RowBase, 0);
        QVERIFY(board.answerHidden());
        QCOMPARE(board.indicatorVisible, (std::array{false, false, false, false}));
        for (int c = 1; c <= Columns; ++c)
            for (int row = 1; row <= GuessRows; ++row)
                QCOMPARE(board.holePicture(c, row), FakeBoard::EmptyHole);
        for (const Mark mark : board.marks)
            QCOMPARE(mark, Mark::Blank);
        QCOMPARE(board.message, "Choose colors (---->) and\r\nclick on the holes below.");
    }

    void drawsTheSecretColumnByColumn_data() {
        QTest::addColumn<float>("draw");
        QTest::addColumn<int>("code");
        QTest::newRow("0 is red") << 0.0F << 1;
        QTest::newRow("just below a quarter is red") << std::nextafter(0.25F, 0.0F) << 1;
        QTest::newRow("a quarter is yellow") << 0.25F << 2;
        QTest::newRow("a half is green") << 0.5F << 3;
        QTest::newRow("three quarters is blue") << 0.75F << 4;
        QTest::newRow("just below 1 is blue") << std::nextafter(1.0F, 0.0F) << 4;
    }
    void drawsTheSecretColumnByColumn() {
        QFETCH(float, draw);
        QFETCH(int, code);
        for (int column = 1; column <= Columns; ++column) {
            FakeBoard board;
            auto owned = std::make_unique<ScriptedRandom>();
            ScriptedRandom& random = *owned;
            random.values = {0.0F, 0.0F, 0.0F, 0.0F};
            random.values[static_cast<std::size_t>(column - 1)] = draw;
            Game game(board, std::move(owned));
            game.NewGame();
            QCOMPARE(game.state().SecretColors(column), colorFromCode(code));
            QCOMPARE(game.state().SecretPeg(column), colorFromCode(code));
            QCOMPARE(board.holePicture(column, AnswerRow), FakeBoard::peg(colorFromCode(code)));
            QCOMPARE(random.reseeds, 1);
            QVERIFY(random.values.empty());
        }
    }

    void fourEqualColoursAreASecret() {
        GamePlay play({4, 4, 4, 4});
        QCOMPARE(secretOf(play.game.state()),
                 (std::array{Color::Blue, Color::Blue, Color::Blue, Color::Blue}));
    }

    void resetsAGameInProgress() {
        GamePlay play({1, 2, 3, 4});
        for (int row = 1; row <= GuessRows; ++row)
            play.playRow({2, 1, 4, 3});
        play.game.ChooseColor(Color::Green);
        QVERIFY(play.board.answerShown());

        const GameState before = play.game.state();
        QCOMPARE(before.MarkStart, 28);
        play.newGame({2, 2, 3, 3});
        const GameState& s = play.game.state();
        // Left as they were: the last row's colours and where its white marks went.
        for (int c = 1; c <= Columns; ++c)
            QCOMPARE(s.GuessColors(c), before.GuessColors(c));
        QCOMPARE(s.MarkStart, before.MarkStart);
        QCOMPARE(s.MarkIndex, before.MarkIndex);
        QCOMPARE(s.WhiteCount, 0);
        QCOMPARE(s.SelectedColor, Color::None);
        QCOMPARE(s.CurrentRow, 1);
        QCOMPARE(s.RowBase, 0);
        QVERIFY(play.board.answerHidden());
        QCOMPARE(play.board.indicatorVisible, (std::array{false, false, false, false}));
        for (const Mark mark : play.board.marks)
            QCOMPARE(mark, Mark::Blank);
        // The back colour a mark gave a box stays; the blank picture covers it.
        QCOMPARE(play.board.backColors[28], Mark::White);
        QCOMPARE(play.board.message, std::string(Game::StartMessage));
        QCOMPARE(secretOf(s),
                 (std::array{Color::Yellow, Color::Yellow, Color::Green, Color::Green}));
        QCOMPARE(play.random->reseeds, 2);
    }

    void clearsAHalfFilledRow() {
        GamePlay play;
        play.game.ChooseColor(Color::Red);
        play.game.ClickHole(1);
        play.game.ClickHole(2);
        play.game.ClickHole(3);
        play.newGame({1, 2, 3, 4});
        for (int c = 1; c <= Columns; ++c)
            QVERIFY(!play.game.state().HoleFilled(c));
        QCOMPARE(play.board.holePicture(1, 1), FakeBoard::EmptyHole);

        // The old row's pegs count for nothing: one more peg does not score a row.
        play.game.ChooseColor(Color::Blue);
        play.game.ClickHole(4);
        QCOMPARE(play.game.state().CurrentRow, 1);
    }

    void eachColourIsDrawnAtTheSameRateInEachColumn() {
        constexpr int Secrets = 4000;
        FakeBoard board;
        Game game(board, std::make_unique<SeededRandom>());
        std::array<std::array<int, ColorCount>, Columns> counts{};
        for (int i = 0; i < Secrets; ++i) {
            game.NewGame();
            for (int c = 1; c <= Columns; ++c)
                ++counts[static_cast<std::size_t>(c - 1)]
                        [static_cast<std::size_t>(code(game.state().SecretColors(c)) - 1)];
        }
        // Chi-square with 3 degrees of freedom; 16.27 is the 0.1% critical value.
        constexpr double Expected = Secrets / double(ColorCount);
        for (const auto& column : counts) {
            double chi2 = 0;
            for (const int n : column)
                chi2 += (n - Expected) * (n - Expected) / Expected;
            QVERIFY2(chi2 < 16.27, qPrintable(QString::number(chi2)));
        }
    }

    void backToBackGamesDrawIndependentSecrets() {
        constexpr int Games = 1000;
        FakeBoard board;
        Game game(board, std::make_unique<ClockRandom>());
        game.NewGame();
        auto previous = secretOf(game.state());
        int repeats = 0;
        for (int i = 0; i < Games; ++i) {
            game.NewGame();
            const auto secret = secretOf(game.state());
            repeats += secret == previous ? 1 : 0;
            previous = secret;
        }
        // Independent secrets repeat about 4 times in 1000 (1 in 256); a clock that did not
        // move between games would repeat nearly every time.
        QVERIFY2(repeats < 25, qPrintable(QString::number(repeats)));
    }

    void clockDrawsStayBelowOne() {
        ClockRandom random;
        random.reseed();
        for (int i = 0; i < 100000; ++i) {
            const float r = random.draw();
            QVERIFY(r >= 0.0F && r < 1.0F);
        }
    }
};

QTEST_APPLESS_MAIN(NewGameTest)
#include "tst_newgame.moc"
