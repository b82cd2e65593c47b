#include "BoardWindow.h"
#include "ui/Geometry.h"

#include <QSet>

using namespace korvanda;

namespace {

constexpr QColor Back{224, 224, 224};
constexpr QColor Ground{80, 91, 97};

qreal scale() {
    return qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
}

QRect device(const QRect& logical) {
    const qreal f = scale();
    return QRect(qCeil(logical.left() * f), qCeil(logical.top() * f),
                 qFloor(logical.width() * f) - 1, qFloor(logical.height() * f) - 1);
}

// The colours found in an area of the image that are not in the allowed set.
QStringList strangers(const QImage& image, const QRect& area, const QSet<QRgb>& allowed) {
    QStringList found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!allowed.contains(image.pixel(x, y) | 0xff000000U))
                found
                    << QStringLiteral("%1,%2 %3").arg(x).arg(y).arg(image.pixelColor(x, y).name());
    return found;
}

} // namespace

// Runs once for each screen scale that CTest sets in QT_SCALE_FACTOR.
class ScalingTest : public QObject {
    Q_OBJECT

private slots:
    void theClientAreaScalesWholly() {
        BoardWindow board;
        QCOMPARE(board.window->centralWidget()->size(), QSize(261, 438));
        const QImage image = board.client();
        QCOMPARE(image.size(), QSize(qRound(261 * scale()), qRound(438 * scale())));
    }

    void picturesKeepHardEdges() {
        BoardWindow board({1, 2, 3, 4});
        board.playRow({2, 2, 2, 2});
        const QImage image = board.client();
        const QSet<QRgb> hole{Back.rgb(), Ground.rgb(), QColor(Qt::black).rgb(),
                              QColor(252, 248, 0).rgb()};
        for (int c = 1; c <= Columns; ++c) {
            for (const int row : {1, 2}) {
                const QStringList odd = strangers(image, device(geometry::holeRect(c, row)), hole);
                QVERIFY2(odd.isEmpty(), qPrintable(odd.mid(0, 5).join(QLatin1Char(' '))));
            }
        }
        const QSet<QRgb> palette{Back.rgb(), Ground.rgb(), QColor(252, 0, 25).rgb()};
        const QStringList odd = strangers(image, device(geometry::paletteRect(1)), palette);
        QVERIFY2(odd.isEmpty(), qPrintable(odd.mid(0, 5).join(QLatin1Char(' '))));

        // Inside the frame of each mark: only the mark's colour.
        const int frame = qCeil(geometry::FrameWidth * scale());
        for (int box = 0; box < BoxesPerRow; ++box) {
            const QRect inner =
                device(geometry::feedbackRect(box)).adjusted(frame, frame, -frame, -frame);
            const QSet<QRgb> mark{box == 0 ? QColor(0, 0, 0).rgb() : QColor(181, 181, 181).rgb()};
            const QStringList wrong = strangers(image, inner, mark);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.mid(0, 5).join(QLatin1Char(' '))));
        }
    }
};

QTEST_MAIN(ScalingTest)
#include "tst_scaling.moc"
