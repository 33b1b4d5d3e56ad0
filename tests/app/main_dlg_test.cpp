#include "gui_test_support.h"
#include "../records/failing_storage.h"
#include "app/agent_app.h"
#include "app/main_dlg.h"
#include "app/page.h"
#include "app/settings.h"
#include "pages/page_registry.h"
#include "records/archive.h"
#include "records/data_files.h"
#include "resources/templates/client_file_ids.h"
#include "resources/templates/main_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/pot_client_ids.h"
#include "resources/templates/query_ids.h"
#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/schedule_ids.h"
#include "resources/templates/statistics_ids.h"
#include "resources/templates/team_member_ids.h"
#include "resources/templates/welcome_ids.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QMessageBox>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#include <sys/file.h>
#endif

namespace fs = std::filesystem;
using vantorel::DataBook;
namespace id = ids::main_window;

namespace {

const char* const kKeys[] = {"CALENDAR", "TBRSR", "BTBRSR", "QLKHSR", "TDCRSR", "XQJFSR"};

constexpr int kEntry = ids::entry::Template, kQuery = ids::query::Template, kClients = ids::client::Template,
              kMembers = ids::member::Template, kSchedule = ids::schedule::Template, kRemind = ids::remind::Template,
              kWelcome = ids::welcome::Template, kStatistics = ids::statistics::Template,
              kClientFile = ids::client_file::Template;

QSettings Store() { return RemindSettings::Store(); }

QByteArray Bytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kEmptyFile(4, '\0');

// How many records the file on disk holds.
template <class File> std::size_t Stored(File DataBook::*member, const QString& path) {
    DataBook back;
    vantorel::LoadFile(back.*member, path.toStdString());
    return (back.*member).GetSize();
}

QLabel* Label(CMainDlg& dlg, int id) { return FindCtl<QLabel>(&dlg, id); }

void Select(CMainDlg& dlg, const char* text) {
    auto* tree = FindCtl<QTreeWidget>(&dlg, id::Tree);
    tree->setCurrentItem(tree->findItems(QString::fromUtf8(text), Qt::MatchExactly | Qt::MatchRecursive).value(0));
}

// The one page not hidden, or 0.
int VisiblePage(CMainDlg& dlg) {
    int visible = 0;
    for (int page : {kEntry, kQuery, kClients, kMembers, kSchedule, kRemind, kWelcome, kStatistics, kClientFile})
        if (!dlg.Page(page)->isHidden()) {
            EXPECT_EQ(visible, 0) << "two pages shown";
            visible = page;
        }
    return visible;
}

// The main window that RunMainWindow has up.
CMainDlg* Running() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dlg = qobject_cast<CMainDlg*>(w); dlg && dlg->isVisible()) return dlg;
    return nullptr;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Store().clear();
    }
    // Putting `file` in place fails the next `failures` times, or always (0).
    void FailSaving(const char* file, int failures = 0) {
        storage_.Fail({.step = testkit::FailingStorage::Step::rename,
                       .file = file,
                       .from = 1,
                       .times = failures,
                       .afterBytes = 0});
    }
    // A main window started as the program starts it, at a fixed moment, on the temporary folder.
    std::unique_ptr<CMainDlg> Start(PageFactories pages = {},
                                    QDateTime now = QDateTime(QDate(2004, 5, 29), QTime(5, 40, 30))) {
        boxes_.Clear();
        auto dlg = std::make_unique<CMainDlg>(Session(Folder(), storage_), std::move(pages));
        dlg->SetClock([now] { return now; });
        dlg->Initialise();
        dlg->ShowStartMessages();
        return dlg;
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    fs::path Folder() const { return dir_.path().toStdString(); }
    // Writes the files as the program leaves them after `type` has put records into its book.
    void Saved(const std::function<void(DataBook&)>& type) {
        CMainDlg dlg(Folder(), {});
        dlg.Initialise();
        type(dlg.Book());
    } // the destructor writes the files

    QTemporaryDir dir_;
    MessageRecorder boxes_;
    testkit::FailingStorage storage_; // the system's files until FailSaving
};

} // namespace

