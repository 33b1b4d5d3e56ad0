#include "policy_test_support.h"
#include "pages/policy/policy_entry_page.h"
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

} // namespace
