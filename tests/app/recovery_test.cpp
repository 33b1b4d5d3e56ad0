// The main window over a folder left by a run that did not end in order:
// what the journal brings back, and the one box that says so.
#include "gui_test_support.h"
#include "app/agent_app.h"
#include "app/main_dlg.h"
#include "app/page.h"
#include "pages/page_registry.h"
#include "records/journal.h"
#include "resources/templates/query_ids.h"
#include "theme/skin_list_ctrl.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;
using vantorel::DataBook;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

vantorel::PolicyRecord Policy(const char* no) {
    vantorel::PolicyRecord p;
    p.info.policyNo = no;
    return p;
}

class Recovery : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid() && crashed_.isValid()); }

    std::unique_ptr<CMainDlg> Start(const QTemporaryDir& dir, PageFactories pages = {}) {
        boxes_.Clear();
        auto dlg = std::make_unique<CMainDlg>(dir.path().toStdString(), std::move(pages));
        dlg->Initialise();
        dlg->ShowStartMessages();
        return dlg;
    }
    static fs::path In(const QTemporaryDir& dir, const char* name) { return fs::path(dir.path().toStdString()) / name; }

    // The folder as a machine that loses power now would leave it: the data
    // files and the journal once it holds `entries` entries.
    void CrashCopy(int entries) {
        QElapsedTimer waited;
        waited.start();
        for (std::string journal; waited.elapsed() < 5000; QThread::msleep(10)) {
            journal = ReadAll(In(dir_, vantorel::kJournalFileName));
            if (vantorel::ParseJournal(journal).entries.size() >= std::size_t(entries)) break;
        }
        for (const auto& e : fs::directory_iterator(dir_.path().toStdString()))
            if (e.path().filename() != CAgentApp::kLockFileName) {
                // The files as the disk keeps them: the same bytes, the same time of the last write.
                const fs::path to = In(crashed_, e.path().filename().string().c_str());
                fs::copy_file(e.path(), to, fs::copy_options::overwrite_existing);
                fs::last_write_time(to, fs::last_write_time(e.path()));
            }
    }

    QTemporaryDir dir_, crashed_;
    MessageRecorder boxes_;
};

} // namespace

TEST_F(Recovery, ChangesComeBackOnceWithOneBoxAndAnOrderlyCloseSaysNothingNextTime) {
    {
        auto dlg = Start(dir_);
        dlg->Book().insurance.Add(Policy("A1"));
        dlg->Book().insurance.Add(Policy("A2"));
    } // closed in order: saved, no journal
    EXPECT_FALSE(fs::exists(In(dir_, vantorel::kJournalFileName)));

    auto dlg = Start(dir_);
    EXPECT_TRUE(boxes_.shown.isEmpty());
    dlg->Book().insurance.RemoveAll(); // "删 除 所 有 保 单": one entry
    dlg->Book().insurance.Add(Policy("B1"));
    dlg->Book().members.Add({});
    dlg->Book().calendar.Add({20040529, "ab"});
    CrashCopy(4);
    const DataBook expected = dlg->Book();
    dlg.reset();

    auto back = Start(crashed_, AllPageFactories());
    EXPECT_EQ(boxes_.shown, QStringList({"上次程序没有正常关闭。已恢复 4 项未保存的更改。"}));
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i)
        EXPECT_EQ(back->Book().Collection(i).RecordCount(), expected.Collection(i).RecordCount()) << i;
    EXPECT_EQ(back->Book().insurance.GetAt(0).info.policyNo, "B1");
    // The pages were made after the replay: the query page lists what came back.
    back->Page(ids::query::Template)->OnShown();
    EXPECT_EQ(FindCtl<CSkinListCtrl>(back->Page(ids::query::Template), ids::query::List)->GetItemCount(), 1);
    back.reset();
    EXPECT_FALSE(fs::exists(In(crashed_, vantorel::kJournalFileName)));
    back = Start(crashed_);
    EXPECT_TRUE(boxes_.shown.isEmpty()) << boxes_.shown.join("|").toStdString();
    EXPECT_EQ(back->Book().insurance.GetSize(), 1);
}

