// The drawn card images: drawn at the full device resolution, every face its own card with the
// right number of pips in its suit's colour, and one cached picture per ratio.
#include "CardImages.h"

#include <QCryptographicHash>
#include <QSet>
#include <QtTest>
#include <vector>

using namespace CardImages;

namespace {

QImage Argb(const QPixmap& pm) {
    return pm.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Suit ink: the strong red or the near-black of the pips.
bool Ink(QRgb p) {
    return qAlpha(p) > 200 && (qRed(p) < 110 || qRed(p) > 140) && qGreen(p) < 110 && qBlue(p) < 110;
}

// Number of separate 4-connected blobs of ink inside `area`, and the red pixels among them.
std::pair<int, int> InkBlobs(const QImage& img, const QRect& area) {
    std::vector<char> seen(size_t(img.width()) * img.height(), 0);
    int blobs = 0, red = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (seen[size_t(y) * img.width() + x] || !Ink(img.pixel(x, y))) continue;
            ++blobs;
            std::vector<QPoint> stack{{x, y}};
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                if (!area.contains(p) || seen[size_t(p.y()) * img.width() + p.x()] || !Ink(img.pixel(p)))
                    continue;
                seen[size_t(p.y()) * img.width() + p.x()] = 1;
                red += qRed(img.pixel(p)) > 140;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
                    stack.push_back(p + d);
            }
        }
    return {blobs, red};
}

} // namespace

class TestCardImages : public QObject {
    Q_OBJECT
  private slots:
    void sizesAndDistinctFaces() {
        for (qreal dpr : {1.0, 1.5, 2.0}) {
            QSet<QByteArray> seen;
            for (int i = 1; i <= Count; ++i) {
                const QSize logical = LogicalSize(i);
                // Faces alike, the backs upright or a quarter turn.
                QCOMPARE(logical, i <= 52 ? LogicalSize(1)
                                  : i % 2 ? LogicalSize(FirstBack)
                                          : LogicalSize(FirstBack).transposed());
                const QPixmap& pm = Image(i, dpr);
                QCOMPARE(pm.size(), QSize(qCeil(logical.width() * dpr), qCeil(logical.height() * dpr)));
                const QImage img = Argb(pm);
                if (i <= FirstBack)
                    seen.insert(QCryptographicHash::hash(
                        QByteArrayView(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()),
                        QCryptographicHash::Sha1));
            }
            QCOMPARE(seen.size(), FirstBack); // 52 faces and the back, no two alike
        }
        QVERIFY(LogicalSize(0).isEmpty() && Image(Count + 1, 1.0).isNull());
    }

    // The pip field lies between the two corner indices; the Ace has its one big pip there (the
    // Ace of Spades a small spade inside it). Diamonds and Hearts are red, the others not at all.
    void pipsAndColours() {
        const qreal dpr = 2.0;
        const QRect field(QPoint(qRound(12 * dpr), qRound(4 * dpr)),
                          QPoint(qRound(43 * dpr), qRound(75 * dpr)));
        for (int card = 1; card <= 52; ++card) {
            const int rank = (card - 1) % 13 + 1, suit = (card - 1) / 13 + 1;
            const auto [blobs, red] = InkBlobs(Argb(Image(card, dpr)), field);
            if (rank <= 10) QVERIFY2(blobs == (card == 40 ? 2 : rank), qPrintable(QString::number(card)));
            QVERIFY2(suit == 1 || suit == 3 ? red > 100 : red == 0, qPrintable(QString::number(card)));
        }
    }

    void cacheKeepsOnePicturePerRatio() {
        const QPixmap& first = Image(7, 2.0);
        QCOMPARE(&Image(7, 2.0), &first);
        QCOMPARE(Image(7, 2.0 + 1e-9).cacheKey(), first.cacheKey()); // rounding noise shares it
        QVERIFY(Image(7, 1.0).cacheKey() != first.cacheKey());
        Prepare(2.0); // preparing again changes nothing already drawn
        QCOMPARE(Image(7, 2.0).cacheKey(), first.cacheKey());
        // A nonsensical ratio falls back to 1 rather than drawing an empty or enormous pixmap.
        QCOMPARE(Image(7, 0.0).cacheKey(), Image(7, 1.0).cacheKey());
        QCOMPARE(Image(7, -3.0).cacheKey(), Image(7, 1.0).cacheKey());
    }
};

QTEST_MAIN(TestCardImages)
#include "tst_cardimages.moc"
