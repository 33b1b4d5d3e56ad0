#include "settings.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

// Keys, in the order they are written.
constexpr const char* kCalendar = "CALENDAR";
constexpr const char* kInsured = "BTBRSR";
constexpr const char* kHolder = "TBRSR";
constexpr const char* kClients = "QLKHSR";
constexpr const char* kMembers = "TDCRSR";
constexpr const char* kPremium = "XQJFSR";

int Read(const QSettings& s, const char* key) {
    bool ok = false;
    const int v = s.value(QStringLiteral("AWOKE/") + QLatin1String(key), 1).toInt(&ok);
    return ok ? v : 1;
}

} // namespace

QSettings RemindSettings::Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantorel"),
                     QCoreApplication::applicationName());
}

ReminderSwitches RemindSettings::Load() {
    const QSettings s = Store();
    ReminderSwitches r;
    r.calendar = Read(s, kCalendar);
    r.holder = Read(s, kHolder);
    r.insured = Read(s, kInsured);
    r.clients = Read(s, kClients);
    r.members = Read(s, kMembers);
    r.premium = Read(s, kPremium);
    return r;
}

void RemindSettings::Save(const ReminderSwitches& switches) {
    QSettings s = Store();
    s.setValue(QStringLiteral("AWOKE/") + QLatin1String(kCalendar), switches.calendar);
    s.setValue(QStringLiteral("AWOKE/") + QLatin1String(kInsured), switches.insured);
    s.setValue(QStringLiteral("AWOKE/") + QLatin1String(kHolder), switches.holder);
    s.setValue(QStringLiteral("AWOKE/") + QLatin1String(kClients), switches.clients);
    s.setValue(QStringLiteral("AWOKE/") + QLatin1String(kMembers), switches.members);
    s.setValue(QStringLiteral("AWOKE/") + QLatin1String(kPremium), switches.premium);
    s.sync();
}
