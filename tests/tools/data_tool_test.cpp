// Runs the built vantorel-data executable on files in a temporary folder.
#include "storage_kit.h"

#include <gtest/gtest.h>

#include <cmath>
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

struct Result {
    int code;
    std::string out, err;
};

class DataTool : public ::testing::Test {
protected:
    TempDir dir;

    Result Run(const std::string& args, const std::string& input = "") {
        WriteBytes(dir / "stdin", input);
        const std::string cmd = "cd '" + dir.path().string() + "' && '" VANTOREL_DATA_TOOL "' " + args +
                                " < stdin > stdout 2> stderr";
        const int status = std::system(cmd.c_str());
        return {WEXITSTATUS(status), ReadBytes(dir / "stdout"), ReadBytes(dir / "stderr")};
    }
    // Builds `json` into `file` and returns the file's bytes.
    std::string Build(const std::string& kind, const std::string& json, const std::string& file = "out.bcm") {
        const Result r = Run("build --kind " + kind + " " + file, json);
        EXPECT_EQ(r.code, 0) << r.err;
        return ReadBytes(dir / file);
    }
};

} // namespace

TEST_F(DataTool, BuildProducesTheGoldenBytesAndDumpReadsThemBack) {
    EXPECT_EQ(Hex(Build("schedule", R"([{"date": 20040529, "text": "ab"}])")),
              "01 00 00 00 00 00 00 10 B5 1C 73 41 02 61 62");
    EXPECT_EQ(Hex(Build("policies", "[]")), "00 00 00 00");

    const std::string policy = Build("policies", R"([{"info": {"policyNo": "A1", "sumInsured": 50}}])");
    ASSERT_EQ(policy.size(), 95u);
    EXPECT_EQ(Hex(policy.substr(0, 7)), "01 00 00 00 02 41 31");
    EXPECT_EQ(Hex(policy.substr(8, 8)), "00 00 00 00 00 00 49 40");
    EXPECT_EQ(Build("policies", R"([{"beneficiaries": [{}, {}], "riders": [{}]}])").size(), 4u + 89 + 2 * 44 + 28);

    const std::string client = Build(
        "clients",
        R"([{"person": {"sex": 1, "maritalStatus": 1, "birthDate": "1977/1-1", "height": 170, "education": "本科"}}])");
    EXPECT_EQ(Hex(client), "01 00 00 00 00 01 00 00 00 01 00 08 31 39 37 37 2F 31 2D 31 00 00 00 00 00 00 00 00 00 "
                           "00 00 00 00 00 00 40 65 40 00 00 00 00 00 00 00 00 00 04 B1 BE BF C6 00 00 04 B1 BE BF C6");
    EXPECT_EQ(Build("clients", "[{}]").size(), 4u + 39);
    const std::string member = Build("members", R"([{"person": {"sex": -1}}])");
    EXPECT_EQ(member.size(), 4u + 42);
    EXPECT_EQ(Hex(member.substr(5, 2)), "FF FF");

    const Result dumped = Run("dump out.bcm --kind members");
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    const std::string clientDump = (WriteBytes(dir / "data2.bcm", client), Run("dump data2.bcm").out);
    EXPECT_NE(clientDump.find(R"("education": "本科")"), std::string::npos) << clientDump;
    EXPECT_NE(clientDump.find(R"("height": 170.0)"), std::string::npos);
    EXPECT_NE(dumped.out.find(R"("sex": -1)"), std::string::npos);
    // The repeated education is not a key of its own.
    EXPECT_EQ(clientDump.find(R"("education")"), clientDump.rfind(R"("education")"));

    // String prefixes of every form.
    for (std::size_t n : {254u, 255u, 300u, 65533u, 65534u}) {
        const std::string bytes = Build("schedule", R"([{"text": ")" + std::string(n, 'x') + R"("}])");
        const std::string prefix = bytes.substr(12, n < 255 ? 1 : n < 65534 ? 3 : 7);
        EXPECT_EQ(bytes.size(), 12 + prefix.size() + n);
        const char* expected = n == 254 ? "FE" : n == 255 ? "FF FF 00" : n == 300 ? "FF 2C 01" : n == 65533 ? "FF FD FF"
                                                                                                  : "FF FF FF FE FF 00 00";
        EXPECT_EQ(Hex(prefix), expected);
    }
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
        const Result dumped = Run("dump " + name);
        ASSERT_EQ(dumped.code, 0) << dumped.err;
        const Result built = Run("build copy.bcm --kind " + std::string(i == 0   ? "policies"
                                                                            : i == 1 ? "clients"
                                                                            : i == 2 ? "members"
                                                                                     : "schedule"),
                                 dumped.out);
        ASSERT_EQ(built.code, 0) << built.err;
        EXPECT_EQ(ReadBytes(dir / "copy.bcm"), original) << name;
    }
}

