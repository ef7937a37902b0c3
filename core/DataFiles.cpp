#include "DataFiles.h"

#include "GameState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace DataFiles {

namespace {
QString overrideDir;
QString overrideProgramDir;
bool writing = true;

const QString NameFile = QStringLiteral("Name.dat");
const QString ScoresFile = QStringLiteral("Scores.dat");

QString ProgramDir() {
    return QCoreApplication::applicationDirPath();
}

// Where copies of the data files are looked for when the data directory has none.
QString CopiesDir() {
    if (!overrideProgramDir.isEmpty()) return overrideProgramDir;
    return overrideDir.isEmpty() ? ProgramDir() : overrideDir;
}

// VT_ASSET_DIR: the installed asset directory relative to the program's, when they differ.
// A build that has not been installed finds its assets beside the program.
QString AssetDir() {
#ifdef VT_ASSET_DIR
    const QString installed = QDir::cleanPath(ProgramDir() + QStringLiteral("/" VT_ASSET_DIR));
    if (QFileInfo(installed).isDir()) return installed;
#endif
    return ProgramDir();
}

QString FirstLine(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar::ReplacementCharacter)) text = QString::fromLatin1(bytes);
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end);
}

// The file's bytes from the data directory, or from the program directory's copy the first
// time a per-user directory is used.
std::optional<QByteArray> ReadDataFile(const QString& name, qint64 maxBytes = MaxFileBytes,
                                       bool copies = true) {
    for (const QString& dir : {DataDir(), copies ? CopiesDir() : DataDir()}) {
        const QString path = dir + QLatin1Char('/') + name;
        // Opening a FIFO would block start-up and a device would never end: only a regular
        // file (a link is followed to what it names) of a bounded size is read; anything else
        // is a bad file.
        const QFileInfo info(path);
        if (info.exists() && (!info.isFile() || info.size() > maxBytes)) return std::nullopt;
        QFile f(path);
        if (info.exists() && f.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = f.read(maxBytes + 1);
            if (bytes.size() > maxBytes) return std::nullopt; // grew since it was looked at
            return bytes;
        }
    }
    return std::nullopt;
}

bool WriteDataFile(const QString& name, const QByteArray& bytes) {
    if (!writing) return true;
    const QString dir = DataDir();
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name;
    UnlinkInPlace(path);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    // commit() does not notice a short final flush (disk full), so flush first: a failed
    // write must leave the old file as it was.
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}
} // namespace

void UnlinkInPlace(const QString& path) {
    if (QFileInfo(path).isSymLink()) QFile::remove(path); // the link itself, never what it names
}

QString LimitName(const QString& name) {
    QString limited = name.left(MaxNameLength);
    if (limited.size() < name.size() && limited.back().isHighSurrogate()) limited.chop(1);
    return limited;
}

QString CleanName(const QString& name) {
    QString kept;
    kept.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += name.at(++i);
            continue;
        }
        const QChar::Category kind = c.category();
        if (kind == QChar::Other_Control || kind == QChar::Other_Surrogate || kind == QChar::Separator_Line ||
            kind == QChar::Separator_Paragraph || (c.unicode() >= 0x2066 && c.unicode() <= 0x2069))
            continue;
        kept += c == QLatin1Char('"') ? QChar(QLatin1Char('\'')) : c;
    }
    return LimitName(kept);
}

QString InSentence(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char32_t c = name.at(i).isHighSurrogate() && i + 1 < name.size()
                               ? QChar::surrogateToUcs4(name.at(i), name.at(i + 1))
                               : name.at(i).unicode();
        switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirPDF:
            // First strong isolate ... pop directional isolate.
            return QChar(0x2068) + name + QChar(0x2069);
        default:
            break;
        }
    }
    return name;
}

QByteArray FormatName(const QString& name) {
    return QByteArray("\"") + name.toUtf8() + QByteArray("\"\r\n");
}

std::optional<QString> ParseName(const QByteArray& bytes) {
    const QString line = FirstLine(bytes);
    qsizetype i = 0;
    while (i < line.size() && line.at(i) == QLatin1Char(' '))
        ++i;
    if (i >= line.size()) return std::nullopt;
    if (line.at(i) == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
        return CleanName(close < 0 ? line.mid(i + 1) : line.mid(i + 1, close - i - 1));
    }
    const qsizetype comma = line.indexOf(QLatin1Char(','), i);
    QString field = comma < 0 ? line.mid(i) : line.mid(i, comma - i);
    while (field.endsWith(QLatin1Char(' ')) || field.endsWith(QLatin1Char('\t')))
        field.chop(1);
    return CleanName(field);
}

QByteArray FormatScores(const std::array<qint16, 5>& won) {
    return QStringLiteral("%1,%2,%3,%4\r\n").arg(won[1]).arg(won[2]).arg(won[3]).arg(won[4]).toLatin1();
}

std::array<qint16, 5> ParseScores(const QByteArray& bytes) {
    std::array<qint16, 5> won{};
    const QStringList fields = FirstLine(bytes).split(QLatin1Char(','));
    for (int seat = 1; seat <= 4 && seat <= fields.size(); ++seat) {
        const QString field = fields.at(seat - 1).trimmed();
        bool ok = false;
        const qlonglong v = field.toLongLong(&ok);
        if (ok)
            won[seat] = static_cast<qint16>(std::clamp<qlonglong>(v, 0, 32767));
        else if (!field.isEmpty() && std::all_of(field.begin(), field.end(), [](QChar c) {
                     return c >= QLatin1Char('0') && c <= QLatin1Char('9');
                 }))
            won[seat] = 32767; // too many digits for any integer: held at the top
    }
    return won;
}

QString AssetPath(const QString& file) {
    return AssetDir() + QLatin1Char('/') + file;
}

QString DataDir() {
    if (!overrideDir.isEmpty()) return overrideDir;
    const QString dir = ProgramDir();
    if (QFileInfo(dir).isWritable() && AssetDir() == dir) return dir;
    // An installed game cannot, or in a distribution's layout must not, write beside itself:
    // keep the player's files per user.
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void SetWriting(bool enabled) {
    writing = enabled;
}

bool Writing() {
    return writing;
}

void SetDataDirOverride(const QString& dir, const QString& programDir) {
    overrideDir = dir;
    overrideProgramDir = programDir;
}

QString LoadName() {
    const auto bytes = ReadDataFile(NameFile);
    if (!bytes) return QStringLiteral("Player");
    return ParseName(*bytes).value_or(QStringLiteral("Player"));
}

bool SaveName(const QString& name) {
    return WriteDataFile(NameFile, FormatName(name));
}

void LoadStatistics(GameState& G) {
    const auto bytes = ReadDataFile(ScoresFile);
    G.GamesWon = bytes ? ParseScores(*bytes) : std::array<qint16, 5>{};
}

bool SaveStatistics(const GameState& G) {
    return WriteDataFile(ScoresFile, FormatScores(G.GamesWon));
}

std::optional<QByteArray> ReadFile(const QString& name, qint64 maxBytes) {
    // Only the player's own: a copy beside the program could never be dropped.
    return ReadDataFile(name, maxBytes, false);
}

bool WriteFile(const QString& name, const QByteArray& bytes) {
    return WriteDataFile(name, bytes);
}

bool RemoveFile(const QString& name) {
    if (!writing) return true;
    const QString path = DataDir() + QLatin1Char('/') + name;
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace DataFiles
