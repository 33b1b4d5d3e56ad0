#include "app/agent_app.h"
#include "app/main_dlg.h"
#include "app/page.h"
#include "app/settings.h"
#include "gui_test_support.h"
#include "records/archive.h"
#include "records/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

const char* const kKeys[] = {"CALENDAR", "TBRSR", "BTBRSR", "QLKHSR", "TDCRSR"};

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantorel"),
                     QCoreApplication::applicationName());
}

QByteArray Bytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A page that logs what the main window asks of it, holds one typed field
// and may hold a reminder switch.
struct Log {
    QStringList calls;
};
class TestPage : public CPage {
public:
    TestPage(const tmpl::Window& t, QWidget* parent, Log* log, int* clients = nullptr)
        : CPage(t, parent), log_(log), clients_(clients) {}
    void OnSelected() override { log_->calls << objectName() + ":selected:" + (isHidden() ? "hidden" : "shown"); }
    void OnShown() override { log_->calls << objectName() + ":shown:" + (isHidden() ? "hidden" : "shown"); }
    void CollectSwitches(ReminderSwitches& s) const override {
        if (clients_) s.clients = *clients_;
    }

private:
    Log* log_;
    int* clients_;
};

const tmpl::Window& FormTemplate(int id) {
    static std::map<int, tmpl::Window> windows;
    auto it = windows.find(id);
    if (it == windows.end())
        it = windows.emplace(id, tmpl::Window{id, 346, 358, "宋体", 9, {{1040, tmpl::Kind::Edit, 10, 10, 100, 12}}})
                 .first;
    return it->second;
}

PageFactories TestPages(Log* log, int* clients = nullptr) {
    PageFactories f;
    for (int id : {136, 137, 140, 174, 175, 176, 180})
        f.push_back({id, [=](PageHost*, QWidget* parent) -> CPage* {
                         return new TestPage(FormTemplate(id), parent, log, id == 176 ? clients : nullptr);
                     }});
    return f;
}

QTreeWidgetItem* Node(CMainDlg& dlg, const QString& text) {
    auto* tree = FindCtl<QTreeWidget>(&dlg, 1001);
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

void Select(CMainDlg& dlg, const QString& text) { FindCtl<QTreeWidget>(&dlg, 1001)->setCurrentItem(Node(dlg, text)); }

// The one page not hidden, or 0.
int VisiblePage(CMainDlg& dlg) {
    int visible = 0;
    for (int id : {136, 137, 140, 174, 175, 176, 179, 180})
        if (dlg.Page(id) && !dlg.Page(id)->isHidden()) {
            EXPECT_EQ(visible, 0) << "two pages shown";
            visible = id;
        }
    return visible;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        old_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        vantorel::TheBook().Clear();
        Store().clear();
    }
    void TearDown() override {
        vantorel::SetStorageFaultHook({});
        QDir::setCurrent(old_);
        vantorel::TheBook().Clear();
    }
    // A main window started as the program starts it, at a fixed moment.
    std::unique_ptr<CMainDlg> Start(PageFactories pages = {}, QDateTime now = QDateTime(QDate(2004, 5, 29), QTime(5, 40, 30))) {
        auto dlg = std::make_unique<CMainDlg>(std::move(pages));
        dlg->SetClock([now] { return now; });
        dlg->Initialise();
        dlg->ShowStartMessages();
        return dlg;
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
    QString old_;
    MessageRecorder boxes_;
};

} // namespace

