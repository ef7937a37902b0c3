#pragma once
// The few things the About box needs from the operating system: the application's title
// and version, a registry read, and the start of the System Information tool. Only Windows
// has the registry and the tool; elsewhere the read fails and the box says the tool is
// unavailable.

#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

// The application's title, as the standard message box shows it.
QString AppTitle();
// "major.minor.revision" of this build.
QString AppVersion();

// The registry root HKEY_LOCAL_MACHINE, as the Windows headers define its handle.
inline constexpr qintptr KeyRootLocalMachine = static_cast<qintptr>(static_cast<qint32>(0x80000002u));

// Reads the value SubKeyRef of the key KeyName under KeyRoot into KeyVal. A string value
// is returned as it stands, a 32-bit number as its decimal text. Returns false (KeyVal
// empty) when the key or the value cannot be read, and always off Windows.
bool GetKeyValue(qintptr KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

// Starts the System Information tool, or tells the user (over parent) that it is
// unavailable. An error on the way only leads to that message. The message waits through
// Waits::RunModal, so call this inside a chain (Waits::RunChain).
void StartSysInfo(QWidget* parent);

// Tests put these in place to play another platform's registry and program start;
// by default they are GetKeyValue and a detached start of the program.
extern std::function<bool(qintptr, const QString&, const QString&, QString&)> SysInfoKeyReader;
extern std::function<bool(const QString&)> SysInfoStarter;
