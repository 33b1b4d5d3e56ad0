// Runs the built vantorel-data executable on files in a temporary folder.
#include "storage_kit.h"

#include "records/journal_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

using namespace vantorel;
using testkit::B;
using testkit::Hex;
using testkit::ReadBytes;
using testkit::Stored;
using testkit::TempDir;
using testkit::WriteBytes;

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

#ifdef _WIN32
// std::system runs cmd.exe there, which returns the command's exit code itself.
int ExitCode(int status) { return status; }
// The tool's path as built has no drive; taken while the current folder is on the build's.
const std::string kTool = std::filesystem::absolute(VANTOREL_DATA_TOOL).string();
std::string InFolder(const std::filesystem::path& dir, const std::string& command) {
    return "cd /d \"" + dir.string() + "\" && " + command;
}
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }
#else
int ExitCode(int status) { return WEXITSTATUS(status); }
const std::string kTool = VANTOREL_DATA_TOOL;
std::string InFolder(const std::filesystem::path& dir, const std::string& command) {
    return "cd '" + dir.string() + "' && " + command;
}
std::string Quoted(const std::string& path) { return "'" + path + "'"; }
#endif

class DataTool : public ::testing::Test {
protected:
    TempDir dir;

    ToolRun Run(const std::string& args, const std::string& input = "") {
        WriteBytes(dir / "stdin", input);
        const std::string cmd = InFolder(dir.path(), Quoted(kTool) + " " + args + " < stdin > stdout 2> stderr");
        const int status = std::system(cmd.c_str());
        return {ExitCode(status), ReadBytes(dir / "stdout"), ReadBytes(dir / "stderr")};
    }
    // Builds `json` into `file` and returns the file's bytes.
    std::string Build(const std::string& kind, const std::string& json, const std::string& file = "out.bcm") {
        const ToolRun r = Run("build --kind " + kind + " " + file, json);
        EXPECT_EQ(r.code, 0) << r.err;
        return ReadBytes(dir / file);
    }
};

const char* const kKinds[] = {"policies", "clients", "members", "schedule"};

} // namespace

