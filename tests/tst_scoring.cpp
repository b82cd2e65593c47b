#include "GamePlay.h"

#include <QTest>
#include <algorithm>

using namespace korvanda;

using Codes = std::array<int, 4>;
Q_DECLARE_METATYPE(Codes)

namespace {

// Black and white counted another way: black by column, white per colour as the smaller
// of the unmatched pegs of that colour in secret and guess.
std::pair<int, int> expectedMarks(const Codes& secret, const Codes& guess) {
    int black = 0;
    std::array<int, ColorCount + 1> inSecret{};
    std::array<int, ColorCount + 1> inGuess{};
    for (std::size_t c = 0; c < secret.size(); ++c) {
        if (secret[c] == guess[c]) {
            ++black;
        } else {
            ++inSecret[static_cast<std::size_t>(secret[c])];
            ++inGuess[static_cast<std::size_t>(guess[c])];
        }
    }
    int white = 0;
    for (std::size_t code = 1; code <= ColorCount; ++code)
        white += std::min(inSecret[code], inGuess[code]);
    return {black, white};
}

Codes codesOf(int pattern) {
    Codes codes{};
    for (int& code : codes) {
        code = pattern % ColorCount + 1;
        pattern /= ColorCount;
    }
    return codes;
}

} // namespace

class ScoringTest : public QObject {
    Q_OBJECT

private slots:
    void countsEveryPairOfPatterns() {
        constexpr int Patterns = 256;
        GamePlay play;
        for (int s = 0; s < Patterns; ++s) {
            for (int g = 0; g < Patterns; ++g) {
                const Codes secret = codesOf(s);
                const Codes guess = codesOf(g);
                play.newGame(secret);
                play.playRow(guess);
                if (play.marksOfRow(1) != expectedMarks(secret, guess))
                    QFAIL(qPrintable(QStringLiteral("secret %1, guess %2").arg(s).arg(g)));
            }
        }
    }

    void countsTheWorkedCases_data() {
        QTest::addColumn<Codes>("secret");
        QTest::addColumn<Codes>("guess");
        QTest::addColumn<int>("black");
        QTest::addColumn<int>("white");
        QTest::newRow("a red left over") << Codes{1, 1, 2, 3} << Codes{1, 2, 1, 1} << 1 << 2;
        QTest::newRow("two and two") << Codes{1, 1, 1, 2} << Codes{2, 1, 1, 1} << 2 << 2;
        QTest::newRow("blues beyond the secret's one")
            << Codes{4, 1, 1, 3} << Codes{1, 4, 4, 4} << 0 << 2;
        QTest::newRow("one yellow in place") << Codes{2, 2, 2, 2} << Codes{2, 1, 1, 1} << 1 << 0;
        QTest::newRow("all reversed") << Codes{1, 2, 3, 4} << Codes{4, 3, 2, 1} << 0 << 4;
        QTest::newRow("four greens") << Codes{3, 3, 3, 3} << Codes{3, 3, 3, 3} << 4 << 0;
        QTest::newRow("no colour of the secret")
            << Codes{1, 1, 2, 2} << Codes{3, 4, 4, 3} << 0 << 0;
    }
    void countsTheWorkedCases() {
        QFETCH(Codes, secret);
        QFETCH(Codes, guess);
        QFETCH(int, black);
        QFETCH(int, white);
        GamePlay play(secret);
        play.playRow(guess);
        QCOMPARE(play.marksOfRow(1), std::make_pair(black, white));
        // The row is finished whatever it scored.
        QCOMPARE(play.game.state().CurrentRow, 2);
    }

    void flagsTheLowestFreeSecretPosition() {
        GamePlay play({1, 1, 2, 3});
        std::array<bool, 4> secretUsed{};
        std::array<bool, 4> guessUsed{};
        play.board.onMark = [&](int, Mark) {
            const GameState& s = play.game.state();
            for (int p = 1; p <= Columns; ++p) {
                secretUsed[static_cast<std::size_t>(p - 1)] = s.SecretUsed(p);
                guessUsed[static_cast<std::size_t>(p - 1)] = s.GuessUsed(p);
            }
        };
        play.playRow({1, 2, 1, 1});
        QCOMPARE(secretUsed, (std::array{true, true, true, false}));
        QCOMPARE(guessUsed, (std::array{true, true, true, false}));
    }
};

QTEST_APPLESS_MAIN(ScoringTest)
#include "tst_scoring.moc"
