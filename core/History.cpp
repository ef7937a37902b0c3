#include "History.h"

#include "DataFiles.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace History {

namespace {
const QByteArray Header = "vantrick-history 1";

// The fields of a line, read straight from its bytes (ten thousand games must load in a blink):
// a bounded integer, or nothing, since a hostile file can hold any text.
bool ReadInt(QByteArrayView field, int low, int high, int& out) {
    bool negative = !field.isEmpty() && field.front() == '-';
    if (negative) field = field.sliced(1);
    if (field.isEmpty() || field.size() > 9) return false;
    int v = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v < low || v > high) return false;
    out = v;
    return true;
}

// Splits `text` at `sep` into at most `max` parts; false when there are more.
template <size_t N>
bool Split(QByteArrayView text, char sep, std::array<QByteArrayView, N>& parts, size_t& n) {
    n = 0;
    for (;;) {
        if (n == N) return false;
        const qsizetype at = text.indexOf(sep);
        parts[n++] = at < 0 ? text : text.first(at);
        if (at < 0) return true;
        text = text.sliced(at + 1);
    }
}

bool ReadFour(QByteArrayView field, std::array<int, 4>& out) {
    std::array<QByteArrayView, 4> parts;
    size_t n = 0;
    if (!Split(field, ',', parts, n) || n != 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if (!ReadInt(parts[i], -100000, 100000, out[i])) return false;
    return true;
}

std::optional<Game> ParseLine(QByteArrayView line) {
    std::array<QByteArrayView, 8> f;
    size_t n = 0;
    if (!Split(line, ';', f, n) || n != 8) return std::nullopt;
    Game g;
    int quick = 0;
    bool ok = false;
    g.when = f[0].toLongLong(&ok);
    if (!ok || g.when < 0 || !ReadInt(f[1], 0, 2, g.opponents) || !ReadInt(f[2], 0, 1, quick) ||
        !ReadInt(f[3], 0, 100000, g.hints) || !ReadInt(f[4], 0, 100000, g.takeBacks) ||
        !ReadFour(f[5], g.scores))
        return std::nullopt;
    g.quickPlay = quick;
    std::array<QByteArrayView, 19> hands;
    if (!f[6].isEmpty()) {
        if (!Split(f[6], ',', hands, n)) return std::nullopt;
        for (size_t i = 0; i < n; ++i) {
            int hand = 0;
            if (!ReadInt(hands[i], 1, 19, hand)) return std::nullopt;
            g.exactHands.append(hand);
        }
    }
    if (!f[7].isEmpty()) {
        if (!Split(f[7], '|', hands, n)) return std::nullopt;
        g.totals.reserve(qsizetype(n));
        for (size_t i = 0; i < n; ++i) {
            std::array<int, 4> four{};
            if (!ReadFour(hands[i], four)) return std::nullopt;
            g.totals.append(four);
        }
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
                   .arg(g.opponents)
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
    QByteArrayView rest(bytes);
    bool first = true;
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = (end < 0 ? rest : rest.first(end)).trimmed();
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (first) {
            if (line != Header) return games;
            first = false;
        } else if (auto g = ParseLine(line)) {
            games.append(*g);
        }
    }
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
        s.playedAgainst[size_t(g.opponents)] += 1;
        s.wonAgainst[size_t(g.opponents)] += won;
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
