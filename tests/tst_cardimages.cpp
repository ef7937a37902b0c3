// The drawn card images: sizes at several device pixel ratios, that every face is its own card
// in the right colour with the right number of pips, that the turned backs are true turns of the
// upright back, and the per-ratio cache.

#include "CardImages.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QImage>
#include <QSet>
#include <QTransform>
#include <QtTest>
#include <vector>

using namespace CardImages;

namespace {

QImage Argb(const QPixmap& pm) {
    return pm.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Share of pixels whose colour differs by more than `tolerance` in some channel (alpha included).
double MismatchShare(const QImage& a, const QImage& b, int tolerance = 48) {
    if (a.size() != b.size()) return 1.0;
    qint64 bad = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = ra[x], q = rb[x];
            if (qAbs(qRed(p) - qRed(q)) > tolerance || qAbs(qGreen(p) - qGreen(q)) > tolerance ||
                qAbs(qBlue(p) - qBlue(q)) > tolerance || qAbs(qAlpha(p) - qAlpha(q)) > tolerance)
                ++bad;
        }
    }
    return double(bad) / (a.width() * a.height());
}

QImage Turned(const QImage& img, qreal degrees) {
    return img.transformed(QTransform().rotate(degrees)).convertToFormat(QImage::Format_ARGB32);
}

bool Reddish(QRgb p) {
    return qAlpha(p) > 200 && qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100;
}

// Pixels of suit ink: the strong red or the near-black of the pips.
bool Ink(QRgb p) {
    if (qAlpha(p) < 200) return false;
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    return (r < 110 && g < 110 && b < 110) || (r > 140 && g < 110 && b < 110);
}

// Number of separate blobs of ink inside `area` (4-connected).
int InkBlobs(const QImage& img, const QRect& area) {
    std::vector<char> seen(size_t(img.width()) * img.height(), 0);
    auto at = [&](int x, int y) { return Ink(img.pixel(x, y)); };
    int blobs = 0;
    std::vector<QPoint> stack;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (seen[size_t(y) * img.width() + x] || !at(x, y)) continue;
            ++blobs;
            stack.push_back({x, y});
            seen[size_t(y) * img.width() + x] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint n = p + d;
                    if (!area.contains(n)) continue;
                    char& s = seen[size_t(n.y()) * img.width() + n.x()];
                    if (s || !at(n.x(), n.y())) continue;
                    s = 1;
                    stack.push_back(n);
                }
            }
        }
    return blobs;
}

} // namespace

class TestCardImages : public QObject {
    Q_OBJECT
  private slots:
    void drawingAllIsQuick();
    void sizes_data();
    void sizes();
    void invalidIndices();
    void facesAreAllDifferent();
    void suitColours();
    void pipCounts();
    void roundedCornersAreTransparent();
    void turnedBacksAreTurnsOfTheUprightBack_data();
    void turnedBacksAreTurnsOfTheUprightBack();
    void cacheReturnsTheSamePixmap();
};

// Runs first so that it measures real drawing, not the cache.
void TestCardImages::drawingAllIsQuick() {
    QElapsedTimer timer;
    timer.start();
    Prepare(1.0);
    const qint64 ms = timer.elapsed();
    qInfo("Drawing all %d images at ratio 1 took %lld ms", Count, ms);
    // Generous, since the machine may be busy; the images are drawn at start-up and on every
    // change of screen, so a pathological slow-down must not go unnoticed.
    QVERIFY2(ms < 1000, qPrintable(QStringLiteral("%1 ms").arg(ms)));
}

void TestCardImages::sizes_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("1x") << qreal(1.0);
    QTest::newRow("1.5x") << qreal(1.5);
    QTest::newRow("2x") << qreal(2.0);
}

void TestCardImages::sizes() {
    QFETCH(qreal, dpr);
    const QSize face(55, 79), upright(53, 79), side(79, 53);
    for (int i = 1; i <= Count; ++i) {
        const QSize expected = i <= 52 ? face : (i == 54 || i == 56) ? side : upright;
        QCOMPARE(LogicalSize(i), expected);
        const QPixmap& pm = Image(i, dpr);
        QVERIFY(!pm.isNull());
        QCOMPARE(pm.devicePixelRatio(), dpr);
        QCOMPARE(pm.deviceIndependentSize().toSize(), expected);
        // Drawn at full device resolution, not an enlarged 1x image.
        QCOMPARE(pm.size(), QSize(qCeil(expected.width() * dpr), qCeil(expected.height() * dpr)));
    }
}

void TestCardImages::invalidIndices() {
    for (int i : {0, -1, Count + 1, 1000}) {
        QVERIFY(LogicalSize(i).isEmpty());
        QVERIFY(Image(i, 1.0).isNull());
        QVERIFY(Image(i, 2.0).isNull());
    }
}