TEST_F(MainWindow, FirstRunShowsNothingAndLeavesFourEmptyFilesAndEverySwitch) {
    auto dlg = Start(AllPageFactories());
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
    EXPECT_EQ(VisiblePage(*dlg), kWelcome);
    EXPECT_EQ(Label(*dlg, id::Date)->text(), "2004年5月29日");
    EXPECT_EQ(Label(*dlg, id::Weekday)->text(), "星期六");
    EXPECT_EQ(Label(*dlg, id::Time)->text(), "5:40:30");
    EXPECT_TRUE(FindCtl<QTreeWidget>(dlg.get(), id::Tree)->topLevelItem(1)->isExpanded());
    for (const char* f : vantorel::kDataFileNames) EXPECT_FALSE(QFile::exists(Path(f)));

    // The date and weekday follow the clock past midnight.
    dlg->SetClock([] { return QDateTime(QDate(2004, 5, 30), QTime(0, 0)); });
    dlg->Tick();
    EXPECT_EQ(Label(*dlg, id::Time)->text(), "0:0:0");
    EXPECT_EQ(Label(*dlg, id::Date)->text(), "2004年5月30日");
    EXPECT_EQ(Label(*dlg, id::Weekday)->text(), "星期日");

    // Escape does not close the window; closing it saves.
    dlg->show();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QTest::keyClick(FindCtl(dlg.get(), id::Tree), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->CloseRequested());
    EXPECT_TRUE(dlg->close());
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    for (const char* f : vantorel::kDataFileNames) EXPECT_EQ(Bytes(Path(f)), kEmptyFile) << f;
    for (const char* k : kKeys) EXPECT_EQ(Store().value(QStringLiteral("AWOKE/") + k).toInt(), 1) << k;
}

TEST_F(MainWindow, EveryNodeShowsItsPageAndFormsAndSwitchesSurvive) {
    auto dlg = Start(AllPageFactories());
    Select(*dlg, "潜力客户资料");
    TypeInto(dlg->Page(kClients), ids::client::Name, "half");
    const struct {
        const char* node;
        int page;
    } route[] = {{"添加保单资料", kEntry}, {"查询保单资料", kQuery}, {"统计与决策", kStatistics},
                 {"成员资料", kMembers},   {"日程提醒", kSchedule},  {"团队管理", kWelcome},
                 {"提醒管理", kWelcome},   {"客户管理", kWelcome},   {"其它提醒", kRemind},
                 {"客户档案", kClientFile}};
    for (const auto& r : route) {
        Select(*dlg, r.node);
        EXPECT_EQ(VisiblePage(*dlg), r.page) << r.node;
    }
    // A switch cleared on the settings page is stored at close and shown again after a restart.
    auto* clients = FindCtl<QCheckBox>(dlg->Page(kRemind), ids::remind::Clients);
    ASSERT_TRUE(clients->isChecked());
    clients->click();
    Select(*dlg, "潜力客户资料");
    EXPECT_EQ(TextOf(dlg->Page(kClients), ids::client::Name), "half");
    // A page reaching another through the host leaves the tree alone.
    dlg->ShowOnly(kEntry);
    EXPECT_EQ(VisiblePage(*dlg), kEntry);
    EXPECT_EQ(FindCtl<QTreeWidget>(dlg.get(), id::Tree)->currentItem()->text(0), "潜力客户资料");
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
    EXPECT_EQ(Store().value("AWOKE/QLKHSR").toInt(), 0);
    EXPECT_EQ(Store().value("AWOKE/TBRSR").toInt(), 1);

    dlg = Start(AllPageFactories());
    EXPECT_FALSE(FindCtl<QCheckBox>(dlg->Page(kRemind), ids::remind::Clients)->isChecked());
    EXPECT_TRUE(FindCtl<QCheckBox>(dlg->Page(kRemind), ids::remind::Members)->isChecked());
    dlg.reset();
    EXPECT_EQ(Store().value("AWOKE/QLKHSR").toInt(), 0);
}