TEST_F(MainWindow, FirstRunShowsNothingAndLeavesFourEmptyFilesAndFiveSwitches) {
    auto dlg = Start();
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
    EXPECT_EQ(dlg->objectName(), "102");
    const ReminderSwitches s = dlg->Switches();
    EXPECT_EQ(s.calendar + s.holder + s.insured + s.clients + s.members, 5);
    // The welcome page is what the user sees first; placeholders stand in for pages not written.
    EXPECT_EQ(VisiblePage(*dlg), 179);
    EXPECT_EQ(dlg->Page(136)->objectName(), "136");
    EXPECT_EQ(TextOf(dlg.get(), 1223), "今日提醒");
    EXPECT_EQ(TextOf(dlg.get(), 1222), "备份数据");
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1171)->text(), "Tessaly工作室   荣誉出品");
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1198)->text(), "2004年5月29日");
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1199)->text(), "星期六");
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1200)->text(), "5:40:30");
    auto* tree = FindCtl<QTreeWidget>(dlg.get(), 1001);
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "客户管理");
    EXPECT_EQ(tree->topLevelItem(0)->child(3)->text(0), "统计与决策");
    EXPECT_EQ(tree->topLevelItem(2)->child(1)->text(0), "其它提醒");
    EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());
    for (const char* f : vantorel::kDataFileNames) EXPECT_FALSE(QFile::exists(Path(f)));

    dlg->close();
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    for (const char* f : vantorel::kDataFileNames) EXPECT_EQ(Bytes(Path(f)), QByteArray(4, '\0')) << f;
    QSettings store = Store();
    for (const char* k : kKeys) EXPECT_EQ(store.value(QStringLiteral("AWOKE/") + k).toInt(), 1) << k;
}

TEST_F(MainWindow, ASwitchSetToZeroSurvivesARestart) {
    Log log;
    int clients = 0;
    Start(TestPages(&log, &clients)).reset();
    EXPECT_EQ(Store().value("AWOKE/QLKHSR").toInt(), 0);
    EXPECT_EQ(Store().value("AWOKE/TDCRSR").toInt(), 1);
    // Without a page holding it, the stored value is what the next start uses and writes back.
    auto dlg = Start();
    EXPECT_EQ(dlg->Switches().clients, 0);
    EXPECT_EQ(dlg->Switches().members, 1);
    dlg.reset();
    EXPECT_EQ(Store().value("AWOKE/QLKHSR").toInt(), 0);
}

TEST_F(MainWindow, PageSwitchingShowsOnePageAndKeepsHalfFilledForms) {
    Log log;
    auto dlg = Start(TestPages(&log));
    EXPECT_EQ(VisiblePage(*dlg), 179);
    Select(*dlg, "潜力客户资料");
    EXPECT_EQ(VisiblePage(*dlg), 140);
    // The window asks the page to prepare while hidden, then tells it once shown.
    EXPECT_EQ(log.calls, QStringList({"140:selected:hidden", "140:shown:shown"}));
    TypeInto(dlg->Page(140), 1040, "half filled");
    const struct {
        const char* node;
        int page;
    } route[] = {{"添加保单资料", 136}, {"查询保单资料", 137}, {"统计与决策", 180}, {"成员资料", 174},
                 {"日程提醒", 175},     {"其它提醒", 176},     {"团队管理", 179},   {"提醒管理", 179},
                 {"客户管理", 179}};
    for (const auto& r : route) {
        Select(*dlg, QString::fromUtf8(r.node));
        EXPECT_EQ(VisiblePage(*dlg), r.page) << r.node;
    }
    Select(*dlg, "潜力客户资料");
    EXPECT_EQ(TextOf(dlg->Page(140), 1040), "half filled");

    // A page reaching another through the host leaves the tree and the hooks alone.
    log.calls.clear();
    dlg->ShowOnly(136);
    EXPECT_EQ(VisiblePage(*dlg), 136);
    EXPECT_TRUE(log.calls.isEmpty());
    EXPECT_EQ(FindCtl<QTreeWidget>(dlg.get(), 1001)->currentItem()->text(0), "潜力客户资料");
}

TEST_F(MainWindow, BackupFailsBeforeTheFirstSaveAndSucceedsAfter) {
    auto dlg = Start();
    Press(dlg.get(), 1222);
    EXPECT_EQ(boxes_.shown, QStringList({"备份失败！"}));
    dlg.reset();
    boxes_.Clear();
    vantorel::TheBook().Clear();
    dlg = Start();
    vantorel::TheBook().members.Add({});
    Press(dlg.get(), 1222);
    EXPECT_EQ(boxes_.shown, QStringList({"备份成功！"}));
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i)
        EXPECT_EQ(Bytes(Path(vantorel::kBackupFileNames[i])), Bytes(Path(vantorel::kDataFileNames[i])));
    // The change made since the start is not in the copy.
    EXPECT_EQ(Bytes(Path("data3.BAK")), QByteArray(4, '\0'));
}

