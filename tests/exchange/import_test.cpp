#include "import_book.h"
#include "exchange/import_apply.h"
#include "exchange/import_plan.h"
#include "exchange/import_refused.h"
#include "records/record_bytes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace vantorel;
using namespace vantorel::exchange;

namespace {

QString Write(const QTemporaryDir& dir, const char* name, const QString& text) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
    return path;
}

std::shared_ptr<const SheetTable> Read(const QString& path) {
    auto t = ReadSheet(path, 0);
    EXPECT_TRUE(t) << t.Reason();
    return std::make_shared<const SheetTable>(t ? std::move(*t) : SheetTable());
}

ImportPlan Plan(const QString& path, CollectionId kind, const KeyIndex& keys = {}) {
    const auto table = Read(path);
    const int header = FirstNonEmptyRow(*table);
    const FileKind fileKind = *DetectKind(path);
    QStringList headers;
    for (int c = 0; c < table->ColumnCount(); ++c) headers << table->At(header, c).DisplayText();
    ImportPlan plan(table, header, fileKind, kind, MatchColumns(FieldCatalogue::Of(kind), headers));
    EXPECT_TRUE(plan.CheckAll(keys));
    return plan;
}

} // namespace

TEST(ImportFields, CatalogueFollowsTheExportColumns) {
    const FieldCatalogue& p = FieldCatalogue::Of(CollectionId::insurance);
    ASSERT_EQ(p.Lists().size(), 2u);
    EXPECT_EQ(p.Lists()[0].path, "beneficiaries");
    EXPECT_EQ(p.Lists()[0].perEntry, 21);
    EXPECT_EQ(p.Lists()[1].perEntry, 14);
    const int share2 = p.Find("beneficiaries.2.share");
    ASSERT_GE(share2, 0);
    EXPECT_EQ(p.At(share2).label, QStringLiteral("受益人2受益份额(%)"));
    EXPECT_EQ(p.At(share2).unit, FieldUnit::percent);
    EXPECT_EQ(p.At(share2).entry, 1);
    EXPECT_EQ(p.At(p.Find("riders.10.sumInsured")).unit, FieldUnit::wanYuan);
    EXPECT_EQ(p.Find("beneficiaries.11.name"), -1);
    EXPECT_EQ(FieldCatalogue::Of(CollectionId::calendar).At(0).kind, FieldKind::scheduleDate);
    EXPECT_EQ(FieldCatalogue::Of(CollectionId::clients).KeyFields().size(), 2u);
    EXPECT_TRUE(FieldCatalogue::Of(CollectionId::calendar).KeyFields().empty());
}

TEST(ImportFields, ValuesMakeAndUpdateRecords) {
    const FieldCatalogue& c = FieldCatalogue::Of(CollectionId::insurance);
    const PolicyRecord full = importbook::FullPolicy(3);
    const std::string bytes = EncodeRecord(full);
    EXPECT_EQ(c.EncodeNew(c.Decode(bytes)), bytes) << "every value out and in again";

    // An update sets only what the file maps: one beneficiary's name, a
    // list cut to two entries, the rest of the stored record kept.
    std::vector<FieldValue> values(std::size_t(c.Size()));
    values[std::size_t(c.Find("holder.mobile"))] = {true, true, "139", 0, -1};
    values[std::size_t(c.Find("beneficiaries.2.name"))] = {true, true, "B2", 0, -1};
    for (int e = 3; e <= 10; ++e)
        values[std::size_t(c.Find(("beneficiaries." + std::to_string(e) + ".name").c_str()))] = {
            true, false, {}, 0, -1};
    const PolicyRecord updated = RecordView<PolicyRecord>(c.EncodeOver(bytes, values)).Decode();
    PolicyRecord expected = full;
    expected.holder.mobile = "139";
    expected.beneficiaries.resize(2);
    expected.beneficiaries[1].name = "B2";
    EXPECT_EQ(updated, expected);

    // A new record: unmapped choices are none chosen, lists as long as their last filled entry.
    std::vector<FieldValue> fresh(std::size_t(c.Size()));
    fresh[std::size_t(c.Find("info.policyNo"))] = {true, true, "N1", 0, -1};
    fresh[std::size_t(c.Find("riders.2.policyNo"))] = {true, true, "N1-2", 0, -1};
    const PolicyRecord made = RecordView<PolicyRecord>(c.EncodeNew(fresh)).Decode();
    EXPECT_EQ(made.holder.sex, -1);
    EXPECT_EQ(made.beneficiaries.size(), 0u);
    ASSERT_EQ(made.riders.size(), 2u);
    EXPECT_EQ(made.riders[0].policyNo, "");
    EXPECT_EQ(made.riders[1].policyNo, "N1-2");
}

