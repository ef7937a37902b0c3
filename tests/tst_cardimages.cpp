// The drawn card images: drawn at the full device resolution, every image its own, the red suits
// in red ink, and one cached picture per ratio.
#include "CardImages.h"
#include "Options.h"

#include <QSet>
#include <QtTest>
#include <algorithm>

using namespace CardImages;

class TestCardImages : public QObject {
    Q_OBJECT
  private slots:
    void sizesDistinctImagesAndInk() {
        for (int deck = 0; deck < 6; ++deck) {
            const qreal dpr = 1.0 + deck % 3 * 0.5;
            Options::Current().fourColour = deck >= 3; // Four-Colour Suits
            QSet<QByteArray> seen;
            for (int i = 1; i <= Count; ++i) {
                const QSize logical = LogicalSize(i);
                // Faces alike, the backs upright or a quarter turn.
                QCOMPARE(logical, i <= 52 ? LogicalSize(1)
                                  : i % 2 ? LogicalSize(FirstBack)
                                          : LogicalSize(FirstBack).transposed());
                const QImage img = Image(i, dpr).toImage().convertToFormat(QImage::Format_ARGB32);
                QCOMPARE(img.size(), QSize(qCeil(logical.width() * dpr), qCeil(logical.height() * dpr)));
                const QRgb* px = reinterpret_cast<const QRgb*>(img.constBits());
                seen.insert(QByteArray(reinterpret_cast<const char*>(px), img.sizeInBytes()));
                int inks = 0; // bits: red, blue, green
                for (const QRgb* c = px; c < px + img.width() * img.height(); ++c)
                    inks |= (qRed(*c) > 150 && qGreen(*c) < 90 && qBlue(*c) < 110) |
                            (qBlue(*c) > 150 && qRed(*c) < 60 && qGreen(*c) < 120) << 1 |
                            (qGreen(*c) > 100 && qRed(*c) < 60 && qBlue(*c) < 90) << 2;
                // A hex figure a suit (diamonds, clubs, hearts, spades from the right): diamonds and
                // hearts in red ink, clubs and spades without; with four colours, on the number cards
                // (the court figures dress in blues and greens), diamonds blue and clubs green too.
                const bool four = deck >= 3 && (i - 1) % 13 < 10;
                if (i <= 52)
                    QCOMPARE(four ? inks : inks & 1, (four ? 0x0142 : 0x0101) >> (i - 1) / 13 * 4 & 15);
            }
            QCOMPARE(seen.size(), Count); // 52 faces and the back four ways, no two alike
        }
        Options::Current().fourColour = false;
        QVERIFY(LogicalSize(0).isEmpty() && Image(Count + 1, 1.0).isNull());
    }

    void cacheKeepsOnePicturePerRatio() {
        const qint64 key = Image(7, 2.0).cacheKey();
        Prepare(2.0);                                   // preparing again changes nothing already drawn
        QCOMPARE(Image(7, 2.0 + 1e-9).cacheKey(), key); // rounding noise shares the picture
        QVERIFY(Image(7, 1.0).cacheKey() != key);
        // A nonsensical ratio falls back to 1 rather than drawing an empty or enormous pixmap.
        for (qreal dpr : {0.0, -3.0, qQNaN()})
            QCOMPARE(Image(7, dpr).cacheKey(), Image(7, 1.0).cacheKey());
    }
};

QTEST_MAIN(TestCardImages)
#include "tst_cardimages.moc"