TEST_F(MainWindow, RemindersAtStartAndFromTheButton) {
    vantorel::PolicyRecord p;
    p.info.policyNo = "P-9";
    p.holder.name = "H";
    p.holder.birthDate = "1970/5-29";
    p.insured.name = "I";
    p.insured.birthDate = "2001/5-29";
    vantorel::TheBook().insurance.Add(p);
    vantorel::TheBook().calendar.Add({20030529, "last year"});
    Start().reset(); // writes the files
    vantorel::TheBook().Clear();
    boxes_.Clear();

    // Born today: two boxes at start, the holder first; the button shows them again.
    auto dlg = Start();
    ASSERT_EQ(boxes_.shown.size(), 2);
    EXPECT_TRUE(boxes_.shown[0].startsWith("今天是以下保单投保人的生日:\n保险单号：P-9"));
    EXPECT_TRUE(boxes_.shown[1].startsWith("今天是以下保单被保险人的生日:\n保险单号：P-9"));
    boxes_.Clear();
    Press(dlg.get(), 1223);
    EXPECT_EQ(boxes_.shown.size(), 2);
    dlg.reset();

    // Nothing due: the start is silent, the button says so.
    boxes_.Clear();
    vantorel::TheBook().Clear();
    dlg = Start({}, QDateTime(QDate(2004, 5, 30), QTime(9, 0)));
    EXPECT_TRUE(boxes_.shown.isEmpty());
    Press(dlg.get(), 1223);
    EXPECT_EQ(boxes_.shown, QStringList({"今日没有任何提醒!"}));
    dlg.reset();

    // Every switch off: the same, on the birthday itself.
    for (const char* k : kKeys) Store().setValue(QStringLiteral("AWOKE/") + k, 0);
    boxes_.Clear();
    vantorel::TheBook().Clear();
    dlg = Start();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    Press(dlg.get(), 1223);
    EXPECT_EQ(boxes_.shown, QStringList({"今日没有任何提醒!"}));
}

