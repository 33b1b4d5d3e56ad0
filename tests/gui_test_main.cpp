// main() of every window test: the real application object and theme on
// Qt's offscreen platform, with the settings store in a temporary folder.
#include "app/agent_app.h"
#include "app/settings.h"
#include "theme/control_skin.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    CAgentApp app(argc, argv);
#ifdef _WIN32
    // The native store is the registry there, which setPath cannot move: this
    // test program's own key (named after it) starts empty and is removed after.
    RemindSettings::Store().clear();
#endif
    EnableControlSkin(nullptr, true);
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
#ifdef _WIN32
    RemindSettings::Store().clear();
#endif
    return failed;
}
