// The five reminder switches in section AWOKE of the per-user settings store
// (QSettings: the registry on Windows, an INI file under ~/.config on Linux).
#pragma once

#include <QString>

class RemindSettings {
public:
    // Keys, in the order they are written at close.
    static constexpr const char* kCalendar = "CALENDAR";
    static constexpr const char* kInsured = "BTBRSR";
    static constexpr const char* kHolder = "TBRSR";
    static constexpr const char* kClients = "QLKHSR";
    static constexpr const char* kMembers = "TDCRSR";

    // A missing value reads 1.
    static int Read(const char* key);
    static void Write(const char* key, int value);
};
