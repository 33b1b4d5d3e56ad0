#include "app/settings.h"
#include "gui_test_support.h"
#include "pages/schedule/remind_settings_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QSettings>
#include <memory>

namespace {

struct RemindSettingsPage : testing::Test {
    void SetUp() override {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Vantorel", QCoreApplication::applicationName())
            .clear();
    }
};

TEST_F(RemindSettingsPage, EmptyStoreTicksAllFourInScreenOrder) {
    CRemindSettingsPage page;
    EXPECT_EQ(page.objectName(), "176");
    const char* captions[] = {"保单投保人生日提醒", "保单被保险人生日提醒", "潜力客户生日提醒", "团队成员生日提醒"};
    int lastY = -1;
    for (int i = 0; i < 4; ++i) {
        auto* box = FindCtl<QCheckBox>(&page, 1201 + i);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromUtf8(captions[i]));
        EXPECT_TRUE(box->isChecked());
        EXPECT_GT(box->y(), lastY);
        lastY = box->y();
    }
    auto* group = page.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "生日提醒");
}

TEST_F(RemindSettingsPage, EachKeyFeedsItsOwnBoxAndClicksReachTheSwitchesAtOnce) {
    RemindSettings::Write(RemindSettings::kHolder, 0);
    RemindSettings::Write(RemindSettings::kMembers, 0);
    auto page = std::make_unique<CRemindSettingsPage>();
    EXPECT_FALSE(FindCtl<QCheckBox>(page.get(), 1201)->isChecked());
    EXPECT_TRUE(FindCtl<QCheckBox>(page.get(), 1202)->isChecked());
    EXPECT_TRUE(FindCtl<QCheckBox>(page.get(), 1203)->isChecked());
    EXPECT_FALSE(FindCtl<QCheckBox>(page.get(), 1204)->isChecked());

    Press(page.get(), 1203); // clients off
    Press(page.get(), 1201); // holders on
    ReminderSwitches s;
    page->CollectSwitches(s);
    EXPECT_EQ(s.holder, 1);
    EXPECT_EQ(s.insured, 1);
    EXPECT_EQ(s.clients, 0);
    EXPECT_EQ(s.members, 0);
    EXPECT_EQ(s.calendar, 1); // not this page's

    // Written as the main window does at close, read by the next page.
    RemindSettings::Write(RemindSettings::kInsured, s.insured);
    RemindSettings::Write(RemindSettings::kHolder, s.holder);
    RemindSettings::Write(RemindSettings::kClients, s.clients);
    RemindSettings::Write(RemindSettings::kMembers, s.members);
    page = std::make_unique<CRemindSettingsPage>();
    EXPECT_TRUE(FindCtl<QCheckBox>(page.get(), 1201)->isChecked());
    EXPECT_FALSE(FindCtl<QCheckBox>(page.get(), 1203)->isChecked());
    EXPECT_FALSE(FindCtl<QCheckBox>(page.get(), 1204)->isChecked());
}

} // namespace