void TestCardImages::facesAreAllDifferent() {
    for (qreal dpr : {1.0, 2.0}) {
        QSet<QByteArray> seen;
        for (int i = 1; i <= FirstBack; ++i) {
            const QImage img = Argb(Image(i, dpr));
            const QByteArray bytes(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
            seen.insert(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1));
        }
        QCOMPARE(seen.size(), FirstBack); // 52 faces and the back, no two alike
    }
}

void TestCardImages::suitColours() {
    for (int card = 1; card <= 52; ++card) {
        const int suit = (card - 1) / 13 + 1;
        const bool red = suit == 1 || suit == 3;
        const QImage img = Argb(Image(card, 2.0));
        int reddish = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                reddish += Reddish(img.pixel(x, y));
        if (red)
            QVERIFY2(reddish > 100, qPrintable(QStringLiteral("card %1: %2").arg(card).arg(reddish)));
        else
            QVERIFY2(reddish == 0, qPrintable(QStringLiteral("card %1: %2").arg(card).arg(reddish)));
    }
}

void TestCardImages::pipCounts() {
    // The pip field lies between the two corner indices; the Ace has its one big pip there.
    for (qreal dpr : {1.0, 2.0}) {
        const QRect field(QPoint(qRound(12 * dpr), qRound(4 * dpr)),
                          QPoint(qRound(43 * dpr), qRound(75 * dpr)));
        for (int card = 1; card <= 52; ++card) {
            const int rank = (card - 1) % 13 + 1;
            if (rank > 10) continue;
            const int blobs = InkBlobs(Argb(Image(card, dpr)), field);
            // The Ace of Spades carries a small spade inside its big pip: two blobs.
            const int expected = card == 40 ? 2 : rank;
            QVERIFY2(blobs == expected,
                     qPrintable(QStringLiteral("card %1 at %2x: %3 blobs").arg(card).arg(dpr).arg(blobs)));
        }
    }
}

void TestCardImages::roundedCornersAreTransparent() {
    for (int i : {1, 25, 52, 53, 54, 55, 56}) {
        const QImage img = Argb(Image(i, 2.0));
        const int w = img.width() - 1, h = img.height() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
            QCOMPARE(qAlpha(img.pixel(corner)), 0);
        QCOMPARE(qAlpha(img.pixel(img.width() / 2, img.height() / 2)), 255);
    }
}

void TestCardImages::turnedBacksAreTurnsOfTheUprightBack_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("1x") << qreal(1.0);
    QTest::newRow("2x") << qreal(2.0);
}

void TestCardImages::turnedBacksAreTurnsOfTheUprightBack() {
    QFETCH(qreal, dpr);
    const QImage upright = Argb(Image(FirstBack, dpr));
    // The design has a top, so turning it over makes a visibly different picture...
    QVERIFY(MismatchShare(upright, Turned(upright, 180)) > 0.02);
    QVERIFY(MismatchShare(Argb(Image(54, dpr)), Argb(Image(56, dpr))) > 0.02);
    // ...and each turned back is the upright one turned, up to antialiasing.
    QVERIFY(MismatchShare(Argb(Image(55, dpr)), Turned(upright, 180)) < 0.005);
    QVERIFY(MismatchShare(Argb(Image(54, dpr)), Turned(upright, 90)) < 0.005);  // top to the right
    QVERIFY(MismatchShare(Argb(Image(56, dpr)), Turned(upright, -90)) < 0.005); // top to the left
}

void TestCardImages::cacheReturnsTheSamePixmap() {
    const QPixmap& first = Image(7, 2.0);
    const QPixmap& again = Image(7, 2.0);
    QCOMPARE(&first, &again);
    QCOMPARE(first.cacheKey(), again.cacheKey());
    // A ratio that differs only by rounding noise shares the cached image.
    QCOMPARE(Image(7, 2.0 + 1e-9).cacheKey(), first.cacheKey());
    // Another ratio gets its own image; preparing again changes nothing already drawn.
    QVERIFY(Image(7, 1.0).cacheKey() != first.cacheKey());
    Prepare(2.0);
    QCOMPARE(Image(7, 2.0).cacheKey(), first.cacheKey());
    // A nonsensical ratio falls back to 1 rather than drawing an empty or enormous pixmap.
    QCOMPARE(Image(7, 0.0).cacheKey(), Image(7, 1.0).cacheKey());
    QCOMPARE(Image(7, -3.0).cacheKey(), Image(7, 1.0).cacheKey());
}

QTEST_MAIN(TestCardImages)
#include "tst_cardimages.moc"