TEST_F(DataTool, BuildProducesTheGoldenBytesAndDumpReadsThemBack) {
    const std::string text = R"([{"date": 20040529, "text": ")", end = R"("}])";
    struct Case {
        const char* kind;
        std::string json;
        std::size_t size;
        std::string hexStart;
    } cases[] = {
        {"schedule", text + "ab" + end, 15, "01 00 00 00 00 00 00 10 B5 1C 73 41 02 61 62"},
        {"schedule", text + std::string(254, 'x') + end, 13 + 254, "01 00 00 00 00 00 00 10 B5 1C 73 41 FE 78"},
        {"schedule", text + std::string(255, 'x') + end, 15 + 255, "01 00 00 00 00 00 00 10 B5 1C 73 41 FF FF 00 78"},
        {"schedule", text + std::string(300, 'x') + end, 15 + 300, "01 00 00 00 00 00 00 10 B5 1C 73 41 FF 2C 01 78"},
        {"schedule", text + std::string(65533, 'x') + end, 15 + 65533, "01 00 00 00 00 00 00 10 B5 1C 73 41 FF FD FF"},
        {"schedule", text + std::string(65534, 'x') + end, 19 + 65534,
         "01 00 00 00 00 00 00 10 B5 1C 73 41 FF FF FF FE FF 00 00 78"},
        {"policies", "[]", 4, "00 00 00 00"},
        {"policies", R"([{"info": {"policyNo": "A1", "sumInsured": 50}}])", 95,
         "01 00 00 00 02 41 31 00 00 00 00 00 00 00 49 40"},
        {"policies", R"([{"beneficiaries": [{}, {}], "riders": [{}]}])", 4 + 89 + 2 * 44 + 28, "01 00 00 00 00 00"},
        {"clients", "[{}]", 4 + 39, "01 00 00 00 00 00"},
        {"clients",
         R"([{"person": {"sex": 1, "maritalStatus": 1, "birthDate": "1977/1-1", "height": 170, "education": "本科"}}])",
         59,
         "01 00 00 00 00 01 00 00 00 01 00 08 31 39 37 37 2F 31 2D 31 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 40 "
         "65 40 00 00 00 00 00 00 00 00 00 04 B1 BE BF C6 00 00 04 B1 BE BF C6"},
        {"members", R"([{"person": {"sex": -1}}])", 4 + 42, "01 00 00 00 00 FF FF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 80));
        const std::string bytes = Build(c.kind, c.json);
        EXPECT_EQ(bytes.size(), c.size);
        EXPECT_EQ(Hex(bytes).substr(0, c.hexStart.size()), c.hexStart);
        const ToolRun dumped = Run("dump out.bcm --kind " + std::string(c.kind));
        ASSERT_EQ(dumped.code, 0) << dumped.err;
        EXPECT_EQ(Build(c.kind, dumped.out, "again.bcm"), bytes);
    }
    // GBK comes out as UTF-8, numbers as numbers; the repeated education is
    // not a key of its own.
    Build("clients", cases[10].json);
    const std::string clientDump = Run("dump out.bcm --kind clients").out;
    EXPECT_NE(clientDump.find(R"("education": "本科")"), std::string::npos) << clientDump;
    EXPECT_NE(clientDump.find(R"("height": 170.0)"), std::string::npos);
    EXPECT_EQ(clientDump.find(R"("education")"), clientDump.rfind(R"("education")"));
}

TEST_F(DataTool, DumpThenBuildGivesBackTheSameBytes) {
    DataBook book;
    testkit::FillSampleBook(book);
    PolicyRecord odd = testkit::SamplePolicy(5, 1, 1);
    odd.info.sumInsured = std::numeric_limits<double>::quiet_NaN();
    odd.info.annualPremium = -0.0;
    odd.insured.height = std::numeric_limits<double>::denorm_min();
    odd.insured.weight = -std::numeric_limits<double>::infinity();
    odd.beneficiaries[0].share = 0.1 + 0.2;
    odd.holder.remarks = std::string("line\nbreak\t\"quoted\"\x01", 20) + std::string(1, '\0') + "nul";
    book.insurance.Add(odd);
    book.calendar.Add({20041231.75, std::string(70000, 'y')});
    for (std::size_t i = 0; i < kFileCount; ++i) {
        const std::string name = kDataFileNames[i];
        const std::string original = Stored(book.Collection(i));
        WriteBytes(dir / name, original);
        const ToolRun dumped = Run("dump " + name);
        ASSERT_EQ(dumped.code, 0) << dumped.err;
        EXPECT_EQ(Build(kKinds[i], dumped.out, "copy.bcm"), original) << name;
    }
}

TEST_F(DataTool, CheckReportsSoundAndDamagedFilesWithOffsets) {
    DataBook book;
    testkit::FillSampleBook(book);
    const std::string members = Stored(book.members);
    CInsurance one;
    one.Add(PolicyRecord{});
    std::string policy = Stored(one);
    policy[4 + 89 - 4] = 11; // a beneficiary count of 11, in a file named otherwise
    struct Case {
        std::string bytes, args;
        int code;
        std::vector<std::string> says;
    } cases[] = {
        {members, "check data3.bcm", 0, {"sound, 3"}},
        {members + "xyz", "check data3.bcm", 0, {"3 bytes after the last record"}},
        {members.substr(0, members.size() - 1),
         "check data3.bcm",
         1,
         {"damaged at byte " + std::to_string(members.size() - 1), "2 records (members) read"}},
        {policy, "check data3.bcm --kind policies", 1, {"damaged at byte 89", "above 10"}},
        {policy, "dump data3.bcm --kind policies", 1, {}},
        {"", "check data3.bcm", 0, {}},
        {"", "check data2.bcm", 1, {}}, // missing
    };
    for (const auto& c : cases) {
        WriteBytes(dir / "data3.bcm", c.bytes);
        const ToolRun r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args;
        for (const auto& text : c.says) EXPECT_NE(r.out.find(text), std::string::npos) << r.out;
    }
}

TEST_F(DataTool, CheckCountsAJournalsEntriesAndNamesItsTornTail) {
    std::string journal = EncodeJournalHeader({});
    CCalendar one;
    one.Add({20040529, "ab"});
    const std::string record = Stored(one).substr(4); // the record without the count
    AppendJournalEntry(journal, CollectionId::calendar, {CollectionChange::Kind::add, 0, record});
    AppendJournalEntry(journal, CollectionId::calendar, {CollectionChange::Kind::replace, 0, record});
    AppendJournalEntry(journal, CollectionId::insurance, {CollectionChange::Kind::removeAll, 0, {}});
    AppendSavedEntry(journal, CollectionId::insurance, {});
    std::string badRecord = journal;
    AppendJournalEntry(badRecord, CollectionId::clients, {CollectionChange::Kind::add, 0, "x"});
    struct Case {
        const char* name;
        std::string bytes;
        int code;
        std::vector<std::string> says;
    } cases[] = {
        {"vantorel.journal",
         journal,
         0,
         {"recovery journal, 4 whole entries", "data4.bcm (schedule): 1 added, 1 replaced, 0 removed",
          "data1.bcm (policies): 0 added, 0 replaced, 0 removed, 1 removed all, 1 saved marks"}},
        {"vantorel.journal.unapplied-20261206-101500",
         journal.substr(0, journal.size() - 3),
         1,
         {"3 whole entries", "torn tail: the last " + std::to_string(kJournalEntryOverhead + 22 - 3) + " bytes"}},
        {"copy.bin", badRecord, 1, {"is not one whole record of clients"}},
        {"vantorel.journal", "garbage", 1, {"not a recovery journal"}},
        {"vantorel.journal", "", 0, {"holds no changes"}},
    };
    for (const auto& c : cases) {
        WriteBytes(dir / c.name, c.bytes);
        const ToolRun r = Run(std::string("check ") + c.name);
        EXPECT_EQ(r.code, c.code) << c.name << ": " << r.out << r.err;
        for (const auto& text : c.says) EXPECT_NE(r.out.find(text), std::string::npos) << r.out;
    }
    // An export never writes over the journal.
    Build("schedule", "[]", "data4.bcm");
    EXPECT_EQ(Run("export --csv data4.bcm -o vantorel.journal").code, 2);
    EXPECT_EQ(ReadBytes(dir / "vantorel.journal"), "");
}
namespace {
// The CSV's lines after the byte-order mark (a quoted line break stays inside its line).
std::vector<std::string> CsvLines(const std::string& csv) {
    std::vector<std::string> lines;
    for (std::size_t at = 3, next; (next = csv.find("\r\n", at)) != std::string::npos; at = next + 2)
        lines.push_back(csv.substr(at, next - at));
    return lines;
}
} // namespace

TEST_F(DataTool, CsvHasABomAHeaderAndOneRowPerRecord) {
    Build(
        "policies",
        R"([{"info": {"policyNo": "A,1"}, "holder": {"name": "张三"}, "beneficiaries": [{"name": "b1"}, {"name": "b2"}]},
              {"info": {"policyNo": "say \"hi\"\nthere"}}])",
        "data1.bcm");
    const ToolRun r = Run("export --csv data1.bcm");
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.out.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = CsvLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out; // header + two records (the quoted newline is inside a cell)
    EXPECT_EQ(lines[0].rfind("保险单号,保险公司,保险金额(万元),缴费方式,年缴保费(元),生效日期,", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(",投保人姓名,投保人性别,"), std::string::npos);
    EXPECT_NE(lines[0].find(",投保人与被保险人关系,"), std::string::npos);
    EXPECT_NE(lines[0].find(",被保险人身高(cm),"), std::string::npos);
    EXPECT_NE(lines[0].find(",受益人2受益份额(%)"), std::string::npos);
    EXPECT_EQ(lines[0].find("受益人3"), std::string::npos);
    EXPECT_EQ(lines[1].rfind("\"A,1\",,0,", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find(",张三,"), std::string::npos);
    EXPECT_EQ(lines[2].rfind("\"say \"\"hi\"\"\nthere\"", 0), 0u) << lines[2];

    EXPECT_EQ(Run("export --csv data1.bcm -o out.csv").code, 0);
    EXPECT_EQ(ReadBytes(dir / "out.csv"), r.out);

    // Today's field paths on request, the rows unchanged.
    const ToolRun named = Run("export --csv --field-names data1.bcm");
    ASSERT_EQ(named.code, 0) << named.err;
    const std::vector<std::string> namedLines = CsvLines(named.out);
    ASSERT_EQ(namedLines.size(), 3u);
    EXPECT_EQ(namedLines[0].rfind("info.policyNo,info.company,info.sumInsured,", 0), 0u);
    EXPECT_NE(namedLines[0].find("beneficiaries.2.share"), std::string::npos);
    EXPECT_EQ(namedLines[1], lines[1]);
}

TEST_F(DataTool, CsvWritesChoicesAsWordsAndNeverAFormula) {
    Build("clients",
          R"j([{"person": {"name": "=1+2", "sex": 0, "maritalStatus": 4, "remarks": "@SUM(A1)", "height": -3},
               "hobby": "-2+3", "fax": "+86 10"},
              {"person": {"name": "a=b", "sex": 1, "maritalStatus": -1, "remarks": "\tx"}, "hobby": "'quoted"},
              {"person": {"sex": -1, "maritalStatus": 7}}])j",
          "data2.bcm");
    const ToolRun r = Run("export --csv data2.bcm");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> lines = CsvLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0].rfind("姓名,性别,民族,身份证号,婚况,出生日期,", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(",爱好,传真"), std::string::npos) << lines[0];
    // name, sex, nation, id, marital ... ; numbers stay numbers, even negative ones.
    EXPECT_EQ(lines[1].rfind("'=1+2,男,,,分居,", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find(",-3,'@SUM(A1),"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(",'-2+3,'+86 10"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2].rfind("a=b,女,,,,", 0), 0u) << lines[2];
    EXPECT_NE(lines[2].find(",'\tx,"), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find(",'quoted,"), std::string::npos) << lines[2];
    // Nothing chosen is empty; a value no form makes stays visible.
    EXPECT_EQ(lines[3].rfind(",,,,7,", 0), 0u) << lines[3];
}

TEST_F(DataTool, BadInputIsRefusedAndTheOldFileKept) {
    WriteBytes(dir / "data4.bcm", "keep");
    struct Case {
        std::string kind, json, message;
    } cases[] = {
        {"schedule", R"([{"text": "😀"}])", "GBK"},
        {"schedule", R"([{"txet": "a"}])", "txet"},
        {"schedule", R"([{"date": "soon"}])", "date"},
        {"schedule", R"({"date": 1})", "array"},
        {"schedule", R"([{"date": 1)", "JSON"},
        {"clients", R"([{"person": {"sex": 40000}}])", "person.sex"},
        {"policies", R"([{"riders": [{},{},{},{},{},{},{},{},{},{},{}]}])", "riders"},
    };
    for (const auto& k : cases) {
        const ToolRun r = Run("build --kind " + k.kind + " data4.bcm", k.json);
        EXPECT_EQ(r.code, 1) << k.json;
        EXPECT_NE(r.err.find(k.message), std::string::npos) << r.err;
        EXPECT_EQ(ReadBytes(dir / "data4.bcm"), "keep");
    }
}

TEST_F(DataTool, WrongArgumentsGiveOneLineAndExitTwo) {
    for (const char* args : {"", "frob", "dump", "dump a.bcm b.bcm", "dump x.bin", "dump data1.bcm --kind cars",
                             "build", "check --bogus data1.bcm", "export data1.bcm", "dump data1.bcm --kind"}) {
        const ToolRun r = Run(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    }
    for (const char* args : {"--help", "dump --help", "build --help", "check -h", "export --help"}) {
        const ToolRun r = Run(args);
        EXPECT_EQ(r.code, 0) << args;
        EXPECT_NE(r.out.find("example"), std::string::npos) << args;
    }
}

namespace {

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x80)
        s += char(c);
    else if (c < 0x800)
        s += {char(0xC0 | c >> 6), char(0x80 | (c & 63))};
    else
        s += {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 63)), char(0x80 | (c & 63))};
    return s;
}

} // namespace

