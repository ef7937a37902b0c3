#include "SavedGame.h"

#include "DataFiles.h"
#include "Rules.h"
#include "Seats.h"

#include <QStringList>
#include <algorithm>
#include <numeric>
#include <random>
#include <sstream>

namespace SavedGame {

namespace {
const QString FileName = QStringLiteral("Game.dat");
const QByteArray Header = "Vantrick saved game";
constexpr int Version = 2;

QByteArray Line(const char* key, std::vector<qint64> values) {
    QByteArray line(key);
    for (qint64 v : values)
        line += ' ' + QByteArray::number(v);
    return line + '\n';
}

template <size_t N>
std::vector<qint64> Values(const GameState& g, const std::array<qint16 GameState::*, N>& fields) {
    std::vector<qint64> out;
    for (auto f : fields)
        out.push_back(g.*f);
    return out;
}

template <size_t N>
void Assign(GameState& g, const std::array<qint16 GameState::*, N>& fields,
            const std::vector<qint32>& values) {
    for (size_t i = 0; i < N; ++i)
        g.*fields[i] = qint16(values[i]);
}

// The lines of a file, each a key and its numbers, read in order; any slip fails the whole.
class Reader {
  public:
    explicit Reader(const QByteArray& bytes) : lines_(bytes.split('\n')) {}
    bool ok = true;

    QByteArray Raw(const char* key) {
        if (!ok || at_ >= lines_.size() || !lines_[at_].startsWith(QByteArray(key) + ' ')) {
            ok = false;
            return {};
        }
        return lines_[at_++].mid(qstrlen(key) + 1);
    }
    // The line `key` with exactly n numbers, each within lo..hi.
    std::vector<qint32> Numbers(const char* key, size_t n, qint32 lo, qint32 hi) {
        const QList<QByteArray> fields = Raw(key).split(' ');
        std::vector<qint32> out;
        for (const QByteArray& f : fields) {
            bool good = false;
            const qint32 v = f.toInt(&good);
            if (!good || v < lo || v > hi) ok = false;
            out.push_back(v);
        }
        if (out.size() != n) ok = false;
        if (!ok) out.assign(n, 0);
        return out;
    }
    bool Check(bool condition) { return ok = ok && condition; }
    // The closing line, then nothing: a file cut short anywhere lacks it.
    void End() { Check(at_ == lines_.size() - 2 && lines_[at_] == "end" && lines_.back().isEmpty()); }

