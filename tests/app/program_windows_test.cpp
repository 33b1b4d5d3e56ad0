// The real program on Windows, where it has no POSIX signals and no start
// script: started in its own folder, as the Start menu and a double click
// start it, it works in the user's data folder instead.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Starts the program in `folder` with VANTOREL_DATA set to `data`, waits for
// the lock of the folder it works in, and ends it (TerminateProcess: nothing
// to save, nothing changed). Returns the folder holding the lock, or "".
QString LockedFolder(const QString& folder, const QString& data) {
    QProcess proc;
    proc.setProgram(QStringLiteral(VANTOREL_EXE));
    proc.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VANTOREL_DATA", QDir::toNativeSeparators(data));
    proc.setProcessEnvironment(env);
    proc.start();
    if (!proc.waitForStarted(10000)) return {};
    QString found;
    for (int i = 0; i < 400 && found.isEmpty(); ++i) {
        for (const QString& f : {folder, data})
            if (QFile::exists(QDir(f).filePath("vantorel.lock"))) found = f;
        if (found.isEmpty()) QThread::msleep(50);
    }
    proc.kill();
    proc.waitForFinished(10000);
    return found;
}

} // namespace

TEST(ProgramOnWindows, InItsOwnFolderItWorksInTheUsersDataFolderElsewhereWhereStarted) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString programFolder = QFileInfo(QStringLiteral(VANTOREL_EXE)).absolutePath();
    // The data folder is made when missing, with the folders above it.
    const QString data = dir.filePath("profile/Vantorel");
    EXPECT_EQ(LockedFolder(programFolder, data), data);
    EXPECT_FALSE(QFile::exists(QDir(programFolder).filePath("vantorel.lock")));
    // Started anywhere else the current folder holds the data, as on Linux.
    QDir(dir.path()).mkdir("elsewhere");
    EXPECT_EQ(LockedFolder(dir.filePath("elsewhere"), data), dir.filePath("elsewhere"));
}
