#include "SavedGame.h"

#include "DataFiles.h"
#include "Rules.h"
#include "Seats.h"

#include <QList>
#include <algorithm>

namespace SavedGame {

namespace {
const QString FileName = QStringLiteral("Game.dat");
const QByteArray Header = "Vantrick saved game";
constexpr int Version = 3;

QByteArray Line(const char* key, const std::vector<qint64>& values) {
    QByteArray line(key);
    for (qint64 v : values)
        line += ' ' + QByteArray::number(v);
    return line + '\n';
}

// The numbers after a line's key, each within lo..hi; nothing if any is not.
std::optional<std::vector<int>> Numbers(const QByteArray& text, int lo, int hi) {
    std::vector<int> out;
    for (const QByteArray& f : text.split(' ')) {
        bool good = false;
        const int v = f.toInt(&good);
        if (!good || v < lo || v > hi) return std::nullopt;
        out.push_back(v);
    }
    return out;
}
} // namespace

QByteArray Format(const Snapshot& s) {
    const PlayRecord::Record& r = s.record;
    QByteArray out = Header + '\n';
    out += Line("version", {Version});
    out += "sharp " + QByteArray::number(s.sharpSeed) + '\n';
    size_t a = 0;
    for (size_t h = 0; h < r.deals.size(); ++h) {
        const PlayRecord::Deal& d = r.deals[h];
        std::vector<qint64> deal{d.dealer, d.trumpCard};
        deal.insert(deal.end(), d.order.begin(), d.order.end());
        out += Line("deal", deal);
        // The hand's actions: four bids and four cards a trick (the last hand's so far).
        const size_t end = h + 1 == r.deals.size()
                               ? r.actions.size()
                               : std::min(r.actions.size(), a + 4 + 4 * HandSizeFor(int(h) + 1));
        for (; a < end; ++a)
            out += Line(r.actions[a].bid ? "bid" : "card", {r.actions[a].seat, r.actions[a].value});
    }
    return out + "end\n";
}

std::optional<Snapshot> Parse(const QByteArray& bytes) {
    if (bytes.size() > MaxBytes || !bytes.startsWith(Header + '\n') || !bytes.endsWith("\nend\n"))
        return std::nullopt;
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.size() < 5 || lines[1] != "version " + QByteArray::number(Version) ||
        !lines[2].startsWith("sharp "))
        return std::nullopt;
    Snapshot s;
    const QByteArray seed = lines[2].mid(6);
    bool seedOk = false;
    s.sharpSeed = seed.toULongLong(&seedOk);
    if (!seedOk || seed != QByteArray::number(s.sharpSeed)) return std::nullopt;
    PlayRecord::Record& r = s.record;
    for (qsizetype i = 3; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype space = line.indexOf(' ');
        const QByteArray key = line.left(space);
        const auto v = Numbers(line.mid(space + 1), 0, 52);
        if (space < 0 || !v) return std::nullopt;
        if (key == "deal") {
            // The dealer, the trump card, then the cards dealt: each seat's from the order.
            if (v->size() < 2 || v->size() > 54 || r.deals.size() >= 19) return std::nullopt;
            PlayRecord::Deal d;
            d.dealer = qint8((*v)[0]);
            d.trumpCard = qint8((*v)[1]);
            if (!Seats::IsSeat(d.dealer)) return std::nullopt;
            const auto seats = DealOrder(d.dealer);
            for (size_t k = 2; k < v->size(); ++k) {
                d.order.push_back(qint8((*v)[k]));
                d.holder[size_t((*v)[k])] = qint8(seats[(k - 2) % 4]);
            }
            r.deals.push_back(d);
        } else if ((key == "bid" || key == "card") && v->size() == 2 && Seats::IsSeat((*v)[0]) &&
                   !r.deals.empty()) {
            r.actions.push_back({key == "bid", qint8((*v)[0]), qint8((*v)[1])});
        } else {
            return std::nullopt;
        }
    }
    if (r.deals.empty()) return std::nullopt;
    auto replayed = PlayRecord::Replay(r);
    if (!std::holds_alternative<GameState>(replayed)) return std::nullopt;
    s.state = std::get<GameState>(replayed);
    return s;
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
