#pragma once
// Helpers for every suite, those without widgets included: data-driven rows, a range check and
// the files of a test directory.
#include "Game.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <tuple>

// Each suite's one game, which its tests play, look at and put back; `G` is its fields, as in
// the procedures of play.
inline Game& TheGame() {
    static Game game;
    return game;
}
inline Game& game = TheGame();
inline GameState& G = TheGame().G;
// The fields back to their start, the records and choices of the game left as they are.
inline void ResetGameState() {
    G = GameState{};
}

namespace TestSupport {

// A card by its short name, rank then suit: "AS" Ace of Spades, "TD" Ten of Diamonds.
inline int Card(const QString& name) {
    const int rank = QStringLiteral("A23456789TJQK").indexOf(name.at(0)) + 1;
    const int suit = QStringLiteral("DCHS").indexOf(name.at(1)) + 1;
    Q_ASSERT(name.size() == 2 && rank > 0 && suit > 0);
    return (suit - 1) * 13 + rank;
}

// One QTest row per case of a table of tuples, named by the first element; the test reads the
// case back with Row(cases), or QFETCH(int, i).
template <typename T, size_t N> void Rows(const T (&cases)[N]) {
    QTest::addColumn<int>("i");
    for (size_t i = 0; i < N; ++i)
        QTest::newRow(std::get<0>(cases[i])) << int(i);
}
template <typename T, size_t N> const T& Row(const T (&cases)[N]) {
    QFETCH(int, i);
    return cases[i];
}

// Everything in the directory removed, subdirectories, links and FIFOs included.
inline void EmptyDir(const QString& path) {
    QDir(path).removeRecursively();
    QDir().mkpath(path);
}

// A file's bytes, or "<missing>".
inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

} // namespace TestSupport

// lo <= value < hi, naming the value when it is not.
#define QVERIFY_IN(value, lo, hi)                                                                            \
    QVERIFY2((value) >= (lo) && (value) < (hi), qPrintable(QString::number(value)))
