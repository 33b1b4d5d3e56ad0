#include "pages/policy/policy_entry_page.h"
#include "policy_test_support.h"
#include "resources/templates/policy_entry_ids.h"

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
    CPolicyEntryPage page;
    TypeInto(&page, ids::entry::PolicyNo, "P/7");
    Press(&page, ids::entry::Report);
    EXPECT_TRUE(rec.shown.isEmpty()) << "cancelled: nothing said";
    EXPECT_EQ(suggested, "P7.odt");

    answer = dir.filePath("policy");
    Press(&page, ids::entry::Report);
    QFile file(answer + ".odt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("application/vnd.oasis.opendocument.text"));
    EXPECT_TRUE(rec.Last().contains(answer + ".odt"));

    answer = dir.filePath("missing/folder/r.odt");
    rec.Clear();
    Press(&page, ids::entry::Report);
    ASSERT_EQ(rec.shown.size(), 1);
    EXPECT_FALSE(rec.Last().startsWith("报表已保存到")) << "the failure is said, not a success";
    msg::SetFileResponder({});
}

} // namespace
