#pragma once
// The history of finished games: one line a game in History.dat, plain text, the newest last.
//
// "vantrick-history 1" heads the file; each game is
//   when;opponents;quick;hints;takebacks;s1,s2,s3,s4;exact hands;t1,t2,t3,t4|...
// with the time in seconds since 1970 (UTC), the opponents (0 classic, 1 sharp, 2 expert: a
// file of the days of two levels reads as it was written), the four final scores, the hands (1..19) the
// player bid exactly as a comma list, and the four running totals after each hand. A line
// that does not read wholly is skipped; only the newest MaxGames are kept.

#include <QByteArray>
#include <QList>
#include <array>
#include <optional>

namespace History {

inline constexpr qsizetype MaxGames = 10000;
// Far more than MaxGames full lines need; a bigger file is not read.
inline constexpr qint64 MaxBytes = 16 * 1024 * 1024;

struct Game {
    qint64 when = 0;
    int opponents = 0; // Sharp::Level's number
    bool quickPlay = false;
    int hints = 0;
    int takeBacks = 0;
    std::array<int, 4> scores{};
    QList<int> exactHands;
    QList<std::array<int, 4>> totals; // after each hand played
    // 1 for the best score; the player shares a place with everyone on the same score.
    int Place() const;
};

struct Summary {
    int played = 0, won = 0, drawn = 0;
    std::array<int, 3> playedAgainst{}, wonAgainst{}; // by the opponents' level
    int handsPlayed = 0, handsExact = 0;
    double averageScore = 0;
    int bestScore = 0;
    int longestRun = 0;
};

QByteArray Format(const QList<Game>& games);
QList<Game> Parse(const QByteArray& bytes);
Summary Summarise(const QList<Game>& games);

// History.dat beside the other data files, under their rules; a missing or bad file is empty.
QList<Game> Load();
bool Append(const Game& game);
bool Clear();

} // namespace History