TEST(ImportMatch, LabelsFieldNamesSynonymsAndConflicts) {
    for (const CollectionId kind : kCollections) {
        const FieldCatalogue& c = FieldCatalogue::Of(kind);
        for (int i = 0; i < c.Size(); ++i) {
            EXPECT_EQ(MatchHeader(c, c.At(i).label), i) << c.At(i).path;
            EXPECT_EQ(MatchHeader(c, QString::fromStdString(c.At(i).path)), i) << c.At(i).path;
        }
    }
    const FieldCatalogue& p = FieldCatalogue::Of(CollectionId::insurance);
    const FieldCatalogue& k = FieldCatalogue::Of(CollectionId::clients);
    const struct {
        const FieldCatalogue& c;
        const char* header;
        const char* path;
    } cases[] = {
        {p, "保单号", "info.policyNo"},
        {p, " 年缴保费 ", "info.annualPremium"},
        {p, "保额", "info.sumInsured"},
        {p, "保险金额（万元）", "info.sumInsured"},
        {p, "生效日", "info.effectiveDate"},
        {p, "客户姓名", "holder.name"},
        {p, "被保险人手机号码", "insured.mobile"},
        {p, "被保人", "insured.name"},
        {p, "受益人2身份证", "beneficiaries.2.idNumber"},
        {p, "受益人3受益比例", "beneficiaries.3.share"},
        {p, "附加险1保费", "riders.1.annualPremium"},
        {p, "HOLDER.NAME", "holder.name"},
        {k, "姓名", "person.name"},
        {k, "手机号", "person.mobile"},
        {k, "电话", "person.mobile"},
        {k, "身份证号码", "person.idNumber"},
        {k, "证件号码", "person.idNumber"},
        {k, "生日", "person.birthDate"},
        {k, "出生日期", "person.birthDate"},
        {k, "性别", "person.sex"},
        {k, "地址", "person.homeAddress"},
        {k, "传真", "fax"},
        {FieldCatalogue::Of(CollectionId::members), "员工编号", "staffNo"},
        {FieldCatalogue::Of(CollectionId::calendar), "日期", "date"},
    };
    for (const auto& t : cases) EXPECT_EQ(MatchHeader(t.c, QString::fromUtf8(t.header)), t.c.Find(t.path)) << t.header;
    EXPECT_EQ(MatchHeader(p, QStringLiteral("受益人11姓名")), kBeyondList);
    EXPECT_EQ(MatchHeader(p, QStringLiteral("附加险12保险单号")), kBeyondList);
    EXPECT_EQ(MatchHeader(k, QStringLiteral("序号")), kSkip);
    EXPECT_EQ(MatchHeader(k, QString()), kSkip);

    const ColumnMapping m = MatchColumns(
        k, {QStringLiteral("序号"), QStringLiteral("姓名"), QStringLiteral("手机"), QStringLiteral("客户姓名")});
    EXPECT_EQ(ConflictingColumns(m), (std::vector<int>{1, 3}));
}

