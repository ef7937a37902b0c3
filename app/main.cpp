#include "Game.h"
#include "Platform.h"
#include "Probe.h"
#include "Table.h"
#include "Waits.h"

#include <QApplication>
#include <QMutex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char* const UsageLine = "Usage: vantrick [--help | --version]\n";
const char* const HelpText = "\n"
                             "Vantrick is a four-handed trick-taking card game: you and three computer\n"
                             "opponents each bid the exact number of tricks you mean to take.\n"
                             "\n"
                             "  --help     show this help and exit\n"
                             "  --version  show the version and exit\n"
                             "\n"
                             "Qt's own options (such as -platform, -style or -reverse) are passed to Qt.\n"
                             "\n"
                             "The keys, and where your name (Name.dat) and games won (Scores.dat) are\n"
                             "kept, are described in vantrick(6).\n";

// Qt ends the program with abort() when its platform plugin cannot start, as with no display
// at all. While the application object is made, Qt's messages are held back: if that ends in
// the fatal message the player gets one line and status 1, and otherwise they are passed on.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> held;
QMutex heldLock;
QtMessageHandler passOn = nullptr;

QByteArray NoDisplayLine() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray x11 = qgetenv("DISPLAY"), wayland = qgetenv("WAYLAND_DISPLAY");
    if (!platform.isEmpty()) return "cannot start the display platform \"" + platform + '"';
    if (x11.isEmpty() && wayland.isEmpty())
        return "needs a graphical display, but neither DISPLAY nor WAYLAND_DISPLAY is set";
    return "cannot open the graphical display \"" + (x11.isEmpty() ? wayland : x11) + '"';
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "vantrick: %s\n", NoDisplayLine().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type == QtFatalMsg) return passOn(type, context, text);
    const QMutexLocker lock(&heldLock);
    held.push_back({type, QByteArray(context.category), text});
}

void PassHeldMessagesOn() {
    qInstallMessageHandler(passOn);
    const QMutexLocker lock(&heldLock);
    for (const HeldMessage& m : held)
        passOn(m.type, QMessageLogContext(nullptr, 0, nullptr, m.category.constData()), m.text);
    held.clear();
}

// How many arguments Qt's own option `arg` (either -name or --name) takes from those after
// it, or -1 when it is no option of Qt's. The game has no options of its own but --help and
// --version: any other argument is a mistake, reported as QCommandLineParser would.
int QtOptionValues(const char* arg) {
    static const char* const withValue[] = {"platform",
                                            "platformpluginpath",
                                            "platformtheme",
                                            "plugin",
                                            "qwindowgeometry",
                                            "qwindowicon",
                                            "qwindowtitle",
                                            "session",
                                            "display",
                                            "geometry",
                                            "title",
                                            "icon",
                                            "name",
                                            "style",
                                            "stylesheet"};
    static const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    if (arg[0] != '-') return -1;
    const char* name = arg[1] == '-' ? arg + 2 : arg + 1;
    const char* equals = std::strchr(name, '=');
    const size_t length = equals ? size_t(equals - name) : std::strlen(name);
    const auto is = [&](const char* option) {
        return std::strlen(option) == length && std::strncmp(name, option, length) == 0;
    };
    for (const char* option : withValue)
        if (is(option)) return equals ? 0 : 1;
    if (is("qmljsdebugger") && equals) return 0;
    for (const char* option : flags)
        if (is(option) && !equals) return 0;
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    Probe::Mark("main");
    // Answered before anything graphical is made, so they work with no display. A mistake
    // anywhere is reported first, even beside --help.
    bool help = false, version = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            help = true;
        } else if (std::strcmp(argv[i], "--version") == 0) {
            version = true;
        } else if (const int values = QtOptionValues(argv[i]); values >= 0 && i + values < argc) {
            i += values;
        } else {
            const char* what = values >= 0         ? "missing value after option"
                               : argv[i][0] == '-' ? "unknown option"
                                                   : "unexpected argument";
            std::fprintf(stderr, "vantrick: %s '%s'\n%s", what, argv[i], UsageLine);
            return 2;
        }
    }
    if (help) {
        std::fputs(UsageLine, stdout);
        std::fputs(HelpText, stdout);
        return 0;
    }
    if (version) {
        std::printf("vantrick %s\n", AppVersion().toUtf8().constData());
        return 0;
    }

    passOn = qInstallMessageHandler(HoldMessage);
    QApplication app(argc, argv);
    PassHeldMessagesOn();
    QApplication::setApplicationName(QStringLiteral("Vantrick"));
    QApplication::setOrganizationName(QStringLiteral(VT_ORG));
    QApplication::setOrganizationDomain(QStringLiteral("vantrick.org"));
    QApplication::setApplicationVersion(AppVersion());
    QApplication::setDesktopFileName(QStringLiteral(VT_APP_ID));
    // The one game of the run, and the window that shows it; the table goes before the game.
    Game game;
    Table table(game);
    Probe::Install(&table);

    Waits::RunChain([&table] { table.Form_Load(); });
    if (Waits::Exiting()) return 0;
    return QApplication::exec();
}