TEST_F(DataTool, EveryCharacterTheProgramStoresInGbksUserDefinedAreasRoundTrips) {
    // The three user-defined areas in the order they map onto U+E000..U+E765,
    // then the euro sign's single byte and 0xFF.
    std::string gbk, utf8;
    char32_t next = 0xE000;
    const auto area = [&](int lead0, int lead1, int trail0, int trail1) {
        for (int lead = lead0; lead <= lead1; ++lead)
            for (int trail = trail0; trail <= trail1; ++trail) {
                if (trail == 0x7F) continue;
                gbk += {char(lead), char(trail)};
                utf8 += Utf8(next++);
            }
    };
    area(0xAA, 0xAF, 0xA1, 0xFE);
    area(0xF8, 0xFE, 0xA1, 0xFE);
    area(0xA1, 0xA7, 0x40, 0xA0);
    ASSERT_EQ(next, char32_t(0xE766));
    gbk += "\x80\xFF";
    utf8 += Utf8(0x20AC) + Utf8(0xF8F5);
    CCalendar schedule;
    schedule.Add({20040529, gbk});
    PolicyRecord policy;
    policy.holder.name = gbk.substr(0, 40);
    policy.beneficiaries.push_back({.name = gbk});
    CInsurance policies;
    policies.Add(policy);
    WriteBytes(dir / "data4.bcm", Stored(schedule));
    WriteBytes(dir / "data1.bcm", Stored(policies));

    const ToolRun dumped = Run("dump data4.bcm");
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    EXPECT_NE(dumped.out.find("\"" + utf8 + "\""), std::string::npos);
    EXPECT_EQ(Build("schedule", dumped.out), Stored(schedule));
    const ToolRun policyDump = Run("dump data1.bcm");
    ASSERT_EQ(policyDump.code, 0) << policyDump.err;
    EXPECT_EQ(Build("policies", policyDump.out), Stored(policies));
    const ToolRun csv = Run("export --csv data4.bcm");
    ASSERT_EQ(csv.code, 0) << csv.err;
    EXPECT_NE(csv.out.find(utf8), std::string::npos);
    // The same characters typed as JSON are stored as the same bytes.
    EXPECT_EQ(Build("schedule", R"([{"date": 20040529, "text": ")" + utf8 + R"("}])"), Stored(schedule));
}