TEST(ImportPlan, EachRowStateAndReasonsAndFixes) {
    QTemporaryDir dir;
    DataBook book;
    PolicyRecord stored;
    stored.info.policyNo = "P-OLD";
    stored.holder.name = "\xC0\xCF"; // 老
    book.insurance.Add(stored);
    const QString path = Write(dir, "p.csv",
                               QStringLiteral("保单号,投保人姓名,性别,生效日期,保额,附加险1保险单号,受益人11姓名\n"
                                              "P1,张三,男,2004-05-29,1.5,R1,\n" // 新增
                                              "P-OLD,李四,F,,,,\n"              // 更新
                                              "P1,王五,女,,,,\n"                // 重复
                                              "P3,赵六,X,2003-02-29,,,\n"       // 错误: sex, date
                                              ",孙七,,,,,\n"                    // 错误: no key
                                              "P4,\U0001F600,,,,,\n"            // 错误: GBK
                                              "P5,周八,,,,,多\n"                // 错误: eleventh
                                              " , , ,,,,\n"));                  // blank: no row
    const KeyIndex keys = KeyIndex::Of(book, CollectionId::insurance);
    ImportPlan plan = Plan(path, CollectionId::insurance, keys);
    ASSERT_EQ(plan.RowCount(), 7);
    const RowState want[] = {RowState::added, RowState::updated, RowState::duplicate, RowState::error,
                             RowState::error, RowState::error,   RowState::error};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(plan.Row(i).state, want[i]) << "row " << i << ": " << plan.Reasons(i).toStdString();
    EXPECT_EQ(plan.Row(1).existing, 0);
    EXPECT_TRUE(plan.Reasons(2).contains(QStringLiteral("第 2 行"))) << plan.Reasons(2).toStdString();
    EXPECT_FALSE(plan.CellIssueText(3, 2).isEmpty()) << "the sex cell";
    EXPECT_FALSE(plan.CellIssueText(3, 3).isEmpty()) << "the date cell";
    EXPECT_TRUE(plan.CellIssueText(3, 1).isEmpty());
    EXPECT_TRUE(plan.CellIssueText(4, 0).contains(QStringLiteral("不能为空")));
    EXPECT_FALSE(plan.CellIssueText(5, 1).isEmpty());
    EXPECT_FALSE(plan.CellIssueText(6, 6).isEmpty());

    const PolicyRecord first = RecordView<PolicyRecord>(plan.Row(0).record).Decode();
    EXPECT_EQ(first.info.effectiveDate, "2004/5-29");
    EXPECT_EQ(first.info.sumInsured, 1.5);
    EXPECT_EQ(first.holder.sex, 0);
    EXPECT_EQ(first.holder.maritalStatus, -1);
    ASSERT_EQ(first.riders.size(), 1u);
    EXPECT_EQ(first.riders[0].policyNo, "R1");

    ImportCounts n = plan.Count(DuplicateChoice::skip);
    EXPECT_EQ(n.added, 1);
    EXPECT_EQ(n.skipped, 1);
    EXPECT_EQ(n.refused, 5);
    EXPECT_EQ(plan.Count(DuplicateChoice::keepBoth).skipped, 1) << "never two policies with one number";

    // Fixes in place check the row again, and the rows sharing its key.
    plan.Correct(3, 2, QStringLiteral("女"), keys);
    EXPECT_EQ(plan.Row(3).state, RowState::error);
    plan.Correct(3, 3, QStringLiteral("2003-02-28"), keys);
    EXPECT_EQ(plan.Row(3).state, RowState::added);
    EXPECT_EQ(plan.CellText(3, 3), "2003-02-28");
    plan.Correct(0, 0, QStringLiteral("P9"), keys);
    EXPECT_EQ(plan.Row(0).state, RowState::added);
    EXPECT_EQ(plan.Row(2).state, RowState::added) << "the row it repeated took another number";
    plan.Correct(2, 0, QStringLiteral("P3"), keys);
    EXPECT_EQ(plan.Row(2).state, RowState::added) << "the earlier row is the one kept";
    EXPECT_EQ(plan.Row(3).state, RowState::duplicate);
}

TEST(ImportPlan, CellsReadAsTheirFieldsAndOurCsvGuardComesOff) {
    QTemporaryDir dir;
    const QString path = Write(dir, "c.csv",
                               QStringLiteral("姓名,身份证,备注,爱好,传真,身高,出生日期,婚况\n"
                                              "'=SUM(A1),1,'plain,''=x,'-5,180,20040529,离婚\n"
                                              "甲,2,'@,\"a,\"\"b\"\"\",x,180,2004年5月29日,\n"
                                              "乙,3,,,,一米八,,\n"
                                              "丙,4,,,,175.5 cm,,\n"));
    const ImportPlan plan = Plan(path, CollectionId::clients);
    ASSERT_EQ(plan.RowCount(), 4);
    ASSERT_EQ(plan.Row(0).state, RowState::added) << plan.Reasons(0).toStdString();
    const PotClientRecord a = RecordView<PotClientRecord>(plan.Row(0).record).Decode();
    EXPECT_EQ(a.person.name, "=SUM(A1)");
    EXPECT_EQ(a.person.remarks, "'plain") << "no guard of ours: kept";
    EXPECT_EQ(a.hobby, "'=x");
    EXPECT_EQ(a.fax, "-5");
    EXPECT_EQ(a.person.height, 180);
    EXPECT_EQ(a.person.birthDate, "2004/5-29");
    EXPECT_EQ(a.person.maritalStatus, 2);
    EXPECT_EQ(a.person.sex, -1) << "no sex column: none chosen";
    const PotClientRecord b = RecordView<PotClientRecord>(plan.Row(1).record).Decode();
    EXPECT_EQ(b.person.remarks, "@");
    EXPECT_EQ(b.hobby, "a,\"b\"");
    EXPECT_EQ(b.person.maritalStatus, -1);
    EXPECT_EQ(b.person.birthDate, "2004/5-29");
    EXPECT_EQ(plan.Row(2).state, RowState::error) << "a text that is no number is never a silent 0";
    EXPECT_TRUE(plan.CellIssueText(2, 5).contains(QStringLiteral("身高"))) << plan.Reasons(2).toStdString();
    ASSERT_EQ(plan.Row(3).state, RowState::added) << "separators and the unit read as the forms read them";
    EXPECT_EQ(RecordView<PotClientRecord>(plan.Row(3).record).Decode().person.height, 175.5);
}

