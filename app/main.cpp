#include "Probe.h"
#include "Table.h"
#include "Waits.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    Probe::Mark("main");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrick"));
    QApplication::setOrganizationName(QStringLiteral(VT_ORG));
    QApplication::setOrganizationDomain(QStringLiteral("vantrick.org"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(VT_VERSION_MAJOR).arg(VT_VERSION_MINOR).arg(VT_VERSION_PATCH));
    QApplication::setDesktopFileName(QStringLiteral(VT_APP_ID));
    Probe::Install();

    Waits::RunChain([] { TableForm().Form_Load(); });
    if (Waits::Exiting()) return 0;
    return QApplication::exec();
}