TEST_F(DataTool, AWriteThatFailsIsAFailureAndNeverHalfReplacesAFile) {
    DataBook book;
    testkit::FillSampleBook(book);
    WriteBytes(dir / "data1.bcm", Stored(book.insurance));
#ifdef _WIN32
    GTEST_SKIP() << "needs /dev/full and a shell's file size limit, which Windows lacks";
#endif
    const auto shell = [&](const std::string& command) {
        const int status = std::system(InFolder(dir.path(), command + " 2> stderr").c_str());
        return ToolRun{ExitCode(status), "", ReadBytes(dir / "stderr")};
    };
    const std::string tool = Quoted(kTool);
    // Standard output on a full disk.
    for (const char* args : {" dump data1.bcm", " export --csv data1.bcm", " check data1.bcm"}) {
        const ToolRun r = shell(tool + args + " > /dev/full");
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_NE(r.err.find("standard output"), std::string::npos) << args << ": " << r.err;
    }
    // A file size limit reached half-way, as a full disk would be: the old CSV stays whole.
    WriteBytes(dir / "out.csv", "old");
    ToolRun r = shell("(trap '' XFSZ; ulimit -f 1; " + tool + " export --csv data1.bcm -o out.csv)");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("out.csv"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(dir / "out.csv"), "old");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.csv.saving"));
    r = Run("export --csv data1.bcm -o out.csv");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir / "out.csv"), Run("export --csv data1.bcm").out);
}