TEST(ImportApply, EachDuplicateChoiceAndUndoGivesTheBookBack) {
    QTemporaryDir dir;
    DataBook book;
    PotClientRecord old = importbook::FullClient(1);
    old.person.name = "A";
    old.person.idNumber = "1";
    book.clients.Add(old);
    book.clients.Add(importbook::FullClient(2));
    const std::string before0(book.clients.Bytes(0)), before1(book.clients.Bytes(1));
    const QString path = Write(dir, "k.csv", QStringLiteral("姓名,身份证号,手机\nA,1,139\nB,2,137\nB,2,136\n,3,\n"));
    const KeyIndex keys = KeyIndex::Of(book, CollectionId::clients);
    const ImportPlan plan = Plan(path, CollectionId::clients, keys);

    struct Case {
        DuplicateChoice choice;
        int size;
        ImportCounts counts;
    } cases[] = {{DuplicateChoice::skip, 3, {1, 0, 1, 2}},
                 {DuplicateChoice::update, 3, {1, 1, 0, 2}},
                 {DuplicateChoice::keepBoth, 5, {3, 0, 0, 1}}};
    for (const Case& c : cases) {
        ImportApplier apply(plan, c.choice, book);
        while (!apply.Step(std::chrono::nanoseconds(0))) {}
        EXPECT_EQ(book.clients.GetSize(), c.size);
        const ImportCounts n = apply.Counts();
        EXPECT_EQ(n.added, c.counts.added);
        EXPECT_EQ(n.updated, c.counts.updated);
        EXPECT_EQ(n.skipped, c.counts.skipped);
        EXPECT_EQ(n.refused, c.counts.refused);
        const ImportCounts planned = plan.Count(c.choice);
        EXPECT_EQ(planned.added + planned.updated + planned.skipped + planned.refused, 4);
        if (c.choice == DuplicateChoice::update) {
            PotClientRecord expected = old;
            expected.person.mobile = "139";
            EXPECT_EQ(book.clients.GetAt(0), expected) << "fields the file does not map are kept";
        }
        if (apply.Changes() > 1) {
            EXPECT_FALSE(apply.Undo(1)) << "one change at a time";
        }
        EXPECT_TRUE(apply.Undo());
        ASSERT_EQ(book.clients.GetSize(), 2);
        EXPECT_EQ(book.clients.Bytes(0), before0);
        EXPECT_EQ(book.clients.Bytes(1), before1);
    }
}

TEST(ImportRefused, RowsWithTheirReasonsReadBackAsASheet) {
    QTemporaryDir dir;
    const QString path =
        Write(dir, "m.csv", QStringLiteral("工号,姓名,入司时间\nS1,甲,2001-01-01\nS2,,明天\nS1,丙,\n"));
    ImportPlan plan = Plan(path, CollectionId::members);
    const QString out = dir.filePath("refused.xlsx");
    const Result<int> written = WriteRefusedRows(out, plan, DuplicateChoice::skip);
    ASSERT_TRUE(written) << written.Reason();
    EXPECT_EQ(*written, 2);
    const auto back = Read(out);
    ASSERT_EQ(back->RowCount(), 3);
    EXPECT_EQ(back->At(0, 3).Text(), RefusedReasonHeader());
    EXPECT_EQ(back->At(1, 0).Text(), "S2");
    EXPECT_EQ(back->At(1, 2).Text(), QStringLiteral("明天"));
    EXPECT_TRUE(back->At(1, 3).Text().contains(QStringLiteral("不能为空")));
    EXPECT_TRUE(back->At(2, 3).Text().contains(QStringLiteral("重复")));
}
