#include "app/report_writer.h"
#include "pages/policy/policy_entry_page.h"
#include "policy_test_support.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Report, WritesAnOpenDocumentOrSaysWhyNot) {
    QTemporaryDir dir;
    const QString path = dir.filePath("r.odt");
    ReportSection s{"保单资料", {{"保险单号", "P-1"}}, {{"受益人", {"姓名", "关系"}, {{"甲", "本人"}, {"乙"}}}}};
    QString error;
    ASSERT_TRUE(WriteReport(path, "保单", {s}, &error)) << error.toStdString();
    const QByteArray bytes = ReadAll(path);
    EXPECT_TRUE(bytes.startsWith("PK"));
    EXPECT_TRUE(bytes.contains("application/vnd.oasis.opendocument.text"));

    EXPECT_FALSE(WriteReport(dir.filePath("missing/folder/r.odt"), "保单", {s}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Report, EntryPageSavesThePolicyOnTheForm) {
    vantorel::TheBook().insurance.RemoveAll();
    MessageRecorder rec;
    QTemporaryDir dir;
    QString suggested;
    QString answer;
    msg::SetFileResponder([&](const QString&, const QString& name) {
        suggested = name;
        return answer;
    });
    CPolicyEntryPage page;
    TypeInto(&page, 1040, "P/7");
    Press(&page, 1020);
    EXPECT_TRUE(rec.shown.isEmpty()) << "cancelled: nothing said";
    EXPECT_EQ(suggested, "P7.odt");

    answer = dir.filePath("policy");
    Press(&page, 1020);
    EXPECT_TRUE(QFile::exists(answer + ".odt"));
    EXPECT_TRUE(rec.Last().contains(answer + ".odt"));
    EXPECT_EQ(vantorel::TheBook().insurance.GetSize(), 0);
    msg::SetFileResponder({});
}

} // namespace
