// vantorel-data import, run as a user runs it, on files in a temporary folder.
#include "import_book.h"
#include "storage_kit.h"

#include "agent/folder_lock.h"
#include "records/data_files.h"
#include "records/journal_format.h"
#include "records/record_bytes.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cstdlib>

using namespace vantorel;
using testkit::ReadBytes;
using testkit::TempDir;
using testkit::WriteBytes;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

class ImportCommand : public ::testing::Test {
protected:
    TempDir dir;

    ToolRun Run(const std::string& args) {
        const std::string cmd =
            "cd '" + dir.path().string() + "' && '" VANTOREL_DATA_TOOL "' " + args + " > stdout 2> stderr";
        const int status = std::system(cmd.c_str());
        return {WEXITSTATUS(status), ReadBytes(dir / "stdout"), ReadBytes(dir / "stderr")};
    }
    fs::path Folder(const char* name) {
        fs::create_directory(dir / name);
        return dir / name;
    }
};

const char* const kKinds[] = {"policies", "clients", "members", "schedule"};

} // namespace

TEST_F(ImportCommand, EveryExportedDataFileComesBackByteForByte) {
    const fs::path source = Folder("source");
    const DataBook book = importbook::Book(30);
    const SaveReport saved = SaveAll(book, source);
    for (const auto& s : saved) ASSERT_EQ(s.outcome, SaveOutcome::written) << s.reason;
    for (const char* names : {"", " --field-names"})
        for (std::size_t k = 0; k < 4; ++k) {
            const std::string file = kDataFileNames[k];
            const std::string csv = std::string(kKinds[k]) + (*names ? "-names" : "") + ".csv";
            ToolRun r = Run("export --csv source/" + file + names + " -o " + csv);
            ASSERT_EQ(r.code, 0) << r.err;
            const fs::path target = Folder((std::string("into-") + csv).c_str());
            r = Run(std::string("import --kind ") + kKinds[k] + " " + csv + " " + target.filename().string());
            EXPECT_EQ(r.code, 0) << r.out << r.err;
            EXPECT_NE(r.out.find(" 30 added") == std::string::npos && r.out.find(" 60 added") == std::string::npos,
                      true)
                << r.out;
            EXPECT_EQ(ReadBytes(target / file), ReadBytes(source / file)) << csv;
        }
}

TEST_F(ImportCommand, DuplicatesRefusedRowsLockAndJournal) {
    const fs::path data = Folder("data");
    DataBook book;
    MemberRecord stored = importbook::FullMember(1);
    book.members.Add(stored);
    ASSERT_EQ(SaveAll(book, data)[CollectionId::members].outcome, SaveOutcome::written);
    WriteBytes(dir / "m.csv", "\xEF\xBB\xBF工号,姓名,部门\r\nS1,New,\r\nS2,乙,销售\r\nS3,,x\r\nS2,丙,\r\n");

    ToolRun r = Run("import --kind members m.csv data");
    EXPECT_EQ(r.code, 1) << "rows were refused";
    EXPECT_NE(r.out.find("1 added, 0 updated, 1 skipped (already there), 2 refused"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("row 4 refused"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("row 5 refused"), std::string::npos) << r.out;
    DataBook after;
    ASSERT_EQ(LoadFile(after.members, data / "data3.bcm").state, LoadState::loaded);
    ASSERT_EQ(after.members.GetSize(), 2);
    EXPECT_EQ(after.members.GetAt(0), stored) << "skipped by default";

    r = Run("import --kind members m.csv data --update");
    EXPECT_NE(r.out.find("0 added, 2 updated, 0 skipped"), std::string::npos) << r.out;
    DataBook updated;
    ASSERT_EQ(LoadFile(updated.members, data / "data3.bcm").state, LoadState::loaded);
    MemberRecord expected = stored;
    expected.person.name = "New";
    expected.department = "";
    EXPECT_EQ(updated.members.GetAt(0), expected) << "mapped fields replaced, the others kept";

    const std::string before = ReadBytes(data / "data3.bcm");
    {
        QLockFile lock(QDir(QString::fromStdString(data.string())).absoluteFilePath(kFolderLockFileName));
        ASSERT_TRUE(TakeFolderLock(lock));
        r = Run("import --kind members m.csv data --update");
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("running"), std::string::npos) << r.err;
    }
    WriteBytes(data / kJournalFileName, "left behind");
    r = Run("import --kind members m.csv data --update");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("journal"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(data / "data3.bcm"), before) << "nothing written while refused";

    fs::remove(data / kJournalFileName);
    WriteBytes(dir / "bad.xlsx", "PK\x03\x04 not really a zip");
    r = Run("import --kind members bad.xlsx data");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("bad.xlsx"), std::string::npos) << r.err;
    EXPECT_EQ(Run("import --kind nobody m.csv data").code, 2);
    EXPECT_EQ(Run("import m.csv data").code, 2);
}
