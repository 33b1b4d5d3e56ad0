// The session: the data folder it is given, the book it reads from there and
// the switches as stored.
#include "app/session.h"
#include "app/settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

QSettings Store() { return RemindSettings::Store(); }

vantorel::MemberRecord Member(const char* staffNo) {
    vantorel::MemberRecord m;
    m.staffNo = staffNo;
    return m;
}

} // namespace

TEST(Session, WorksOnItsFolderOnlyAndOpensIntoAFreshBook) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path folder = dir.path().toStdString();
    vantorel::DataBook written;
    written.members.Add(Member("S1"));
    for (const auto& r : vantorel::SaveAll(written, folder))
        ASSERT_EQ(r.outcome, vantorel::SaveOutcome::written) << r.reason;
    Store().setValue("AWOKE/TBRSR", 0);

    Session first(folder);
    first.Book().members.Add(Member("before")); // replaced, not added to
    // The files are read on a thread of their own: the book is the old one until FinishOpen.
    first.BeginOpen();
    EXPECT_EQ(first.Book().members.GetSize(), 1);
    first.BeginOpen(); // the read under way goes on, no second one
    // A session handed on while it reads (the program starts reading before
    // its window exists) hands on the read.
    Session session(std::move(first));
    session.FinishOpen();
    EXPECT_EQ(session.Book().members.CopyAll(), written.members.CopyAll());
    EXPECT_EQ(session.LoadResults()[2].state, vantorel::LoadState::loaded);
    EXPECT_EQ(session.StoredSwitches().holder, 0);
    EXPECT_EQ(session.StoredSwitches().members, 1);

    session.Book().members.Add(Member("S2"));
    for (const auto& r : session.SaveAll()) EXPECT_NE(r.outcome, vantorel::SaveOutcome::failed) << r.reason;
    vantorel::DataBook back;
    vantorel::LoadAll(back, folder);
    EXPECT_EQ(back.members.CopyAll(), session.Book().members.CopyAll());
    // The backup is of the book as it is now, whatever the files hold.
    session.Book().members.Add(Member("S3"));
    fs::remove(folder / "data4.bcm");
    for (const auto& r : session.Backup()) EXPECT_TRUE(r.written) << r.reason;
    vantorel::DataBook backup;
    vantorel::LoadFile(backup.members, folder / "data3.BAK");
    EXPECT_EQ(backup.members.CopyAll(), session.Book().members.CopyAll());
    EXPECT_TRUE(fs::exists(folder / "data4.BAK"));
    // Nothing lands in the process's working folder.
    for (const char* name : {"data1.bcm", "data3.bcm", "data3.BAK"}) EXPECT_FALSE(fs::exists(name)) << name;
    Store().clear();
}
