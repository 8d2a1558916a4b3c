// The compiled-in artwork: every main-window button gets an icon that is
// visible at toolbar sizes and told apart from the others, icons are drawn at
// the screen's density, and the divider's cursor grabs at its middle.

#include "gui/resources/Artwork.h"

#include <algorithm>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QtTest>

using mvr::kMainWindowButtons;
using mvr::MainWindowButton;
using mvr::gui::ApplicationIcon;
using mvr::gui::ButtonIcon;
using mvr::gui::SplitterCursor;

Q_DECLARE_METATYPE(MainWindowButton)

namespace {

QImage Rendered(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(size, size), 1.0, mode)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

int VisiblePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

// Lightest minus darkest of the pixels that are nearly opaque, 0 to 255.
int LightnessSpread(const QImage& image) {
    int lightest = 0;
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() >= 200) {
                lightest = std::max(lightest, colour.lightness());
                darkest = std::min(darkest, colour.lightness());
            }
        }
    }
    return std::max(0, lightest - darkest);
}

int MostSaturated(const QImage& image) {
    int most = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() >= 200) {
                most = std::max(most, colour.hslSaturation());
            }
        }
    }
    return most;
}

} // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void buttonIconIsVisible_data();
    void buttonIconIsVisible();
    void buttonIconsDiffer();
    void buttonIconIsDrawnForTheScreenDensity();
    void disabledButtonIconIsGrey();
    void applicationIconIsARoundedSquare_data();
    void applicationIconIsARoundedSquare();
    void splitterCursorGrabsAtItsMiddle();
};

void ArtworkTest::buttonIconIsVisible_data() {
    QTest::addColumn<MainWindowButton>("button");
    QTest::addColumn<int>("size");
    for (const auto& entry : kMainWindowButtons) {
        for (int size : {16, 32}) {
            QTest::addRow("button %d at %d px (%s)", static_cast<int>(entry.button), size,
                          entry.tooltip)
                << entry.button << size;
        }
    }
}

void ArtworkTest::buttonIconIsVisible() {
    QFETCH(MainWindowButton, button);
    QFETCH(int, size);
    const QImage image = Rendered(ButtonIcon(button), size);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(size, size));
    // A glyph that fills less than a quarter of its square reads as a speck.
    QVERIFY2(
        VisiblePixels(image) >= size * size / 4,
        qPrintable(
            QStringLiteral("%1 of %2 pixels drawn").arg(VisiblePixels(image)).arg(size * size)));
    // Outline against fill: without dark and light parts the shape blurs.
    QVERIFY2(LightnessSpread(image) >= 128,
             qPrintable(QStringLiteral("spread %1").arg(LightnessSpread(image))));
}

void ArtworkTest::buttonIconsDiffer() {
    for (int size : {16, 32}) {
        for (std::size_t i = 0; i < kMainWindowButtons.size(); ++i) {
            const QImage first = Rendered(ButtonIcon(kMainWindowButtons[i].button), size);
            for (std::size_t j = i + 1; j < kMainWindowButtons.size(); ++j) {
                const QImage second = Rendered(ButtonIcon(kMainWindowButtons[j].button), size);
                QVERIFY2(first != second, qPrintable(QStringLiteral("%1 and %2 at %3 px")
                                                         .arg(kMainWindowButtons[i].tooltip,
                                                              kMainWindowButtons[j].tooltip)
                                                         .arg(size)));
            }
        }
    }
}

void ArtworkTest::buttonIconIsDrawnForTheScreenDensity() {
    // On a screen with two device pixels per point a 16-point icon must be
    // the 32-pixel drawing, not the 16-pixel one enlarged.
    for (const auto& entry : kMainWindowButtons) {
        const QIcon icon = ButtonIcon(entry.button);
        const QPixmap dense = icon.pixmap(QSize(16, 16), 2.0);
        QCOMPARE(dense.size(), QSize(32, 32));
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QImage image = dense.toImage().convertToFormat(QImage::Format_ARGB32);
        image.setDevicePixelRatio(1.0);
        QVERIFY2(image == Rendered(icon, 32), entry.tooltip);
    }
}

void ArtworkTest::disabledButtonIconIsGrey() {
    for (const auto& entry : kMainWindowButtons) {
        const QIcon icon = ButtonIcon(entry.button);
        const QImage normal = Rendered(icon, 32);
        const QImage disabled = Rendered(icon, 32, QIcon::Disabled);
        QVERIFY2(!disabled.isNull(), entry.tooltip);
        QVERIFY2(MostSaturated(normal) > 128, entry.tooltip);
        QVERIFY2(MostSaturated(disabled) < 64, entry.tooltip);
    }
}

void ArtworkTest::applicationIconIsARoundedSquare_data() {
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48, 256}) {
        QTest::addRow("%d px", size) << size;
    }
}

void ArtworkTest::applicationIconIsARoundedSquare() {
    QFETCH(int, size);
    const QImage image = Rendered(ApplicationIcon(), size);
    QCOMPARE(image.size(), QSize(size, size));
    const int edge = size - 1;
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(edge, 0), QPoint(0, edge), QPoint(edge, edge)}) {
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
    }
    // The ground is opaque along the middle of every side, not only inside.
    for (const QPoint side :
         {QPoint(size / 2, size / 8), QPoint(size / 8, size / 2), QPoint(size / 2, edge - size / 8),
          QPoint(edge - size / 8, size / 2), QPoint(size / 2, size / 2)}) {
        QCOMPARE(qAlpha(image.pixel(side)), 255);
    }
    QVERIFY(LightnessSpread(image) >= 100);
}

void ArtworkTest::splitterCursorGrabsAtItsMiddle() {
    const QCursor cursor = SplitterCursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    const QPixmap pixmap = cursor.pixmap();
    QVERIFY(!pixmap.isNull());
    const QSize size = pixmap.deviceIndependentSize().toSize();
    QCOMPARE(size, QSize(32, 32));
    QCOMPARE(cursor.hotSpot(), QPoint(size.width() / 2, size.height() / 2));

    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const qreal ratio = pixmap.devicePixelRatio();
    const QPoint hot(qRound(cursor.hotSpot().x() * ratio), qRound(cursor.hotSpot().y() * ratio));
    // The bar itself is under the hot spot, so the divider moves where the bar is drawn.
    QCOMPARE(qAlpha(image.pixel(hot)), 255);
    QVERIFY(qGray(image.pixel(hot)) < 64);
    // Arrows to both sides alike: the picture is its own mirror image.
    const QImage mirrored = image.mirrored(true, false);
    int differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            differing += std::abs(qAlpha(image.pixel(x, y)) - qAlpha(mirrored.pixel(x, y))) > 64;
        }
    }
    QCOMPARE(differing, 0);
    QVERIFY(VisiblePixels(image) >= image.width() * image.height() / 4);
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
