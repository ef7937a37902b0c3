#include "Platform.h"

#include "Waits.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <exception>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

QString AppTitle() {
    return QStringLiteral("VantrickII");
}

QString AppVersion() {
    return QStringLiteral("%1.%2.%3").arg(VT_VERSION_MAJOR).arg(VT_VERSION_MINOR).arg(VT_VERSION_PATCH);
}

#ifdef Q_OS_WIN

bool GetKeyValue(qintptr KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) {
    // Read access with every right specific to keys; a key it may not open simply sends
    // StartSysInfo on to its next source.
    constexpr REGSAM KeyAccess = 0x2003F;
    constexpr DWORD BufferSize = 1024;

    HKEY hKey = nullptr;
    const QByteArray keyName = KeyName.toLocal8Bit();
    if (RegOpenKeyExA(reinterpret_cast<HKEY>(KeyRoot), keyName.constData(), 0, KeyAccess, &hKey) !=
        ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }

    QByteArray buffer(BufferSize, '\0');
    DWORD size = BufferSize;
    DWORD type = 0;
    const QByteArray valueName = SubKeyRef.toLocal8Bit();
    if (RegQueryValueExA(hKey, valueName.constData(), nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()),
                         &size) != ERROR_SUCCESS) {
        KeyVal.clear();
        RegCloseKey(hKey);
        return false;
    }

    // A string comes back with its terminating zero counted in the size.
    buffer.truncate(static_cast<int>(size));
    if (!buffer.isEmpty() && buffer.back() == '\0') buffer.chop(1);

    KeyVal.clear();
    if (type == REG_SZ) {
        KeyVal = QString::fromLocal8Bit(buffer);
    } else if (type == REG_DWORD) {
        // The number is stored low byte first: read it back high byte first.
        QString hex;
        for (qsizetype i = buffer.size() - 1; i >= 0; --i)
            hex += QStringLiteral("%1").arg(static_cast<uchar>(buffer.at(i)), 2, 16, QLatin1Char('0'));
        KeyVal = QString::number(hex.toULongLong(nullptr, 16));
    }

    RegCloseKey(hKey);
    return true;
}

#else

bool GetKeyValue(qintptr KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) {
    // No registry here: every read fails, as an unreadable key does on Windows.
    Q_UNUSED(KeyRoot)
    Q_UNUSED(KeyName)
    Q_UNUSED(SubKeyRef)
    KeyVal.clear();
    return false;
}

#endif

std::function<bool(qintptr, const QString&, const QString&, QString&)> SysInfoKeyReader = GetKeyValue;
std::function<bool(const QString&)> SysInfoStarter = [](const QString& path) {
    return QProcess::startDetached(path, {});
};

namespace {

void ShowSysInfoUnavailable(QWidget* parent) {
    // A message box object rather than the static helper: it waits through the game's one
    // wait (so an exit meanwhile unwinds cleanly) and can be found by its name. The parent
    // may be unloaded while the box waits, so hold the box loosely and take it down however
    // the wait ends.
    QPointer<QMessageBox> box = new QMessageBox(
        QMessageBox::Information, AppTitle(),
        QStringLiteral("System Information Is Unavailable At This Time"), QMessageBox::Ok, parent);
    const auto takeDown = qScopeGuard([&box] { delete box.data(); });
    box->setObjectName(QStringLiteral("SysInfoUnavailable"));
    Waits::RunDialog(*box);
}

} // namespace

void StartSysInfo(QWidget* parent) {
    QPointer<QWidget> owner = parent;
    bool started = false;
    try {
        QString SysInfoPath;
        bool found =
            SysInfoKeyReader(KeyRootLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                             QStringLiteral("PATH"), SysInfoPath);
        if (!found && SysInfoKeyReader(KeyRootLocalMachine,
                                       QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                                       QStringLiteral("MSINFO"), SysInfoPath)) {
            // Only the directory is registered here; the tool must really be in it.
            SysInfoPath += QStringLiteral("\\MSINFO32.EXE");
            found = QFileInfo::exists(SysInfoPath);
        }
        started = found && SysInfoStarter(SysInfoPath);
    } catch (const std::exception&) {
        // A registry read or a program start that fails on the way (or a missing reader or
        // starter: std::bad_function_call) leaves the user simply without the tool.
        started = false;
    }
    if (!started) ShowSysInfoUnavailable(owner);
}