TEST_F(DataTool, ExportRefusesToWriteOverItsInputOrAnyDataFile) {
    DataBook book;
    testkit::FillSampleBook(book);
    for (std::size_t i = 0; i < kFileCount; ++i) WriteBytes(dir / kDataFileNames[i], Stored(book.Collection(i)));
    WriteBytes(dir / "data1.BAK", Stored(book.insurance));
    WriteBytes(dir / "clients.bin", Stored(book.clients));
#ifndef _WIN32 // symbolic links need a privilege there
    std::filesystem::create_symlink("data2.bcm", dir / "link.csv");
#endif
    std::filesystem::create_hard_link(dir / "clients.bin", dir / "hard.csv");
    const std::string folder = dir.path().filename().string();
    struct Case {
        std::string args;
        bool refused;
    } cases[] = {
        {"export --csv data2.bcm -o data2.bcm", true},
        {"export --csv data2.bcm -o ./data2.bcm", true},
        {"export --csv data2.bcm -o ../" + folder + "/data2.bcm", true},
#ifndef _WIN32
        {"export --csv data2.bcm -o link.csv", true}, // a link to the input
#endif
        {"export --csv data2.bcm -o data1.bcm", true}, // another data file
        {"export --csv data2.bcm -o DATA3.BCM", true}, // one by another spelling
        {"export --csv data2.bcm -o data1.BAK", true}, // a backup
        {"export --csv data2.bcm -o data2.bcm.damaged-20040529-101500", true},
        {"export --csv clients.bin --kind clients -o hard.csv", true}, // the input under another name
        {"export --csv clients.bin --kind clients -o clients.bin", true},
        {"export --csv data2.bcm -o clients.csv", false},
    };
    for (const auto& c : cases) {
        const ToolRun r = Run(c.args);
        EXPECT_EQ(r.code, c.refused ? 2 : 0) << c.args << ": " << r.err;
        if (c.refused) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
        for (std::size_t i = 0; i < kFileCount; ++i)
            EXPECT_EQ(ReadBytes(dir / kDataFileNames[i]), Stored(book.Collection(i))) << c.args;
        EXPECT_EQ(ReadBytes(dir / "clients.bin"), Stored(book.clients)) << c.args;
        EXPECT_EQ(ReadBytes(dir / "data1.BAK"), Stored(book.insurance)) << c.args;
        EXPECT_FALSE(std::filesystem::exists(dir / "data2.bcm.damaged-20040529-101500"));
    }
    EXPECT_EQ(ReadBytes(dir / "clients.csv").substr(0, 3), "\xEF\xBB\xBF");
}
