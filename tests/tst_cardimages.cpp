// The drawn card images: drawn at the full device resolution, every face its own card, and one
// cached picture per ratio.
#include "CardImages.h"

#include <QCryptographicHash>
#include <QSet>
#include <QtTest>

using namespace CardImages;

namespace {

QImage Argb(const QPixmap& pm) {
    return pm.toImage().convertToFormat(QImage::Format_ARGB32);
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