TEST_F(MainWindow, DamagedFileIsNamedOnceAndItsEarlierRecordsKept) {
    vantorel::DataBook book;
    for (const char* no : {"A1", "A2"}) {
        vantorel::PolicyRecord p;
        p.info.policyNo = no;
        book.insurance.Add(p);
    }
    book.members.Add({});
    ASSERT_TRUE(vantorel::SaveFile(book.insurance, "data1.bcm").saved);
    ASSERT_TRUE(vantorel::SaveFile(book.members, "data3.bcm").saved);
    {
        QFile f(Path("data1.bcm"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(f.size() - 3)); // the second policy now ends inside a value
    }
    auto dlg = Start();
    ASSERT_EQ(boxes_.shown.size(), 1);
    const QString text = boxes_.shown[0];
    EXPECT_TRUE(text.startsWith("下列数据文件没有能完整读入：\n“data1.bcm”在第 ")) << text.toStdString();
    EXPECT_TRUE(text.contains("损坏处之前的 1 条记录已读入并保留")) << text.toStdString();
    const fs::path aside = dlg->LoadResults()[0].setAside;
    ASSERT_FALSE(aside.empty());
    EXPECT_TRUE(text.contains(QString::fromStdString(aside.filename().string())));
    EXPECT_FALSE(text.contains("data3.bcm"));
    EXPECT_EQ(vantorel::TheBook().insurance.GetSize(), 1);
    EXPECT_EQ(vantorel::TheBook().members.GetSize(), 1);
    dlg.reset();
    // The damaged original is still there under its new name; the kept record is saved.
    EXPECT_TRUE(fs::exists(aside));
    vantorel::DataBook back;
    EXPECT_EQ(vantorel::LoadFile(back.insurance, "data1.bcm").state, vantorel::LoadState::loaded);
    EXPECT_EQ(back.insurance.GetSize(), 1);
}

TEST_F(MainWindow, AFileThatCannotBeSavedIsNamedAndMayBeRetried) {
    vantorel::TheBook().clients.Add({});
    Start().reset();
    const QByteArray before = Bytes(Path("data2.bcm"));
    ASSERT_GT(before.size(), 4);
    vantorel::TheBook().Clear();

    int failures = 2;
    vantorel::SetStorageFaultHook([&](const std::string& step, const fs::path& file, std::uint64_t) {
        if (step == "rename" && file.filename().string().rfind("data2.bcm", 0) == 0 && failures-- > 0)
            throw vantorel::FileError("disk full");
    });
    auto dlg = Start();
    vantorel::TheBook().clients.Add({});
    vantorel::TheBook().members.Add({});
    boxes_.Answer(true);  // retry: fails again
    boxes_.Answer(false); // give up
    dlg.reset();
    ASSERT_EQ(boxes_.questions.size(), 2);
    EXPECT_TRUE(boxes_.questions[0].startsWith("数据文件“data2.bcm”没有能保存")) << boxes_.questions[0].toStdString();
    EXPECT_TRUE(boxes_.questions[0].endsWith("原来的文件保持不变。\n要再试一次吗？"));
    EXPECT_EQ(Bytes(Path("data2.bcm")), before); // the old file whole
    vantorel::DataBook back;
    vantorel::LoadFile(back.members, "data3.bcm");
    EXPECT_EQ(back.members.GetSize(), 1); // the others still saved

    // Yes after one failure saves it.
    vantorel::TheBook().Clear();
    boxes_.Clear();
    failures = 1;
    dlg = Start();
    vantorel::TheBook().clients.Add({});
    dlg.reset();
    EXPECT_EQ(boxes_.questions.size(), 1);
    vantorel::LoadFile(back.clients, "data2.bcm");
    EXPECT_EQ(back.clients.GetSize(), 2);
}

TEST_F(MainWindow, EndingFromOutsideClosesTheBoxAndAsksNothing) {
    vantorel::SetStorageFaultHook([](const std::string& step, const fs::path& file, std::uint64_t) {
        if (step == "rename" && file.filename().string().rfind("data4.bcm", 0) == 0)
            throw vantorel::FileError("read-only");
    });
    auto dlg = Start();
    dlg->show();
    dlg->RequestClose(false);
    EXPECT_TRUE(dlg->isHidden());
    EXPECT_TRUE(dlg->CloseRequested());
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    EXPECT_EQ(Bytes(Path("data1.bcm")), QByteArray(4, '\0'));
    EXPECT_FALSE(QFile::exists(Path("data4.bcm")));
}

TEST_F(MainWindow, EscapeDoesNotCloseTheWindow) {
    auto dlg = Start();
    dlg->show();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QTest::keyClick(FindCtl(dlg.get(), 1001), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->CloseRequested());
    EXPECT_TRUE(dlg->close());
    EXPECT_TRUE(dlg->CloseRequested());
}

TEST_F(MainWindow, DateAndWeekdayFollowTheClockPastMidnight) {
    QDateTime now(QDate(2004, 5, 29), QTime(23, 59, 59));
    auto dlg = std::make_unique<CMainDlg>(PageFactories{});
    dlg->SetClock([&now] { return now; });
    dlg->Initialise();
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1200)->text(), "23:59:59");
    now = now.addSecs(1);
    dlg->Tick();
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1200)->text(), "0:0:0");
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1198)->text(), "2004年5月30日");
    EXPECT_EQ(FindCtl<QLabel>(dlg.get(), 1199)->text(), "星期日");
    EXPECT_EQ(dlg->Today(), now);
}

TEST_F(MainWindow, ASecondCopyIsRefusedWithoutTouchingTheData) {
    QLockFile first(Path(CAgentApp::kLockFileName));
    ASSERT_TRUE(first.tryLock(0));
    EXPECT_EQ(CAgentApp::RunMainWindow({}), 1);
    EXPECT_EQ(boxes_.shown, QStringList({QString::fromUtf8(kSecondCopyText)}));
    for (const char* f : vantorel::kDataFileNames) EXPECT_FALSE(QFile::exists(Path(f)));
    EXPECT_FALSE(Store().contains("AWOKE/CALENDAR"));
}

