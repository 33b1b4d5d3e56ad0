// The main window with the pages the program really has.
#include "app/main_dlg.h"
#include "app/page.h"
#include "gui_test_support.h"
#include "pages/page_registry.h"
#include "records/data_files.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

namespace {

bool Has(const PageFactories& f, int id) {
    for (const PageFactory& p : f)
        if (p.templateId == id) return true;
    return false;
}

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantorel"),
                     QCoreApplication::applicationName());
}

void Select(CMainDlg& dlg, const QString& text) {
    auto* tree = FindCtl<QTreeWidget>(&dlg, 1001);
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    tree->setCurrentItem(found.first());
}

class RealPages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        old_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        vantorel::TheBook().Clear();
        Store().clear();
    }
    void TearDown() override {
        QDir::setCurrent(old_);
        vantorel::TheBook().Clear();
    }
    std::unique_ptr<CMainDlg> Start() {
        auto dlg = std::make_unique<CMainDlg>(AllPageFactories());
        dlg->Initialise();
        dlg->show();
        dlg->ShowStartMessages();
        return dlg;
    }
    QTemporaryDir dir_;
    QString old_;
    MessageRecorder boxes_;
};

} // namespace

TEST_F(RealPages, AClearedSwitchSurvivesARestart) {
    if (!Has(AllPageFactories(), 176)) GTEST_SKIP() << "no reminder settings page yet";
    auto dlg = Start();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    Select(*dlg, "其它提醒");
    auto* clients = FindCtl<QCheckBox>(dlg->Page(176), 1203);
    ASSERT_TRUE(clients->isChecked());
    clients->click();
    EXPECT_EQ(dlg->Switches().clients, 0);
    dlg->close();
    dlg.reset();
    EXPECT_EQ(Store().value("AWOKE/QLKHSR").toInt(), 0);
    EXPECT_EQ(Store().value("AWOKE/TBRSR").toInt(), 1);
    for (const char* f : vantorel::kDataFileNames) EXPECT_EQ(QFileInfo(dir_.filePath(f)).size(), 4) << f;

    vantorel::TheBook().Clear();
    dlg = Start();
    EXPECT_FALSE(FindCtl<QCheckBox>(dlg->Page(176), 1203)->isChecked());
    EXPECT_TRUE(FindCtl<QCheckBox>(dlg->Page(176), 1204)->isChecked());
    EXPECT_EQ(dlg->Switches().clients, 0);
}

TEST_F(RealPages, EveryNodeShowsItsPageAndAHalfFilledFormSurvives) {
    const PageFactories pages = AllPageFactories();
    if (!Has(pages, 140)) GTEST_SKIP() << "no potential-client page yet";
    auto dlg = Start();
    Select(*dlg, "潜力客户资料");
    TypeInto(dlg->Page(140), 1055, "half");
    const struct {
        const char* node;
        int page;
    } route[] = {{"添加保单资料", 136}, {"查询保单资料", 137}, {"统计与决策", 180}, {"成员资料", 174},
                 {"日程提醒", 175},     {"其它提醒", 176},     {"团队管理", 179},   {"潜力客户资料", 140}};
    for (const auto& r : route) {
        Select(*dlg, QString::fromUtf8(r.node));
        for (int id : {136, 137, 140, 174, 175, 176, 179, 180})
            EXPECT_EQ(dlg->Page(id)->isVisible(), id == r.page) << r.node << " page " << id;
        EXPECT_EQ(dlg->Page(r.page)->objectName(), QString::number(r.page));
    }
    EXPECT_EQ(TextOf(dlg->Page(140), 1055), "half");
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
}