TEST_F(MainWindow, BackupFailsBeforeTheFirstSaveAndSucceedsAfter) {
    auto dlg = Start();
    testing::internal::CaptureStderr();
    Press(dlg.get(), id::Backup);
    const std::string why = testing::internal::GetCapturedStderr();
    EXPECT_EQ(boxes_.shown, QStringList({"备份失败！"}));
    // The box stays short; the file and the reason go to standard error.
    EXPECT_NE(why.find("backup failed: data1.bcm to data1.BAK: cannot open data1.bcm"), std::string::npos) << why;
    dlg = Start();
    dlg->Book().members.Add({});
    Press(dlg.get(), id::Backup);
    EXPECT_EQ(boxes_.shown, QStringList({"备份成功！"}));
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i)
        EXPECT_EQ(Bytes(Path(vantorel::kBackupFileNames[i])), Bytes(Path(vantorel::kDataFileNames[i])));
    EXPECT_EQ(Bytes(Path("data3.BAK")), kEmptyFile); // the change made since the start is not in the copy
}

TEST_F(MainWindow, RemindersAtStartAndFromTheButton) {
    vantorel::PolicyRecord p;
    p.info.policyNo = "P-9";
    p.holder.name = "H";
    p.holder.birthDate = "1970/5-29";
    p.insured.name = "I";
    p.insured.birthDate = "2001/5-29";
    Saved([&](DataBook& book) {
        book.insurance.Add(p);
        book.calendar.Add({20030529, "last year"});
    });

    // Born today: two boxes at start, the holder first; the button shows them again.
    auto dlg = Start();
    ASSERT_EQ(boxes_.shown.size(), 2);
    EXPECT_TRUE(boxes_.shown[0].startsWith("今天是以下保单投保人的生日:\n保险单号：P-9"));
    EXPECT_TRUE(boxes_.shown[1].startsWith("今天是以下保单被保险人的生日:\n保险单号：P-9"));
    boxes_.Clear();
    Press(dlg.get(), id::Remind);
    EXPECT_EQ(boxes_.shown.size(), 2);
    dlg.reset();

    // Nothing due the next day, and nothing with every switch off on the birthday itself:
    // the start is silent, the button says so.
    for (const QDate day : {QDate(2004, 5, 30), QDate(2004, 5, 29)}) {
        dlg = Start({}, QDateTime(day, QTime(9, 0)));
        EXPECT_TRUE(boxes_.shown.isEmpty());
        Press(dlg.get(), id::Remind);
        EXPECT_EQ(boxes_.shown, QStringList({"今日没有任何提醒!"}));
        dlg.reset();
        for (const char* k : kKeys) Store().setValue(QStringLiteral("AWOKE/") + k, 0);
    }
}

