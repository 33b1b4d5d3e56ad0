// main() of every window test: the real application object and theme on
// Qt's offscreen platform, with the settings store in a temporary folder.
#include "app/agent_app.h"
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
    EnableControlSkin(nullptr, true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
