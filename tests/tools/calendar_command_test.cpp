// vantorel-data calendar, run as a nightly job would run it.
#include "storage_kit.h"

#include "agent/composed_date.h"
#include "agent/gbk.h"
#include "records/data_files.h"

#include <gtest/gtest.h>

#include <QDate>
#include <cstdlib>
#include <set>

using namespace vantorel;
using testkit::ReadBytes;
using testkit::TempDir;
using testkit::WriteBytes;

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

class CalendarCommand : public ::testing::Test {
protected:
    TempDir home, data;

    ToolRun Run(const std::string& args) {
        // The program's settings under a home of the test's own.
        const std::string cmd = "cd '" + data.path().string() + "' && XDG_CONFIG_HOME='" + home.path().string() +
                                "' '" VANTOREL_DATA_TOOL "' " + args + " > '" + (home / "stdout").string() + "' 2> '" +
                                (home / "stderr").string() + "'";
        const int status = std::system(cmd.c_str());
        return {WEXITSTATUS(status), ReadBytes(home / "stdout"), ReadBytes(home / "stderr")};
    }
    void Switches(const std::string& awoke) {
        std::filesystem::create_directories(home / "Vantorel");
        WriteBytes(home / "Vantorel" / "vantorel.conf", "[AWOKE]\n" + awoke);
    }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(data.path())) names.insert(e.path().filename());
        return names;
    }
};

} // namespace

TEST_F(CalendarCommand, WritesTheBookWithTheProgramsSwitchesAndTouchesNoDataFile) {
    const QDate today = QDate::currentDate();
    DataBook book;
    PolicyRecord p;
    p.info.policyNo = "P1";
    p.info.paymentMethod = ToGbk(QStringLiteral("年缴"));
    p.info.effectiveDate = ComposedDate::FromDate(today.addYears(-1)).Stored();
    p.info.annualPremium = 1200;
    p.holder.name = ToGbk(QStringLiteral("张三"));
    p.holder.birthDate = "1970/5-29";
    p.insured.name = ToGbk(QStringLiteral("李四"));
    p.insured.birthDate = "1999/6-1";
    book.insurance.Add(p);
    book.calendar.Add({20300101, ToGbk(QStringLiteral("年初拜访"))});
    ASSERT_EQ(SaveFile(book.insurance, data / "data1.bcm").outcome, SaveOutcome::written);
    ASSERT_EQ(SaveFile(book.calendar, data / "data4.bcm").outcome, SaveOutcome::written);
    const std::string policies = ReadBytes(data / "data1.bcm"), schedule = ReadBytes(data / "data4.bcm");

    ToolRun r = Run("calendar . -o cal.ics");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("cal.ics: 1 schedule entries, 2 birthdays, 1 renewal premiums (4 events, "), std::string::npos)
        << r.out;
    std::string ics = ReadBytes(data / "cal.ics");
    EXPECT_EQ(ics.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
    const std::string due = "UID:policy-P1-due-" + today.toString("yyyyMMdd").toStdString() + "@vantorel\r\n";
    EXPECT_NE(ics.find(due), std::string::npos);
    EXPECT_NE(ics.find("TRIGGER:-P3D\r\n"), std::string::npos);
    EXPECT_NE(ics.find(QStringLiteral("SUMMARY:年初拜访\r\n").toStdString()), std::string::npos);
    // Read only: the data files as they were, nothing beside them but the calendar.
    EXPECT_EQ(ReadBytes(data / "data1.bcm"), policies);
    EXPECT_EQ(ReadBytes(data / "data4.bcm"), schedule);
    EXPECT_EQ(Files(), (std::set<std::string>{"cal.ics", "data1.bcm", "data4.bcm"}));

    // The switches the program saved: policyholders' birthdays and premiums off.
    Switches("TBRSR=0\nXQJFSR=0\n");
    r = Run("calendar . -o cal.ics");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("1 schedule entries, 1 birthdays, 0 renewal premiums"), std::string::npos) << r.out;
    ics = ReadBytes(data / "cal.ics");
    EXPECT_EQ(ics.find("due-"), std::string::npos);
    EXPECT_EQ(ics.find(QStringLiteral("张三").toStdString()), std::string::npos);
    EXPECT_NE(ics.find(QStringLiteral("李四生日（被保险人）").toStdString()), std::string::npos);

    // A damaged file writes no calendar: the last one stays as it was.
    WriteBytes(data / "data4.bcm", schedule.substr(0, schedule.size() - 3));
    r = Run("calendar . -o cal.ics");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("data4.bcm is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(data / "cal.ics"), ics);
    EXPECT_EQ(Files(), (std::set<std::string>{"cal.ics", "data1.bcm", "data4.bcm"}));

    // Wrong arguments, and never a name that is not a calendar's.
    for (const char* args : {"calendar .", "calendar -o x.ics", "calendar . -o data1.bcm", "calendar . -o x",
                             "calendar nowhere -o x.ics", "calendar . x -o x.ics"}) {
        r = Run(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    EXPECT_EQ(ReadBytes(data / "data1.bcm"), policies);
}
