#include "pages/policy/policy_entry_page.h"
#include "policy_test_support.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(Report, EntryPageSavesThePolicyOnTheFormOrSaysWhyNot) {
    MessageRecorder rec;
    QTemporaryDir dir;
    QString suggested, answer;
    msg::SetFileResponder([&](const QString&, const QString& name) {
        suggested = name;
        return answer;
    });
    vantorel::CInsurance policies;
    CPolicyEntryPage page(policies);
    TypeInto(&page, 1040, "P/7");
    Press(&page, 1020);
    EXPECT_TRUE(rec.shown.isEmpty()) << "cancelled: nothing said";
    EXPECT_EQ(suggested, "P7.odt");

    answer = dir.filePath("policy");
    Press(&page, 1020);
    QFile file(answer + ".odt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("application/vnd.oasis.opendocument.text"));
    EXPECT_TRUE(rec.Last().contains(answer + ".odt"));

    answer = dir.filePath("missing/folder/r.odt");
    rec.Clear();
    Press(&page, 1020);
    ASSERT_EQ(rec.shown.size(), 1);
    EXPECT_FALSE(rec.Last().startsWith("报表已保存到")) << "the failure is said, not a success";
    msg::SetFileResponder({});
}

} // namespace