TEST_F(Recovery, WhatDoesNotFitIsKeptAsideAndNamedInTheStartBox) {
    {
        auto dlg = Start(dir_);
        dlg->Book().insurance.Add(Policy("A1"));
        dlg->Book().insurance.Add(Policy("A2"));
        dlg->Book().members.Add({});
    }
    auto dlg = Start(dir_);
    dlg->Book().insurance.Add(Policy("A3"));
    dlg->Book().members.Add({});
    CrashCopy(2);
    dlg.reset();
    // Since then data3.bcm was replaced, and data1.bcm was damaged and is set aside at start.
    DataBook other;
    ASSERT_EQ(vantorel::SaveFile(other.members, In(crashed_, "data3.bcm")).outcome, vantorel::SaveOutcome::written);
    fs::resize_file(In(crashed_, "data1.bcm"), fs::file_size(In(crashed_, "data1.bcm")) - 2);
    const std::string journal = ReadAll(In(crashed_, vantorel::kJournalFileName));

    auto back = Start(crashed_);
    ASSERT_EQ(boxes_.shown.size(), 1);
    const QStringList paragraphs = boxes_.shown[0].split("\n\n");
    ASSERT_EQ(paragraphs.size(), 2) << boxes_.shown[0].toStdString();
    EXPECT_TRUE(paragraphs[0].startsWith("下列数据文件没有能完整读入：\n“data1.bcm”在第 "));
    const QStringList lines = paragraphs[1].split('\n');
    ASSERT_EQ(lines.size(), 4) << paragraphs[1].toStdString();
    EXPECT_EQ(lines[0], "上次程序没有正常关闭。");
    EXPECT_EQ(lines[1], "恢复日志中对“data1.bcm”的 1 项更改没有恢复：这个文件在上次运行之后被替换或改动过。");
    EXPECT_EQ(lines[2], "恢复日志中对“data3.bcm”的 1 项更改没有恢复：这个文件在上次运行之后被替换或改动过。");
    const QString aside = QString::fromStdString(back->Recovery().setAside.filename().string());
    EXPECT_TRUE(aside.startsWith("vantorel.journal.unapplied-")) << aside.toStdString();
    EXPECT_EQ(lines[3], "恢复日志已另存为“" + aside + "”。");
    EXPECT_EQ(ReadAll(back->Recovery().setAside), journal);
    EXPECT_EQ(back->Book().members.GetSize(), 0);
    EXPECT_EQ(back->Book().insurance.GetSize(), 1); // the record read before the damage
}

TEST_F(Recovery, AJournalThatCannotBeWrittenIsToldOnceAndTheCloseStillSaves) {
    fs::create_directories(In(dir_, "vantorel.journal.saving") / "inside");
    auto dlg = Start(dir_);
    dlg->Book().members.Add({});
    QElapsedTimer waited;
    waited.start();
    while (boxes_.shown.isEmpty() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(boxes_.shown.size(), 1);
    EXPECT_TRUE(boxes_.shown[0].startsWith("无法写入恢复日志“vantorel.journal”（cannot create vantorel.journal.saving"))
        << boxes_.shown[0].toStdString();
    EXPECT_TRUE(boxes_.shown[0].endsWith("正常关闭程序时仍会保存全部数据。"));
    dlg->Book().members.Add({});
    QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
    EXPECT_EQ(boxes_.shown.size(), 1);
    dlg.reset();
    DataBook back;
    vantorel::LoadAll(back, dir_.path().toStdString());
    EXPECT_EQ(back.members.GetSize(), 2);
}

TEST_F(Recovery, TheRefusedSecondCopyLeavesTheJournalAlone) {
    std::ofstream(In(dir_, vantorel::kJournalFileName), std::ios::binary) << "a journal of the running copy";
    QLockFile first(dir_.filePath(CAgentApp::kLockFileName));
    ASSERT_TRUE(first.tryLock(0));
    EXPECT_EQ(CAgentApp::RunMainWindow({}, dir_.path().toStdString()), 1);
    EXPECT_EQ(ReadAll(In(dir_, vantorel::kJournalFileName)), "a journal of the running copy");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({"vantorel.journal", "vantorel.lock"}));
}
