#include "History.h"

#include "DataFiles.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace History {

namespace {
const QByteArray Header = "vantrick-history 1";

// A bounded integer, or nothing: a hostile file can hold any text.
bool ReadInt(const QString& field, int low, int high, int& out) {
    bool ok = false;
    const int v = field.toInt(&ok);
    if (!ok || v < low || v > high) return false;
    out = v;
    return true;
}

bool ReadFour(const QString& field, std::array<int, 4>& out) {
    const QStringList parts = field.split(QLatin1Char(','));
    if (parts.size() != 4) return false;
    for (int i = 0; i < 4; ++i)
        if (!ReadInt(parts.at(i), -100000, 100000, out[i])) return false;
    return true;
}

std::optional<Game> ParseLine(const QString& line) {
    const QStringList f = line.split(QLatin1Char(';'));
    if (f.size() != 8) return std::nullopt;
    Game g;
    bool ok = false;
    g.when = f.at(0).toLongLong(&ok);
    if (!ok || g.when < 0) return std::nullopt;
    int sharp = 0, quick = 0;
    if (!ReadInt(f.at(1), 0, 1, sharp) || !ReadInt(f.at(2), 0, 1, quick) ||
        !ReadInt(f.at(3), 0, 100000, g.hints) || !ReadInt(f.at(4), 0, 100000, g.takeBacks) ||
        !ReadFour(f.at(5), g.scores))
        return std::nullopt;
    g.sharp = sharp;
    g.quickPlay = quick;
    if (!f.at(6).isEmpty())
        for (const QString& h : f.at(6).split(QLatin1Char(','))) {
            int hand = 0;
            if (!ReadInt(h, 1, 19, hand) || g.exactHands.size() >= 19) return std::nullopt;
            g.exactHands.append(hand);
        }
    if (!f.at(7).isEmpty())
        for (const QString& t : f.at(7).split(QLatin1Char('|'))) {
            std::array<int, 4> four{};
            if (!ReadFour(t, four) || g.totals.size() >= 19) return std::nullopt;
            g.totals.append(four);
        }
    return g;
}
} // namespace

int Game::Place() const {
    return 1 + static_cast<int>(
                   std::count_if(scores.begin() + 1, scores.end(), [this](int s) { return s > scores[0]; }));
}

QByteArray Format(const QList<Game>& games) {
    QByteArray out = Header + "\n";
    const qsizetype first = std::max<qsizetype>(0, games.size() - MaxGames);
    for (qsizetype i = first; i < games.size(); ++i) {
        const Game& g = games.at(i);
        QStringList exact, totals;
        for (int h : g.exactHands)
            exact << QString::number(h);
        for (const auto& t : g.totals)
            totals << QStringLiteral("%1,%2,%3,%4").arg(t[0]).arg(t[1]).arg(t[2]).arg(t[3]);
        out += QStringLiteral("%1;%2;%3;%4;%5;%6,%7,%8,%9;")
                   .arg(g.when)
                   .arg(int(g.sharp))
                   .arg(int(g.quickPlay))
                   .arg(g.hints)
                   .arg(g.takeBacks)
                   .arg(g.scores[0])
                   .arg(g.scores[1])
                   .arg(g.scores[2])
                   .arg(g.scores[3])
                   .toLatin1();
        out +=
            exact.join(QLatin1Char(',')).toLatin1() + ';' + totals.join(QLatin1Char('|')).toLatin1() + '\n';
    }
    return out;
}

QList<Game> Parse(const QByteArray& bytes) {
    QList<Game> games;
    if (bytes.size() > MaxBytes) return games;
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != Header) return games;
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (auto g = ParseLine(QString::fromLatin1(lines.at(i).trimmed()))) games.append(*g);
    if (games.size() > MaxGames) games.remove(0, games.size() - MaxGames);
    return games;
}

Summary Summarise(const QList<Game>& games) {
    Summary s;
    qint64 sum = 0;
    int run = 0;
    s.bestScore = games.isEmpty() ? 0 : std::numeric_limits<int>::min();
    for (const Game& g : games) {
        ++s.played;
        const bool top = g.Place() == 1;
        const bool shared = std::count(g.scores.begin(), g.scores.end(), g.scores[0]) > 1;
        const bool won = top && !shared, drawn = top && shared;
        s.won += won;
        s.drawn += drawn;
        (g.sharp ? s.sharpPlayed : s.classicPlayed) += 1;
        (g.sharp ? s.sharpWon : s.classicWon) += won;
        s.handsPlayed += static_cast<int>(g.totals.size());
        s.handsExact += static_cast<int>(g.exactHands.size());
        sum += g.scores[0];
        s.bestScore = std::max(s.bestScore, g.scores[0]);
        run = won ? run + 1 : 0;
        s.longestRun = std::max(s.longestRun, run);
    }
    if (s.played) s.averageScore = double(sum) / s.played;
    return s;
}

QList<Game> Load() {
    const auto bytes = DataFiles::ReadFile(QStringLiteral("History.dat"), MaxBytes);
    return bytes ? Parse(*bytes) : QList<Game>();
}

bool Append(const Game& game) {
    QList<Game> games = Load();
    games.append(game);
    return DataFiles::WriteFile(QStringLiteral("History.dat"), Format(games));
}

bool Clear() {
    return DataFiles::RemoveFile(QStringLiteral("History.dat"));
}

} // namespace History
