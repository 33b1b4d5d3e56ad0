// The real program in a temporary folder: killed, then ended by each signal.
#include "records/data_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    void Launch() {
        proc_.setProgram(QStringLiteral(VANTOREL_EXE));
        proc_.setWorkingDirectory(dir_.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
        proc_.setProcessEnvironment(env);
        proc_.start();
        ASSERT_TRUE(proc_.waitForStarted(10000));
    }
    // The lock appears once the signal handlers are in place; give the window time to come up.
    void WaitUntilRunning() {
        for (int i = 0; i < 200 && !QFile::exists(dir_.filePath("vantorel.lock")); ++i) QThread::msleep(50);
        ASSERT_TRUE(QFile::exists(dir_.filePath("vantorel.lock")));
        QThread::msleep(1500);
        ASSERT_EQ(proc_.state(), QProcess::Running) << proc_.readAllStandardError().toStdString();
    }
    void EndWith(int sig) {
        ::kill(static_cast<pid_t>(proc_.processId()), sig);
        ASSERT_TRUE(proc_.waitForFinished(20000)) << "still running after signal " << sig;
        EXPECT_EQ(proc_.exitStatus(), QProcess::NormalExit) << sig;
        EXPECT_EQ(proc_.exitCode(), 0) << proc_.readAllStandardError().toStdString();
    }
    std::filesystem::path File(const char* name) const { return dir_.filePath(name).toStdString(); }

    QTemporaryDir dir_;
    QProcess proc_;
};

} // namespace

TEST_F(Program, EachTerminationSignalSavesEverythingEvenWithABoxOpen) {
    // A killed copy saves nothing and leaves its lock behind; that lock does not block the next start.
    Launch();
    WaitUntilRunning();
    proc_.kill();
    ASSERT_TRUE(proc_.waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(dir_.filePath("vantorel.lock")));
    EXPECT_FALSE(QFile::exists(dir_.filePath("data1.bcm")));
    // Nothing was changed: no journal was made.
    EXPECT_FALSE(QFile::exists(dir_.filePath("vantorel.journal")));

    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        // A schedule entry for today keeps a reminder box open at start.
        vantorel::DataBook book;
        const QDate today = QDate::currentDate();
        book.calendar.Add({today.year() * 10000.0 + today.month() * 100 + today.day(), "due"});
        vantorel::PolicyRecord p;
        p.info.policyNo = "SIG-" + std::to_string(sig);
        book.insurance.Add(p);
        ASSERT_EQ(vantorel::SaveFile(book.insurance, File("data1.bcm")).outcome, vantorel::SaveOutcome::written);
        ASSERT_EQ(vantorel::SaveFile(book.calendar, File("data4.bcm")).outcome, vantorel::SaveOutcome::written);

        Launch();
        WaitUntilRunning();
        EndWith(sig);

        vantorel::DataBook back;
        for (const auto& f : vantorel::LoadAll(back, dir_.path().toStdString()))
            EXPECT_EQ(f.state, vantorel::LoadState::loaded) << f.file << " after " << sig;
        EXPECT_EQ(back.insurance.CopyAll(), book.insurance.CopyAll());
        EXPECT_EQ(back.calendar.CopyAll(), book.calendar.CopyAll());
        EXPECT_EQ(QFileInfo(dir_.filePath("data2.bcm")).size(), 4);
        QSettings store(dir_.filePath("config/Vantorel/vantorel.conf"), QSettings::IniFormat);
        for (const char* k : {"CALENDAR", "TBRSR", "BTBRSR", "QLKHSR", "TDCRSR"})
            EXPECT_EQ(store.value(QStringLiteral("AWOKE/") + k).toInt(), 1) << k;
        EXPECT_FALSE(QFile::exists(dir_.filePath("vantorel.lock")));
        EXPECT_FALSE(QFile::exists(dir_.filePath("vantorel.journal")));
    }
}

TEST_F(Program, ARefusedSecondCopyEndsOnEachTerminationSignalWhileItsBoxIsOpen) {
    // This process holds the folder's lock as a running copy would.
    QLockFile first(dir_.filePath("vantorel.lock"));
    ASSERT_TRUE(first.tryLock(0));
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        Launch();
        QThread::msleep(1500); // the refusal box is up by now
        ASSERT_EQ(proc_.state(), QProcess::Running) << "the refused copy should wait for its box to be answered";
        ::kill(static_cast<pid_t>(proc_.processId()), sig);
        const bool ended = proc_.waitForFinished(10000);
        EXPECT_TRUE(ended) << "still running after signal " << sig;
        if (!ended) {
            proc_.kill();
            proc_.waitForFinished(5000);
            continue;
        }
        EXPECT_EQ(proc_.exitStatus(), QProcess::NormalExit) << sig;
        EXPECT_EQ(proc_.exitCode(), 1) << sig;
    }
    for (const char* f : vantorel::kDataFileNames) EXPECT_FALSE(QFile::exists(dir_.filePath(f)));
}

TEST_F(Program, TheStartScriptMakesAPrivateDataFolder) {
    // A stand-in for the program: the script ends by starting it.
    QDir(dir_.path()).mkdir("bin");
    QFile stub(dir_.filePath("bin/vantorel"));
    ASSERT_TRUE(stub.open(QIODevice::WriteOnly));
    stub.write("#!/bin/sh\npwd\n");
    stub.close();
    stub.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.filePath("home"));
    env.remove("VANTOREL_DATA");
    env.insert("PATH", dir_.filePath("bin") + ":" + env.value("PATH"));
    script.setProcessEnvironment(env);
    QDir(dir_.path()).mkdir("home");
    // Under the usual umask, which would leave the folder open to every user.
    script.start("/bin/sh",
                 {"-c", "umask 022; exec /bin/sh \"$0\"",
                  QString::fromLocal8Bit(qgetenv("VANTOREL_SOURCE_DIR")) + "/resources/desktop/vantorel-start"});
    ASSERT_TRUE(script.waitForFinished(10000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    EXPECT_EQ(script.readAllStandardOutput().trimmed(), dir_.filePath("home/Vantorel").toLocal8Bit());
    EXPECT_EQ(QFileInfo(dir_.filePath("home/Vantorel")).permissions(),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser | QFileDevice::ExeUser);
}
