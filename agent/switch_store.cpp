#include "switch_store.h"

namespace {

// Keys, in the order they are written.
constexpr const char* kCalendar = "CALENDAR";
constexpr const char* kInsured = "BTBRSR";
constexpr const char* kHolder = "TBRSR";
constexpr const char* kClients = "QLKHSR";
constexpr const char* kMembers = "TDCRSR";
constexpr const char* kPremium = "XQJFSR";

QString Key(const char* key) { return QStringLiteral("AWOKE/") + QLatin1String(key); }

int Read(const QSettings& s, const char* key) {
    bool ok = false;
    const int v = s.value(Key(key), 1).toInt(&ok);
    return ok ? v : 1;
}

} // namespace

QSettings SwitchStore(const QString& application) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantorel"), application);
}

ReminderSwitches ReadSwitches(const QSettings& s) {
    ReminderSwitches r;
    r.calendar = Read(s, kCalendar);
    r.holder = Read(s, kHolder);
    r.insured = Read(s, kInsured);
    r.clients = Read(s, kClients);
    r.members = Read(s, kMembers);
    r.premium = Read(s, kPremium);
    return r;
}

void WriteSwitches(QSettings& s, const ReminderSwitches& switches) {
    s.setValue(Key(kCalendar), switches.calendar);
    s.setValue(Key(kInsured), switches.insured);
    s.setValue(Key(kHolder), switches.holder);
    s.setValue(Key(kClients), switches.clients);
    s.setValue(Key(kMembers), switches.members);
    s.setValue(Key(kPremium), switches.premium);
    s.sync();
}