TEST_F(MainWindow, DamagedAndUnreadableFilesAreNamedOnceAndKeptAside) {
    DataBook book;
    for (const char* no : {"A1", "A2"}) {
        vantorel::PolicyRecord p;
        p.info.policyNo = no;
        book.insurance.Add(p);
    }
    book.members.Add({});
    ASSERT_EQ(vantorel::SaveFile(book.insurance, Path("data1.bcm").toStdString()).outcome,
              vantorel::SaveOutcome::written);
    ASSERT_EQ(vantorel::SaveFile(book.members, Path("data3.bcm").toStdString()).outcome,
              vantorel::SaveOutcome::written);
    {
        QFile f(Path("data1.bcm"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(f.size() - 3)); // the second policy now ends inside a value
    }
    // A folder where a data file should be cannot be opened, even by root.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("data2.bcm"));
    {
        QFile inside(Path("data2.bcm/inside"));
        ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
        inside.write("kept");
    }
    auto dlg = Start();
    ASSERT_EQ(boxes_.shown.size(), 1);
    const QString text = boxes_.shown[0];
    EXPECT_TRUE(text.startsWith("下列数据文件没有能完整读入：\n“data1.bcm”在第 ")) << text.toStdString();
    EXPECT_TRUE(text.contains("损坏处之前的 1 条记录已读入并保留")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n“data2.bcm”无法打开")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("文件留在原处，关闭时不会被覆盖；这次所做的改动关闭时另存为它旁边的新文件。"));
    const fs::path aside = dlg->LoadResults()[0].setAside;
    ASSERT_FALSE(aside.empty());
    EXPECT_TRUE(text.contains(QString::fromStdString(aside.filename().string())));
    EXPECT_FALSE(text.contains("data3.bcm"));
    EXPECT_EQ(dlg->Book().members.GetSize(), 1);
    dlg->Book().clients.Add({});
    boxes_.Clear();
    dlg.reset();
    // The unreadable one is kept on purpose: nothing to retry; the client typed meanwhile went beside it.
    ASSERT_EQ(boxes_.shown.size(), 1);
    EXPECT_TRUE(boxes_.shown[0].startsWith("“data2.bcm”在启动时没有能读入")) << boxes_.shown[0].toStdString();
    // The damaged original is still there under its new name; the kept record is saved.
    EXPECT_TRUE(fs::exists(aside));
    EXPECT_EQ(Stored(&DataBook::insurance, Path("data1.bcm")), 1);
    EXPECT_EQ(Bytes(Path("data2.bcm/inside")), "kept");
}

TEST_F(MainWindow, RecordsTypedIntoAnUnreadableCollectionAreSavedBesideItAndNamedAtClose) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("data2.bcm"));
    const auto unsaved = [this] {
        return QDir(dir_.path()).entryList({"data2.bcm.unsaved-*"}, QDir::Files, QDir::Name);
    };
    auto dlg = Start();
    ASSERT_EQ(boxes_.shown.size(), 1);
    EXPECT_TRUE(boxes_.shown[0].contains("“data2.bcm”无法打开")) << boxes_.shown[0].toStdString();
    // Nothing typed: nothing to keep and nothing to say.
    boxes_.Clear();
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
    EXPECT_TRUE(unsaved().isEmpty());

    dlg = Start();
    vantorel::PotClientRecord typed;
    typed.person.name = "typed";
    dlg->Book().clients.Add(typed);
    boxes_.Clear();
    dlg.reset();
    ASSERT_EQ(unsaved().size(), 1);
    ASSERT_EQ(boxes_.shown.size(), 1);
    EXPECT_TRUE(boxes_.shown[0].startsWith("“data2.bcm”在启动时没有能读入")) << boxes_.shown[0].toStdString();
    EXPECT_TRUE(boxes_.shown[0].contains(unsaved()[0])) << boxes_.shown[0].toStdString();
    EXPECT_EQ(Stored(&DataBook::clients, dir_.filePath(unsaved()[0])), 1);
    EXPECT_TRUE(QFileInfo(Path("data2.bcm")).isDir());

    // Ended from outside (a signal): no box, the line goes to standard error.
    dlg = Start();
    dlg->Book().clients.Add({});
    boxes_.Clear();
    dlg->show();
    testing::internal::CaptureStderr();
    dlg->RequestClose(false);
    dlg.reset();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    ASSERT_EQ(unsaved().size(), 2);
    EXPECT_NE(err.find(unsaved()[1].toStdString()), std::string::npos) << err;
}