TEST_F(DataTool, CheckReportsSoundAndDamagedFilesWithOffsets) {
    DataBook book;
    testkit::FillSampleBook(book);
    const std::string members = Stored(book.members);
    WriteBytes(dir / "data3.bcm", members);
    Result r = Run("check data3.bcm");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("sound, 3"), std::string::npos) << r.out;

    WriteBytes(dir / "data3.bcm", members + "xyz");
    r = Run("check data3.bcm");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("3 bytes after the last record"), std::string::npos) << r.out;

    WriteBytes(dir / "data3.bcm", members.substr(0, members.size() - 1));
    r = Run("check data3.bcm");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("damaged at byte " + std::to_string(members.size() - 1)), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 records (members) read"), std::string::npos) << r.out;

    // A beneficiary count of 11 in a policy file that is named otherwise.
    CInsurance one;
    one.Add(PolicyRecord{});
    std::string policy = Stored(one);
    policy[4 + 89 - 4] = 11;
    WriteBytes(dir / "policies.bin", policy);
    r = Run("check policies.bin --kind policies");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("damaged at byte 89"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("above 10"), std::string::npos) << r.out;
    EXPECT_EQ(Run("dump policies.bin --kind policies").code, 1);

    WriteBytes(dir / "data1.bcm", "");
    EXPECT_EQ(Run("check data1.bcm").code, 0);
    EXPECT_EQ(Run("check data2.bcm").code, 1); // missing
}

TEST_F(DataTool, CsvHasABomAHeaderAndOneRowPerRecord) {
    Build("policies",
          R"([{"info": {"policyNo": "A,1"}, "holder": {"name": "张三"}, "beneficiaries": [{"name": "b1"}, {"name": "b2"}]},
              {"info": {"policyNo": "say \"hi\"\nthere"}}])",
          "data1.bcm");
    const Result r = Run("export --csv data1.bcm");
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.out.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::string> lines;
    for (std::size_t at = 3, next; (next = r.out.find("\r\n", at)) != std::string::npos; at = next + 2)
        lines.push_back(r.out.substr(at, next - at));
    ASSERT_EQ(lines.size(), 3u) << r.out; // header + two records (the quoted newline is inside a cell)
    EXPECT_EQ(lines[0].rfind("info.policyNo,info.company,info.sumInsured,", 0), 0u);
    EXPECT_NE(lines[0].find("beneficiaries.2.share"), std::string::npos);
    EXPECT_EQ(lines[0].find("beneficiaries.3."), std::string::npos);
    EXPECT_EQ(lines[1].rfind("\"A,1\",,0,", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find(",张三,"), std::string::npos);
    EXPECT_EQ(lines[2].rfind("\"say \"\"hi\"\"\nthere\"", 0), 0u) << lines[2];

    EXPECT_EQ(Run("export --csv data1.bcm -o out.csv").code, 0);
    EXPECT_EQ(ReadBytes(dir / "out.csv"), r.out);
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
        const Result r = Run("build --kind " + k.kind + " data4.bcm", k.json);
        EXPECT_EQ(r.code, 1) << k.json;
        EXPECT_NE(r.err.find(k.message), std::string::npos) << r.err;
        EXPECT_EQ(ReadBytes(dir / "data4.bcm"), "keep");
    }
}

TEST_F(DataTool, WrongArgumentsGiveOneLineAndExitTwo) {
    for (const char* args : {"", "frob", "dump", "dump a.bcm b.bcm", "dump x.bin", "dump data1.bcm --kind cars",
                             "build", "check --bogus data1.bcm", "export data1.bcm", "dump data1.bcm --kind"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    }
    for (const char* args : {"--help", "dump --help", "build --help", "check -h", "export --help"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.code, 0) << args;
        EXPECT_NE(r.out.find("example"), std::string::npos) << args;
    }
}
