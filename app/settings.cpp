#include "settings.h"

#include <QCoreApplication>
#include <QSettings>

#define VANTOREL_STORE(s)                                                                              \
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantorel"),               \
                QCoreApplication::applicationName())

int RemindSettings::Read(const char* key) {
    VANTOREL_STORE(s);
    bool ok = false;
    const int v = s.value(QStringLiteral("AWOKE/") + QLatin1String(key), 1).toInt(&ok);
    return ok ? v : 1;
}

void RemindSettings::Write(const char* key, int value) {
    VANTOREL_STORE(s);
    s.setValue(QStringLiteral("AWOKE/") + QLatin1String(key), value);
    s.sync();
}