TEST(AgentApp, MessageBoxesTakeTheDefaultDialogColours) {
    CAgentApp::SetDefaultDialogColours();
    QMessageBox box;
    box.ensurePolished(); // as every box is before it is shown
    EXPECT_EQ(box.palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(box.palette().color(QPalette::WindowText), QColor(0, 0, 250));
}

TEST_F(MainWindow, TheProgramEndsInOrderWhenClosedOrAskedToQuit) {
    auto topWindow = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "102" && w->isVisible()) return w;
        return static_cast<QWidget*>(nullptr);
    };
    // The frame's close button, Alt+F4 and the window manager all arrive as a close;
    // the user is there to answer whether to retry a file that could not be saved.
    int failures = 1;
    vantorel::SetStorageFaultHook([&](const std::string& step, const fs::path& file, std::uint64_t) {
        if (step == "rename" && file.filename().string().rfind("data3.bcm", 0) == 0 && failures-- > 0)
            throw vantorel::FileError("disk full");
    });
    QTimer::singleShot(100, [&] {
        vantorel::TheBook().members.Add({});
        if (QWidget* w = topWindow()) w->close();
    });
    EXPECT_EQ(CAgentApp::RunMainWindow({}), 0);
    vantorel::DataBook back;
    vantorel::LoadFile(back.members, "data3.bcm");
    EXPECT_EQ(back.members.GetSize(), 1);
    EXPECT_EQ(boxes_.questions.size(), 1);
    EXPECT_FALSE(QFile::exists(Path(CAgentApp::kLockFileName)));
    boxes_.Clear();

    // The session ending quits the application.
    vantorel::TheBook().Clear();
    QTimer::singleShot(100, [] {
        vantorel::TheBook().members.Add({});
        QCoreApplication::quit();
    });
    EXPECT_EQ(CAgentApp::RunMainWindow({}), 0);
    back.members.RemoveAll();
    vantorel::LoadFile(back.members, "data3.bcm");
    EXPECT_EQ(back.members.GetSize(), 2);
    EXPECT_TRUE(boxes_.shown.isEmpty());
    EXPECT_EQ(topWindow(), nullptr);
}

TEST_F(MainWindow, AnUnreadableFileIsNamedAndNeverWrittenOver) {
    // A folder where a data file should be cannot be opened, even by root.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("data2.bcm"));
    {
        QFile inside(Path("data2.bcm/inside"));
        ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
        inside.write("kept");
    }
    auto dlg = Start();
    ASSERT_EQ(boxes_.shown.size(), 1);
    EXPECT_TRUE(boxes_.shown[0].startsWith("下列数据文件没有能完整读入：\n“data2.bcm”无法打开")) << boxes_.shown[0].toStdString();
    EXPECT_TRUE(boxes_.shown[0].endsWith("文件留在原处，关闭时不会被覆盖。"));
    vantorel::TheBook().clients.Add({});
    boxes_.Clear();
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty()); // kept on purpose: nothing to retry
    EXPECT_TRUE(QFileInfo(Path("data2.bcm")).isDir());
    EXPECT_EQ(Bytes(Path("data2.bcm/inside")), "kept");
    EXPECT_EQ(Bytes(Path("data1.bcm")), QByteArray(4, '\0'));
}

TEST_F(MainWindow, TheRetryQuestionIsARealBoxAfterTheWindowHasClosed) {
    msg::SetResponder({}); // real boxes, answered by hand below
    int failures = 1;
    vantorel::SetStorageFaultHook([&](const std::string& step, const fs::path& file, std::uint64_t) {
        if (step == "rename" && file.filename().string().rfind("data3.bcm", 0) == 0 && failures-- > 0)
            throw vantorel::FileError("disk full");
    });
    QString asked;
    QTimer hand;
    hand.setInterval(50);
    QObject::connect(&hand, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "102" && w->isVisible()) {
                vantorel::TheBook().members.Add({});
                w->close();
            }
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                asked = box->text();
                box->button(QMessageBox::Yes)->click();
            }
        }
    });
    hand.start();
    EXPECT_EQ(CAgentApp::RunMainWindow({}), 0);
    EXPECT_TRUE(asked.startsWith("数据文件“data3.bcm”没有能保存")) << asked.toStdString();
    vantorel::DataBook back;
    vantorel::LoadFile(back.members, "data3.bcm");
    EXPECT_EQ(back.members.GetSize(), 1);
}