TEST_F(MainWindow, UnreadBytesAreNamedOnceWithTheCopyKeptOfThem) {
    DataBook book;
    book.calendar.Add({20040101, "entry"});
    {
        QFile f(Path("data4.bcm"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        vantorel::CMemFile mem;
        vantorel::CArchive ar(mem, vantorel::CArchive::store);
        book.calendar.Serialize(ar);
        ar.Close();
        f.write(mem.Data().data(), qint64(mem.Data().size()));
        f.write("tail");
    }
    auto dlg = Start();
    ASSERT_EQ(boxes_.shown.size(), 1);
    const QString text = boxes_.shown[0];
    const fs::path copy = dlg->LoadResults()[3].setAside;
    ASSERT_FALSE(copy.empty());
    EXPECT_TRUE(text.contains("“data4.bcm”")) << text.toStdString();
    EXPECT_TRUE(text.contains("最后 4 字节")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(copy.filename().string()))) << text.toStdString();
    boxes_.Clear();
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    EXPECT_EQ(Bytes(QString::fromStdString(copy.string())).right(4), "tail");
    // Saved whole once: the next start is silent.
    dlg = Start();
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
    EXPECT_EQ(dlg->Book().calendar.GetSize(), 1);
}

TEST_F(MainWindow, AFileThatCannotBeSavedIsNamedAndMayBeRetried) {
    Saved([](DataBook& book) { book.clients.Add({}); });
    const QByteArray before = Bytes(Path("data2.bcm"));
    ASSERT_GT(before.size(), 4);

    FailSaving("data2.bcm", 2);
    auto dlg = Start();
    dlg->Book().clients.Add({});
    dlg->Book().members.Add({});
    boxes_.Answer(true);  // retry: fails again
    boxes_.Answer(false); // give up
    dlg.reset();
    ASSERT_EQ(boxes_.questions.size(), 2);
    EXPECT_TRUE(boxes_.questions[0].startsWith("数据文件“data2.bcm”没有能保存")) << boxes_.questions[0].toStdString();
    EXPECT_TRUE(boxes_.questions[0].endsWith("原来的文件保持不变。\n要再试一次吗？"));
    EXPECT_EQ(Bytes(Path("data2.bcm")), before);                 // the old file whole
    EXPECT_EQ(Stored(&DataBook::members, Path("data3.bcm")), 1); // the others still saved

    // The client that could not be saved was kept in the journal: the next start brings it back.
    FailSaving("data2.bcm", 1);
    dlg = Start();
    EXPECT_EQ(boxes_.shown, QStringList({"上次程序没有正常关闭。已恢复 1 项未保存的更改。"}));
    EXPECT_EQ(dlg->Book().clients.GetSize(), 2);
    EXPECT_EQ(dlg->Book().members.GetSize(), 1); // saved that time: not made again
    // Yes after one failure saves it.
    dlg->Book().clients.Add({});
    boxes_.Clear();
    dlg.reset();
    EXPECT_EQ(boxes_.questions.size(), 1);
    EXPECT_EQ(Stored(&DataBook::clients, Path("data2.bcm")), 3);
    EXPECT_FALSE(QFile::exists(Path("vantorel.journal")));
}

TEST_F(MainWindow, EndingFromOutsideClosesTheBoxAndAsksNothing) {
    FailSaving("data4.bcm");
    auto dlg = Start();
    dlg->show();
    dlg->RequestClose(false);
    EXPECT_TRUE(dlg->isHidden());
    EXPECT_TRUE(dlg->CloseRequested());
    dlg.reset();
    EXPECT_TRUE(boxes_.shown.isEmpty());
    EXPECT_EQ(Bytes(Path("data1.bcm")), kEmptyFile);
    EXPECT_FALSE(QFile::exists(Path("data4.bcm")));
}

TEST_F(MainWindow, ASecondCopyIsRefusedWithoutTouchingTheData) {
    QLockFile first(Path(CAgentApp::kLockFileName));
    ASSERT_TRUE(first.tryLock(0));
    EXPECT_EQ(CAgentApp::RunMainWindow({}, Folder()), 1);
    EXPECT_EQ(boxes_.shown, QStringList({QString::fromUtf8(kSecondCopyText)}));
    for (const char* f : vantorel::kDataFileNames) EXPECT_FALSE(QFile::exists(Path(f)));
    EXPECT_FALSE(Store().contains("AWOKE/CALENDAR"));
}

TEST_F(MainWindow, ALockThatNoRunningCopyHoldsIsStaleWhateverItHolds) {
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    const struct {
        const char* what;
        QByteArray content;
        bool held; // a process still holds the lock file open and locked
        int result;
    } cases[] = {
        {"empty", "", false, 0},
        {"garbage", "garbage\n\x01\x02", false, 0},
        {"negative process number", "-5\nvantorel\n" + host + "\n", false, 0},
        {"process 0", "0\nvantorel\n" + host + "\n", false, 0},
        {"a live process of another program", pid + "\nvantorel\n" + host + "\n", false, 0},
        {"no such process", "2147483646\nvantorel\n" + host + "\n", false, 0},
        {"another machine, no longer held", "1\nvantorel\nsome-other-machine\n", false, 0},
#ifdef Q_OS_UNIX
        {"another machine, still held", "1\nvantorel\nsome-other-machine\n", true, 1},
        {"garbage, still held", "garbage", true, 1},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            QFile f(Path(CAgentApp::kLockFileName));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(c.content);
        }
        int held = -1;
#ifdef Q_OS_UNIX
        if (c.held) {
            held = ::open(Path(CAgentApp::kLockFileName).toLocal8Bit().constData(), O_RDWR);
            ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
        }
#endif
        boxes_.Clear();
        QTimer quit;
        quit.setSingleShot(true);
        QObject::connect(&quit, &QTimer::timeout, [] { QCoreApplication::quit(); });
        quit.start(100);
        EXPECT_EQ(CAgentApp::RunMainWindow({}, Folder()), c.result);
        if (c.result == 0) {
            EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
            EXPECT_FALSE(QFile::exists(Path(CAgentApp::kLockFileName)));
        } else {
            EXPECT_EQ(boxes_.shown, QStringList({QString::fromUtf8(kSecondCopyText)}));
            EXPECT_TRUE(QFile::exists(Path(CAgentApp::kLockFileName)));
        }
#ifdef Q_OS_UNIX
        if (held >= 0) ::close(held);
#endif
        QFile::remove(Path(CAgentApp::kLockFileName));
    }
}

