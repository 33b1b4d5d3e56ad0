#include "settings.h"

#include "agent/switch_store.h"

#include <QCoreApplication>

QSettings RemindSettings::Store() { return SwitchStore(QCoreApplication::applicationName()); }

ReminderSwitches RemindSettings::Load() { return ReadSwitches(Store()); }

void RemindSettings::Save(const ReminderSwitches& switches) {
    QSettings s = Store();
    WriteSwitches(s, switches);
}
