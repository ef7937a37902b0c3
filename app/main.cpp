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

const char* const HelpText = "Usage: vantrick [--help | --version]\n"
                             "\n"
                             "Vantrick is a four-handed trick-taking card game: you and three computer\n"
                             "opponents each bid the exact number of tricks you mean to take.\n"
                             "\n"
                             "  --help     show this help and exit\n"
                             "  --version  show the version and exit\n"
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

} // namespace

int main(int argc, char* argv[]) {
    Probe::Mark("main");
    // Answered before anything graphical is made, so they work with no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(HelpText, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vantrick %s\n", AppVersion().toUtf8().constData());
            return 0;
        }
    }

    passOn = qInstallMessageHandler(HoldMessage);
    QApplication app(argc, argv);
    PassHeldMessagesOn();
    QApplication::setApplicationName(QStringLiteral("Vantrick"));
    QApplication::setOrganizationName(QStringLiteral(VT_ORG));
    QApplication::setOrganizationDomain(QStringLiteral("vantrick.org"));
    QApplication::setApplicationVersion(AppVersion());
    QApplication::setDesktopFileName(QStringLiteral(VT_APP_ID));
    Probe::Install();

    Waits::RunChain([] { TableForm().Form_Load(); });
    if (Waits::Exiting()) return 0;
    return QApplication::exec();
}
