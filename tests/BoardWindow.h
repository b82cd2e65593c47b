#pragma once

#include "ScriptedRandom.h"
#include "ui/PictureBox.h"
#include "ui/frmKorvanda.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <array>
#include <memory>

// The real board window with a secret of the test's choosing, and ways to play it by
// mouse and to look at its pixels.
class BoardWindow {
public:
    explicit BoardWindow(const std::array<int, 4>& secret = {1, 2, 3, 4}) {
        auto random = std::make_unique<ScriptedRandom>();
        random->queueSecret(secret);
        random_ = random.get();
        window = std::make_unique<korvanda::frmKorvanda>(std::move(random));
    }

    // The secret of the next New Game.
    void queueSecret(const std::array<int, 4>& secret) { random_->queueSecret(secret); }

    template <typename T = korvanda::PictureBox> T* control(const QString& name) const {
        auto* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    korvanda::PictureBox* hole(int column, int row) const {
        return control(QStringLiteral("Slot%1(%2)").arg(column).arg(row));
    }
    korvanda::PictureBox* box(int index) const {
        return control(QStringLiteral("Picture1(%1)").arg(index));
    }
    korvanda::PictureBox* palette(int code) const {
        static const std::array<const char*, 4> names{"PicR", "PicY", "PicG", "PicB"};
        return control(QLatin1String(names.at(static_cast<std::size_t>(code - 1))));
    }
    korvanda::PictureBox* arrow(int code) const {
        return control(QStringLiteral("imgInd(%1)").arg(code));
    }
    QLabel* message() const { return control<QLabel>(QStringLiteral("lblMessage")); }
    QLabel* answerLabel() const { return control<QLabel>(QStringLiteral("lblAnswer")); }
    QLineEdit* revealBox() const { return control<QLineEdit>(QStringLiteral("txtcheat")); }

    const korvanda::GameState& state() const { return window->game().state(); }

    static void click(QWidget* widget) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    // Chooses each colour on the palette and clicks the hole of its column in row 1.
    void playRow(const std::array<int, 4>& guess) const {
        for (int c = 1; c <= korvanda::Columns; ++c) {
            click(palette(guess[static_cast<std::size_t>(c - 1)]));
            click(hole(c, 1));
        }
    }

    bool answerShown() const {
        bool shown = !answerLabel()->isHidden();
        for (int c = 1; c <= korvanda::Columns; ++c)
            shown = shown && !hole(c, korvanda::AnswerRow)->isHidden();
        return shown;
    }
    bool answerHidden() const {
        bool hidden = answerLabel()->isHidden();
        for (int c = 1; c <= korvanda::Columns; ++c)
            hidden = hidden && hole(c, korvanda::AnswerRow)->isHidden();
        return hidden;
    }

    // The client area as the player sees it, one pixel per logical pixel at scale 1.
    QImage client() const { return window->centralWidget()->grab().toImage(); }

    std::unique_ptr<korvanda::frmKorvanda> window;

private:
    ScriptedRandom* random_ = nullptr;
};
