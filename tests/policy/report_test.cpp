#include "policy_test_support.h"
#include "pages/policy/policy_entry_page.h"
#include "pages/policy/policy_report.h"
#include "resources/templates/policy_entry_ids.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

TEST(Report, EntryPageSavesThePolicyOnTheFormOrSaysWhyNot) {
    MessageRecorder rec;
    QTemporaryDir dir;
    QString suggested, answer;
    msg::SetFileResponder([&](const QString&, const QString& name, QString*) {
        suggested = name;
        return answer;
    });
    vantorel::CInsurance policies;
    CPolicyEntryPage page(policies);
    TypeInto(&page, ids::entry::PolicyNo, "P/7");
    Press(&page, ids::entry::Report);
    EXPECT_TRUE(rec.shown.isEmpty()) << "cancelled: nothing said";
    EXPECT_EQ(suggested, "P7") << "the kind of file chosen gives the suffix";

    answer = dir.filePath("policy");
    Press(&page, ids::entry::Report);
    QFile file(answer + ".odt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("application/vnd.oasis.opendocument.text"));
    EXPECT_TRUE(rec.Last().contains(answer + ".odt"));
#ifdef Q_OS_UNIX
    // Saved again: the new report replaces the old one by a rename, so another
    // name of the old file still holds it whole and no temporary file is left.
    file.close();
    const QByteArray before = [&] {
        QFile f(answer + ".odt");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_EQ(
        ::link(QFile::encodeName(answer + ".odt").constData(), QFile::encodeName(dir.filePath("old")).constData()), 0);
    TypeInto(&page, ids::entry::PolicyNo, "P/8");
    Press(&page, ids::entry::Report);
    QFile old(dir.filePath("old"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), QStringList({"old", "policy.odt"}));
#endif

    answer = dir.filePath("missing/folder/r.odt");
    rec.Clear();
    Press(&page, ids::entry::Report);
    ASSERT_EQ(rec.shown.size(), 1);
    EXPECT_FALSE(rec.Last().startsWith("报表已保存到")) << "the failure is said, not a success";
    msg::SetFileResponder({});
}

// The report document shows dates and numbers as every list does: a real date
// as yyyy-mm-dd and an incomplete one as stored, amounts as the shortest text.
TEST(Report, DatesAndNumbersReadAsTheListsShowThem) {
    vantorel::PolicyRecord p = SamplePolicy("P1", "甲", "乙", "", "2025/12-9");
    p.info.liabilityStartDate = "1977/0-0";
    p.info.sumInsured = 20;
    p.info.annualPremium = 12800.5;
    p.insured.height = 0;
    p.insured.weight = 61.5;
    vantorel::BeneficiaryRecord b;
    b.share = 33.5;
    b.birthDate = "1990/1-2";
    p.beneficiaries.push_back(b);
    const std::vector<ReportSection> sections = PolicyReport(p);
    const auto field = [&](const ReportSection& s, const QString& label) {
        for (const auto& [l, v] : s.fields)
            if (l == label) return v;
        return QString("(none)");
    };
    EXPECT_EQ(field(sections[0], "生效日期"), "2025-12-09");
    EXPECT_EQ(field(sections[0], "责任开始日"), "1977/0-0");
    EXPECT_EQ(field(sections[0], "保险金额(万元)"), "20");
    EXPECT_EQ(field(sections[0], "年缴保费(元)"), "12800.5");
    EXPECT_EQ(field(sections[2], "身高(cm)"), "");
    EXPECT_EQ(field(sections[2], "体重(kg)"), "61.5");
    EXPECT_EQ(sections[0].tables[0].rows[0][3], "1990-01-02");
    EXPECT_EQ(sections[0].tables[0].rows[0][5], "34"); // a share stays a whole number
}

} // namespace