TEST(AgentApp, MessageBoxesTakeTheDefaultDialogColours) {
    CAgentApp::SetDefaultDialogColours();
    QMessageBox box;
    box.ensurePolished(); // as every box is before it is shown
    EXPECT_EQ(box.palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(box.palette().color(QPalette::WindowText), QColor(0, 0, 250));
}

TEST_F(MainWindow, TheProgramEndsInOrderWhenAskedToQuitOrClosed) {
    // The session ending quits the application: everything is saved, nothing asked.
    QTimer::singleShot(100, [] {
        Running()->Book().members.Add({});
        QCoreApplication::quit();
    });
    EXPECT_EQ(CAgentApp::RunMainWindow({}, Folder()), 0);
    EXPECT_EQ(Stored(&DataBook::members, Path("data3.bcm")), 1);
    EXPECT_TRUE(boxes_.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(Path(CAgentApp::kLockFileName)));

    // A close (frame button, Alt+F4, window manager): the user is there to answer a
    // real box asking to retry a file that could not be saved, after the window has gone.
    msg::SetResponder({});
    FailSaving("data3.bcm", 1);
    QString asked;
    QTimer hand;
    hand.setInterval(50);
    QObject::connect(&hand, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "102" && w->isVisible()) {
                static_cast<CMainDlg*>(w)->Book().members.Add({});
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
    EXPECT_EQ(CAgentApp::RunMainWindow({}, Folder(), storage_), 0);
    EXPECT_TRUE(asked.startsWith("数据文件“data3.bcm”没有能保存")) << asked.toStdString();
    EXPECT_EQ(Stored(&DataBook::members, Path("data3.bcm")), 2);
}
