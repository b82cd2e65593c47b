#include "AccessibleBoard.h"

#include <QLabel>
#include <QStringList>
#include <array>

#if defined(Q_OS_WASM)
#include "WebAccessibility.h"
#elif QT_VERSION < QT_VERSION_CHECK(6, 8, 0) && defined(Q_OS_LINUX)
#include "SpokenNotice.h"
#endif

namespace korvanda {

namespace {

constexpr std::array<const char*, ColorCount> ColorNames{"red", "yellow", "green", "blue"};

QString colorName(int code) {
    return QLatin1String(ColorNames.at(static_cast<std::size_t>(code - 1)));
}

// Gives a name only when it changes, so that an assistive tool hears of real changes.
bool rename(QWidget* widget, const QString& name) {
    if (widget->accessibleName() == name)
        return false;
    widget->setAccessibleName(name);
    return true;
}

// Has a screen reader speak what a press changed: the pressed control's own new name,
// told when ownName is not empty, and the changes elsewhere.
void announce(QWidget* pressed, const QString& ownName, const QStringList& elsewhere) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) && !defined(Q_OS_WASM)
    // The pressed control's name change is spoken as it has the focus; the rest is not,
    // as a screen reader drops a description beside the name and ignores a label's quick
    // changes.
    Q_UNUSED(ownName);
    if (elsewhere.isEmpty())
        return;
    QAccessibleAnnouncementEvent announcement(pressed, elsewhere.join(QStringLiteral("; ")));
    QAccessible::updateAccessibility(&announcement);
#elif defined(Q_OS_WASM) || defined(Q_OS_LINUX)
    QStringList told = elsewhere;
    if (!ownName.isEmpty())
        told.prepend(ownName);
    if (told.isEmpty())
        return;
#if defined(Q_OS_WASM)
    // A screen reader speaks no name change of a control in a web page.
    Q_UNUSED(pressed);
    WebAccessibility::tell(told.join(QStringLiteral("; ")));
#else
    // No change of a name or description reaches Orca from this Qt (see SpokenNotice).
    SpokenNotice::tell(pressed->window(), told.join(QStringLiteral("; ")));
#endif
#else
    // Elsewhere the pressed control's description tells the changes.
    Q_UNUSED(pressed);
    Q_UNUSED(ownName);
    Q_UNUSED(elsewhere);
#endif
}

} // namespace

AccessibleBoard::AccessibleBoard(const Controls& controls, const Pictures& pictures)
    : controls_(controls), pictures_(pictures) {
    // The picture boxes show no sign of the focus and ignore keys; a click does not move
    // the focus, so only Tab reaches them.
    QWidget* previous = controls_.lastTabStop;
    const auto addStop = [&previous](QWidget* stop) {
        stop->setFocusPolicy(Qt::TabFocus);
        QWidget::setTabOrder(previous, stop);
        previous = stop;
    };
    for (int code = 1; code <= ColorCount; ++code)
        addStop(controls_.palette(code));
    for (int row = 1; row <= GuessRows; ++row) {
        for (int place = 1; place <= Columns; ++place)
            addStop(hole(place, row));
        for (int box = (row - 1) * BoxesPerRow; box < row * BoxesPerRow; ++box)
            addStop(controls_.marks(box));
    }
    for (int place = 1; place <= Columns; ++place)
        addStop(hole(place, AnswerRow));

    active_ = QAccessible::isActive();
    QAccessible::installActivationObserver(this);
}

AccessibleBoard::~AccessibleBoard() {
    QAccessible::removeActivationObserver(this);
}

void AccessibleBoard::accessibilityActiveChanged(bool active) {
    active_ = active;
    update();
}

// Places are counted from the left as the player sees them; column 1 is the rightmost.
PictureBox* AccessibleBoard::hole(int place, int row) const {
    return controls_.holes(Columns + 1 - place)(row);
}

QString AccessibleBoard::holeName(int place, int row) const {
    const PictureBox* shown = hole(place, row);
    QString content = QStringLiteral("empty");
    for (int code = 1; code <= ColorCount; ++code)
        if (shown->picture() == pictures_.pegs(code))
            content = colorName(code);
    if (row != AnswerRow)
        return QStringLiteral("Row %1, hole %2: %3").arg(row).arg(place).arg(content);
    // A hidden answer is not told either.
    return QStringLiteral("Answer, hole %1: %2")
        .arg(place)
        .arg(shown->isHidden() ? QStringLiteral("hidden") : content);
}

QString AccessibleBoard::marksCount(int row) const {
    int black = 0;
    int white = 0;
    for (int box = (row - 1) * BoxesPerRow; box < row * BoxesPerRow; ++box) {
        black += controls_.marks(box)->picture() == pictures_.blackMark ? 1 : 0;
        white += controls_.marks(box)->picture() == pictures_.whiteMark ? 1 : 0;
    }
    return QStringLiteral("%1 black, %2 white").arg(black).arg(white);
}

void AccessibleBoard::update(QWidget* pressed, int scoredRow) {
    if (!active_)
        return;
    // What the press changed elsewhere than on the pressed control itself.
    QStringList changes;
    const auto tell = [&changes, pressed](QWidget* widget, const QString& name) {
        if (rename(widget, name) && widget != pressed)
            changes.append(name);
    };
    const QString pressedName = pressed ? pressed->accessibleName() : QString();
    for (int row = 1; row <= GuessRows; ++row) {
        for (int place = 1; place <= Columns; ++place)
            tell(hole(place, row), holeName(place, row));
        // The four boxes of a row tell the row's marks, and are told apart by their
        // number; the marks are told once.
        const QString marks = marksCount(row);
        const int first = (row - 1) * BoxesPerRow;
        for (int box = first; box < row * BoxesPerRow; ++box) {
            const QString name =
                QStringLiteral("Row %1, box %2: %3").arg(row).arg(box - first + 1).arg(marks);
            if ((rename(controls_.marks(box), name) || row == scoredRow) && box == first)
                changes.append(QStringLiteral("Row %1: %2").arg(row).arg(marks));
        }
    }
    tell(controls_.message, controls_.message->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    for (int place = 1; place <= Columns; ++place)
        tell(hole(place, AnswerRow), holeName(place, AnswerRow));
    for (int code = 1; code <= ColorCount; ++code) {
        QString name = colorName(code) + QStringLiteral(" peg");
        name.front() = name.front().toUpper();
        rename(controls_.palette(code),
               controls_.arrows(code)->isHidden() ? name : name + QStringLiteral(", selected"));
    }

    if (!pressed)
        return;
    if (described_ && described_ != pressed)
        described_->setAccessibleDescription({});
    pressed->setAccessibleDescription(changes.join(QStringLiteral("; ")));
    described_ = pressed;
    announce(pressed,
             pressed->accessibleName() == pressedName ? QString() : pressed->accessibleName(),
             changes);
}

} // namespace korvanda
