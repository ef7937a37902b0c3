#include "Options.h"

#include "DataFiles.h"
#include "Pacing.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <iterator>

namespace Options {

namespace {
const char* const Keys[] = {"Play/QuickPlay", "Play/CarryOnByItself", "Play/ShowPlayableCards",
                            "Play/SoundOff", "Play/FourColourSuits"};
constexpr int KeyCount = int(std::size(Keys));

bool* Field(Choices& c, int i) {
    bool* const fields[] = {&c.quickPlay, &c.carryOnByItself, &c.showPlayable, &c.soundOff, &c.fourColour};
    static_assert(std::size(fields) == KeyCount);
    return fields[i];
}

// The file may be read (and merged with on writing) only when it is a small regular file or
// not there at all. QSettings reads the whole file, whatever it is.
bool SafeToOpen(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.size() <= MaxFileBytes);
}

// Only what QSettings itself writes for a choice turns it on: a value of any other type or
// text leaves it off.
bool IsOn(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    return v.typeId() == QMetaType::QString && v.toString() == QLatin1String("true");
}
const char* const LookTimeKey = "Play/LookTime";

// A look time is one of those on offer, in milliseconds as written; anything else is the
// standard look.
int LookTimeOf(const QVariant& v) {
    bool ok = false;
    const int ms = v.typeId() == QMetaType::QString ? v.toString().toInt(&ok) : 0;
    return ok && std::ranges::find(Pacing::LookTimes, ms) != std::end(Pacing::LookTimes) ? ms : 0;
}

// The opponents are kept by name. Before there were three, a tick kept for the sharp ones
// stood for them: it still means Sharp, its absence Classic.
const char* const OpponentsKey = "Play/Opponents";
const char* const OldSharpKey = "Play/SharpOpponents";
const char* const LevelNames[] = {"Classic", "Sharp", "Expert"};

Sharp::Level LoadLevel(const QSettings& s) {
    const QVariant v = s.value(QLatin1String(OpponentsKey));
    for (int i = 0; i < int(std::size(LevelNames)); ++i)
        if (v.typeId() == QMetaType::QString && v.toString() == QLatin1String(LevelNames[i]))
            return Sharp::Level(i);
    return IsOn(s.value(QLatin1String(OldSharpKey))) ? Sharp::Level::Sharp : Sharp::Level::Classic;
}
} // namespace

Choices& Current() {
    static Choices current;
    return current;
}

// Where QSettings() keeps the application's file in its default format, named outright: the
// default constructor would also read the organisation's file and the system's, and it reads
// whatever it opens at once, before its name could be looked at.
QString FilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           QCoreApplication::organizationName() + QLatin1Char('/') + QCoreApplication::applicationName() +
           QLatin1String(".conf");
}

Choices Load() {
    Choices c;
    const QString path = FilePath();
    if (!SafeToOpen(path)) return c;
    const QSettings s(path, QSettings::NativeFormat);
    if (s.status() != QSettings::NoError) return c;
    for (int i = 0; i < KeyCount; ++i)
        *Field(c, i) = IsOn(s.value(QLatin1String(Keys[i])));
    c.lookTimeMs = LookTimeOf(s.value(QLatin1String(LookTimeKey)));
    c.opponents = LoadLevel(s);
    return c;
}

bool Save(const Choices& choices) {
    const QString path = FilePath();
    DataFiles::UnlinkInPlace(path);
    if (!SafeToOpen(path)) return false;
    QSettings s(path, QSettings::NativeFormat);
    Choices c = choices;
    for (int i = 0; i < KeyCount; ++i)
        s.setValue(QLatin1String(Keys[i]), *Field(c, i));
    s.setValue(QLatin1String(LookTimeKey), QString::number(c.lookTimeMs));
    s.setValue(QLatin1String(OpponentsKey), QLatin1String(LevelNames[int(c.opponents)]));
    s.remove(QLatin1String(OldSharpKey));
    s.sync();
    return s.status() == QSettings::NoError;
}

double PaceFactor() {
    return Current().quickPlay ? Pacing::Quick : 1.0;
}

qint64 TrickLookMs() {
    if (!Current().carryOnByItself) return -1;
    if (Current().lookTimeMs > 0) return Current().lookTimeMs;
    return Current().quickPlay ? Pacing::QuickTrickLook : Pacing::TrickLook;
}

} // namespace Options
