#include "records/record_columns.h"

#include <gtest/gtest.h>

#include <set>

using namespace vantorel;

namespace {

// Every column of every record kind has a label of its own, and no two
// columns of one kind share a label: a spreadsheet's header must tell them apart.
template <class Record> void ExpectDistinctLabels(const std::vector<Record>& records, std::size_t columns) {
    const RecordColumns<Record> table(records);
    ASSERT_EQ(table.Columns().size(), columns);
    std::set<std::string> labels;
    for (const Column& c : table.Columns()) {
        const std::string field = c.name.substr(c.name.rfind('.') + 1);
        EXPECT_NE(FieldLabel(field), field) << c.name << " has no label";
        EXPECT_TRUE(labels.insert(c.label).second) << c.label << " twice";
    }
}

TEST(RecordColumns, EveryFieldHasItsOwnChineseLabel) {
    PolicyRecord p;
    p.beneficiaries.resize(2);
    p.riders.resize(1);
    ExpectDistinctLabels<PolicyRecord>({PolicyRecord{}, p}, 14 + 19 + 20 + 2 * 21 + 14);
    ExpectDistinctLabels<PotClientRecord>({}, 22);
    ExpectDistinctLabels<MemberRecord>({}, 25);
    ExpectDistinctLabels<ScheduleEntry>({}, 2);
}

TEST(RecordColumns, ValuesFollowTheColumnsWithListsAsWideAsTheLongest) {
    PolicyRecord a;
    a.info.policyNo = "A1";
    a.info.annualPremium = 1200.5;
    a.info.effectiveDate = "2004/1-31";
    a.holder.sex = 1;
    a.insured.maritalStatus = 3;
    a.beneficiaries.resize(1);
    a.beneficiaries[0].name = "b1";
    PolicyRecord b;
    b.beneficiaries.resize(3);
    const RecordColumns<PolicyRecord> table({a, b});
    const std::vector<Column>& cols = table.Columns();
    std::vector<ColumnValue> values;
    table.Values(a, values);
    ASSERT_EQ(values.size(), cols.size());

    auto at = [&](const std::string& name) {
        for (std::size_t i = 0; i < cols.size(); ++i)
            if (cols[i].name == name) return i;
        ADD_FAILURE() << "no column " << name;
        return std::size_t{0};
    };
    struct Case {
        const char* name;
        const char* label;
        ValueKind kind;
    } cases[] = {
        {"info.policyNo", "保险单号", ValueKind::text},
        {"info.annualPremium", "年缴保费(元)", ValueKind::number},
        {"info.effectiveDate", "生效日期", ValueKind::date},
        {"holder.sex", "投保人性别", ValueKind::sex},
        {"holder.relationToInsured", "投保人与被保险人关系", ValueKind::text},
        {"insured.maritalStatus", "被保险人婚况", ValueKind::marital},
        {"insured.birthDate", "被保险人出生日期", ValueKind::date},
        {"beneficiaries.1.name", "受益人1姓名", ValueKind::text},
        {"beneficiaries.3.share", "受益人3受益份额(%)", ValueKind::number},
    };
    for (const Case& c : cases) {
        const std::size_t i = at(c.name);
        EXPECT_EQ(cols[i].label, c.label);
        EXPECT_EQ(cols[i].kind, c.kind) << c.name;
        EXPECT_EQ(values[i].kind, c.kind) << c.name;
    }
    EXPECT_EQ(*values[at("info.policyNo")].text, "A1");
    EXPECT_EQ(values[at("info.annualPremium")].number, 1200.5);
    EXPECT_EQ(values[at("holder.sex")].choice, 1);
    EXPECT_EQ(values[at("insured.maritalStatus")].choice, 3);
    EXPECT_EQ(*values[at("beneficiaries.1.name")].text, "b1");
    EXPECT_TRUE(values[at("beneficiaries.1.name")].present);
    EXPECT_FALSE(values[at("beneficiaries.2.name")].present) << "a has one beneficiary of the three columns";
    for (const Column& c : cols) EXPECT_NE(c.name.rfind("riders.", 0), 0u) << "no rider anywhere: no rider columns";
}

TEST(RecordColumns, ChoiceWords) {
    EXPECT_STREQ(SexWord(0), "男");
    EXPECT_STREQ(SexWord(1), "女");
    EXPECT_EQ(SexWord(-1), nullptr);
    EXPECT_EQ(SexWord(2), nullptr);
    EXPECT_STREQ(MaritalWord(0), "已婚");
    EXPECT_STREQ(MaritalWord(4), "分居");
    EXPECT_EQ(MaritalWord(5), nullptr);
    EXPECT_EQ(MaritalWord(-1), nullptr);
}

} // namespace