  private:
    QList<QByteArray> lines_;
    qsizetype at_ = 0;
};

constexpr qint32 Twips = 20000; // beyond any place on the table
} // namespace

QByteArray Format(const Snapshot& s) {
    const GameState& g = s.state;
    QByteArray out = Header + '\n';
    out += Line("version", {Version});
    std::vector<qint64> hand = Values(g, HandFields);
    hand.insert(hand.end(), {g.HandOver, g.ContinueFlag});
    out += Line("hand", hand);
    out += Line("trick", Values(g, TrickFields));
    out += Line("next", Values(g, NextFields));
    for (int seat = 1; seat <= 4; ++seat) {
        std::vector<qint64> line{seat};
        for (auto f : SeatFields)
            line.push_back((g.*f)[seat]);
        out += Line("seat", line);
    }
    for (int c = 1; c <= 52; ++c) {
        const Picture& p = s.pictures[c];
        out += Line("card", {c, g.Cards[c].Holder, p.image, p.left, p.top, p.shown});
    }
    for (const GameRecord::Hand& h : s.record.hands) {
        out += Line("row", {h.number, h.cards, h.trumps, h.dealer, h.scored});
        for (int seat = 1; seat <= 4; ++seat)
            out += Line("cell", {seat, h.bid[seat], h.bids[seat], h.tricks[seat], h.points[seat]});
    }
    const GameRecord::Trick& t = s.record.last;
    out += Line("last", {t.seats[0], t.cards[0], t.seats[1], t.cards[1], t.seats[2], t.cards[2], t.seats[3],
                         t.cards[3], t.winner});
    out += Line("bidder", {s.record.bidder});
    out += Line("played", {s.log.trumpCard, qint64(s.log.plays.size())});
    for (const HandLog::Play& p : s.log.plays)
        out += Line("play", {p.seat, p.card});
    out += "sharp " + QByteArray::number(s.sharpSeed) + '\n';
    out += "deal " + QByteArray::fromStdString(s.deal) + '\n';
    out += "end\n";
    return out;
}

std::optional<Snapshot> Parse(const QByteArray& bytes) {
    if (!bytes.startsWith(Header + '\n')) return std::nullopt;
    Reader r(bytes.mid(Header.size() + 1));
    Snapshot s;
    GameState& g = s.state;
    r.Check(r.Numbers("version", 1, Version, Version)[0] == Version);
    const auto hand = r.Numbers("hand", 10, -1, 52);
    g.GameOn = true;
    Assign(g, HandFields, hand);
    g.HandOver = hand[8] != 0;
    g.ContinueFlag = hand[9] != 0;
    r.Check(g.HandNumber >= 1 && g.HandNumber <= 19 && g.HandSize == HandSizeFor(g.HandNumber) &&
            Seats::IsSeat(g.Dealer) && g.Trumps >= 1 && g.Trumps <= 4 && g.LedSuit >= 1 && g.LedSuit <= 4 &&
            g.Turn >= 0 && g.Turn <= 4 && g.WinningCard >= 0 && g.TrickWinner >= 0 && g.TrickWinner <= 4 &&
            hand[8] >= 0 && hand[8] <= 1 && hand[9] >= 0 && hand[9] <= 1);
    const auto trick = r.Numbers("trick", 8, -1, 52);
    Assign(g, TrickFields, trick);
    // Saved only with no card on the table: -1 before the first trick, 0 after one.
    r.Check(
        std::all_of(trick.begin(), trick.begin() + 4, [](qint32 v) { return v >= 0 && v <= 4; }) &&
        std::all_of(trick.begin() + 4, trick.end(), [&](qint32 v) { return v == (g.TrickWinner ? 0 : -1); }));
    Assign(g, NextFields, r.Numbers("next", 4, -Twips, Twips));
    for (int seat = 1; seat <= 4; ++seat) {
        const auto v = r.Numbers("seat", 6, 0, 999);
        r.Check(v[0] == seat && v[1] <= 13 && v[2] <= g.HandSize && v[3] <= g.HandSize && v[5] <= 13);
        for (size_t i = 0; i < SeatFields.size(); ++i)
            (g.*SeatFields[i])[seat] = qint16(v[i + 1]);
    }
    const int tricks = std::accumulate(g.TricksMade.begin() + 1, g.TricksMade.end(), 0);
    r.Check(tricks <= g.HandSize && g.HandOver == (tricks == g.HandSize));
    std::array<int, 6> held{};
    for (int c = 1; c <= 52; ++c) {
        const auto v = r.Numbers("card", 6, -Twips, Twips);
        r.Check(v[0] == c && v[1] >= 0 && v[1] <= 4 && v[2] >= 1 && v[2] <= 56 && v[5] >= 0 && v[5] <= 1);
        g.Cards[c].Holder = quint8(std::clamp(v[1], 0, 5));
        ++held[g.Cards[c].Holder];
        s.pictures[c] = {qint16(v[2]), v[3], v[4], v[5] != 0};
        // An opponent's card never shows its face.
        r.Check(g.Cards[c].Holder < 2 || v[2] > 52);
    }
    for (int seat = 1; seat <= 4; ++seat)
        r.Check(held[seat] == g.CardsLeft[seat] && g.CardsLeft[seat] == g.HandSize - tricks);
    std::array<int, 5> points{};
    for (int n = 1; n <= g.HandNumber; ++n) {
        const auto row = r.Numbers("row", 5, 0, 19);
        GameRecord::Hand h;
        h.number = qint16(row[0]);
        h.cards = qint16(row[1]);
        h.trumps = qint16(row[2]);
        h.dealer = qint16(row[3]);
        h.scored = row[4] != 0;
        r.Check(h.number == n && h.cards == HandSizeFor(n) && h.trumps >= 1 && h.trumps <= 4 &&
                Seats::IsSeat(h.dealer) && row[4] <= 1 && h.scored == (n < g.HandNumber));
        for (int seat = 1; seat <= 4; ++seat) {
            const auto cell = r.Numbers("cell", 5, 0, 23);
            r.Check(cell[0] == seat && cell[1] <= 1 && cell[2] <= 13 && cell[3] <= h.cards);
            h.bid[seat] = cell[1] != 0;
            h.bids[seat] = qint16(cell[2]);
            h.tricks[seat] = qint16(cell[3]);
            h.points[seat] = qint16(cell[4]);
            r.Check(h.points[seat] == (h.scored ? HandPoints(h.bids[seat], h.tricks[seat]) : 0) &&
                    (h.scored ? h.bid[seat] : !h.bid[seat] || h.bids[seat] == g.Bids[seat]));
            points[seat] += h.points[seat];
        }
        s.record.hands.push_back(h);
    }
    for (int seat = 1; seat <= 4; ++seat)
        r.Check(points[seat] == g.GameScore[seat]);
    const auto last = r.Numbers("last", 9, 0, 52);
    for (int i = 0; i < 4; ++i) {
        s.record.last.seats[i] = qint16(last[2 * i]);
        s.record.last.cards[i] = qint16(last[2 * i + 1]);
        r.Check(last[2 * i] <= 4);
    }
    s.record.last.winner = qint16(last[8]);
    r.Check(last[8] <= 4);
    s.record.bidder = qint16(r.Numbers("bidder", 1, 0, 0)[0]);
    // The hand's cards played so far: every trick taken, four cards each, all off the table
    // again; and the trump card, turned up from the pack in the suit of trumps.
    const auto played = r.Numbers("played", 2, 0, 52);
    r.Check(played[1] == 4 * tricks && played[0] >= 1 && CardSuit(played[0]) == g.Trumps &&
            g.Cards[played[0]].Holder == Holders::Pack);
    s.log.trumpCard = qint8(played[0]);
    for (int i = 0; r.ok && i < played[1]; ++i) {
        const auto p = r.Numbers("play", 2, 1, 52);
        r.Check(p[0] <= 4 && g.Cards[p[1]].Holder == Holders::Pack);
        s.log.Add(p[0], p[1]);
    }
    bool seedOk = false;
    s.sharpSeed = r.Raw("sharp").toULongLong(&seedOk);
    r.Check(seedOk);
    const QByteArray deal = r.Raw("deal");
    r.Check(!deal.isEmpty() &&
            std::all_of(deal.begin(), deal.end(), [](char c) { return (c >= '0' && c <= '9') || c == ' '; }));
    s.deal = deal.toStdString();
    r.Check(IsGeneratorState(s.deal));
    r.End();
    if (!r.ok) return std::nullopt;
    return s;
}

bool IsGeneratorState(const std::string& text) {
    constexpr size_t words = std::mt19937::state_size;
    std::istringstream in(text);
    std::string word;
    size_t count = 0;
    while (in >> word) {
        if (++count > words + 1 || word.size() > 10 ||
            word.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const unsigned long long v = std::stoull(word);
        if (v > 0xFFFFFFFFull || (count == words + 1 && v > words)) return false;
    }
    if (count != words + 1) return false;
    std::mt19937 generator;
    std::istringstream again(text);
    again >> generator;
    return !again.fail();
}

bool Write(const QByteArray& bytes) {
    return DataFiles::WriteFile(FileName, bytes);
}

std::optional<Snapshot> Read() {
    const auto bytes = DataFiles::ReadFile(FileName, MaxBytes);
    return bytes ? Parse(*bytes) : std::nullopt;
}

void Remove() {
    DataFiles::RemoveFile(FileName);
}

} // namespace SavedGame
