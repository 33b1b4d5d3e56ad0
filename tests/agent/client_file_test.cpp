#include "agent/client_file.h"
#include "agent/cover_categories.h"
#include "agent/gbk.h"
#include "agent/person_index.h"
#include "agent/pinyin.h"

#include <gtest/gtest.h>

using namespace clients;
using vantorel::DataBook;

namespace {

std::string G(const char* utf8) { return ToGbk(QString::fromUtf8(utf8)); }

template <class Person> void Set(Person& p, const char* name, const char* id, const char* birth = "") {
    p.name = G(name);
    p.idNumber = id;
    p.birthDate = birth;
}

vantorel::PolicyRecord Policy(const char* no, const char* product, double sum, const char* effective = "2020/1-15",
                              const char* method = "年缴") {
    vantorel::PolicyRecord p;
    p.info.policyNo = no;
    p.info.productName = G(product);
    p.info.sumInsured = sum;
    p.info.annualPremium = 1000;
    p.info.effectiveDate = effective;
    p.info.paymentMethod = G(method);
    p.info.paymentYears = "20";
    return p;
}

vantorel::BeneficiaryRecord Beneficiary(const char* name, const char* id, const char* birth = "") {
    vantorel::BeneficiaryRecord b;
    Set(b, name, id, birth);
    return b;
}

PersonIndex Index(const DataBook& book) {
    std::optional<PersonIndex> index = PersonIndex::Build(book);
    EXPECT_TRUE(index);
    return std::move(*index);
}

// The person whose shown name is `name`, -1 for none.
int Named(const PersonIndex& index, const DataBook& book, const char* name) {
    for (int p = 0; p < index.Count(); ++p)
        if (PersonIndex::Texts(book, index.Shown(p)).name == G(name)) return p;
    return -1;
}

QStringList Names(const PersonIndex& index, const DataBook& book, const PersonIndex::Found& found) {
    QStringList out;
    for (int p : found.people) out << FromGbk(PersonIndex::Texts(book, index.Shown(p)).name);
    return out;
}

} // namespace

TEST(PersonIndex, EveryPersonOnceByCardNumberOrByNameAndBirth) {
    DataBook book;
    auto p1 = Policy("P1", "终身寿险", 50, "2019/3-1");
    Set(p1.holder, "王芳", "110");
    p1.holder.mobile = "13900000001";
    Set(p1.insured, "王芳", "110"); // holder and insured of one policy: one policy
    p1.beneficiaries = {Beneficiary("李明", "", "1980/1-2"), Beneficiary("", "")};
    book.insurance.Add(p1);
    auto p2 = Policy("P2", "重大疾病保险", 30, "2021/6-1");
    Set(p2.holder, "李明", "", "1980/1-2");          // the same 李明: no card number, same name and birth
    Set(p2.insured, "李明", "", "1981/1-2");         // another 李明
    p2.beneficiaries = {Beneficiary("王方", "110")}; // the card number of 王芳 under another name
    p2.beneficiaries[0].mobile = "13900000002";
    book.insurance.Add(p2);
    vantorel::PotClientRecord c;
    Set(c.person, "赵六", "220");
    book.clients.Add(c);
    Set(c.person, "王芳", "110");
    book.clients.Add(c);
    vantorel::MemberRecord m;
    m.staffNo = "S1";
    Set(m.person, "周明", "");
    book.members.Add(m);

    const PersonIndex index = Index(book);
    ASSERT_EQ(index.Count(), 5); // 王芳, 李明, 李明 (1981), 赵六, 周明
    const int wang = 0, li = 1;
    EXPECT_EQ(RolesText(index.Roles(wang)), "投保人 被保险人 受益人 潜力客户");
    EXPECT_EQ(index.PolicyCount(wang), 2);
    EXPECT_TRUE(index.NamesDiffer(wang));
    // Shown from the newest policy: P2, where she is 王方 with the other mobile.
    EXPECT_EQ(PersonIndex::Texts(book, index.Shown(wang)).mobile, "13900000002");
    EXPECT_EQ(index.MentionsOf(wang).size(), 4u);
    EXPECT_EQ(RolesText(index.Roles(li)), "投保人 受益人");
    EXPECT_EQ(index.PolicyCount(li), 2);
    EXPECT_FALSE(index.NamesDiffer(li));
    EXPECT_EQ(RolesText(index.Roles(2)), "被保险人");
    EXPECT_EQ(RolesText(index.Roles(3)), "潜力客户");
    EXPECT_EQ(index.PolicyCount(3), 0);
    EXPECT_EQ(RolesText(index.Roles(4)), "团队成员");

    // A policy's people in the policy's order; the empty beneficiary line names nobody.
    const auto people = index.PeopleOf(1);
    ASSERT_EQ(people.size(), 3u);
    EXPECT_EQ(people[0].person, li);
    EXPECT_EQ(people[2].person, wang);
    EXPECT_EQ(people[2].mention.slot(), Slot::beneficiary);

    // Found again by key, as after a change.
    EXPECT_EQ(index.Find(book, {"", "110", "", {}, {}, {}}), wang);
    EXPECT_EQ(index.Find(book, {G("李明"), "", "1981/1-2", {}, {}, {}}), 2);
    EXPECT_EQ(index.Find(book, {G("李明"), "", "1999/1-2", {}, {}, {}}), -1);
    EXPECT_LE(index.Bytes(), 1000u + 200u * 5);
}

TEST(PersonIndex, SearchFindsByNamePinyinCardNumberAndPhone) {
    DataBook book;
    auto p = Policy("P1", "x", 1);
    Set(p.holder, "张三", "11010119800101123X");
    p.holder.mobile = "13812345678";
    Set(p.insured, "吕磊", "");
    p.insured.homePhone = "010-66667777";
    p.beneficiaries = {Beneficiary("Wang Lei", "")};
    book.insurance.Add(p);
    // Names met again, by other people: each is found by pinyin.
    auto again = Policy("P2", "x", 1);
    Set(again.holder, "张三", "220101199001011234");
    Set(again.insured, "赵六", "");
    again.beneficiaries = {Beneficiary("张三", "")};
    book.insurance.Add(again);
    const PersonIndex index = Index(book);
    PinyinIndex pinyin;
    auto find = [&](const char* text) {
        return Names(index, book, index.Search(book, QString::fromUtf8(text), &pinyin));
    };
    EXPECT_TRUE(index.Search(book, "  ", &pinyin).all);
    EXPECT_EQ(find("三"), (QStringList{"张三", "张三", "张三"}));
    EXPECT_EQ(find("zs"), (QStringList{"张三", "张三", "张三"}));
    EXPECT_EQ(find("ZhangSan"), (QStringList{"张三", "张三", "张三"}));
    EXPECT_EQ(find("zhaol"), QStringList{"赵六"});
    EXPECT_EQ(find("lv"), QStringList{"吕磊"});
    EXPECT_EQ(find("lei"), (QStringList{"吕磊", "Wang Lei"}));
    EXPECT_EQ(find("19800101"), QStringList{"张三"});
    EXPECT_EQ(find("2201"), QStringList{"张三"});
    EXPECT_EQ(find("123X"), QStringList{"张三"});
    EXPECT_EQ(find("3456"), QStringList{"张三"});
    EXPECT_EQ(find("6666"), QStringList{"吕磊"});
    EXPECT_TRUE(find("😀").isEmpty()); // no record can hold it
    EXPECT_TRUE(find("李").isEmpty());
    // Without the pinyin index Latin letters are plain text.
    EXPECT_EQ(Names(index, book, index.Search(book, "Wang", nullptr)), QStringList{"Wang Lei"});
    EXPECT_TRUE(index.Search(book, "zs", nullptr).people.empty());
}

TEST(PersonIndex, ABuildCanBeStoppedAndReadsOnlyItsSnapshot) {
    DataBook book;
    for (int i = 0; i < 5000; ++i) {
        auto p = Policy(("P" + std::to_string(i)).c_str(), "意外伤害保险", 10);
        Set(p.holder, "张三", std::to_string(100000 + i).c_str());
        Set(p.insured, "李四", std::to_string(200000 + i % 100).c_str());
        book.insurance.Add(p);
    }
    int calls = 0;
    EXPECT_FALSE(PersonIndex::Build(book, [&](std::int64_t, std::int64_t) { return ++calls < 2; }));
    std::int64_t last = 0, whole = 0;
    ASSERT_TRUE(PersonIndex::Build(book, [&](std::int64_t done, std::int64_t total) {
        EXPECT_GE(done, last); // only grows
        last = done;
        whole = total;
        return true;
    }));
    EXPECT_EQ(last, whole);

    const BookSnapshot snapshot(book);
    const BookRecords records(book);
    book.insurance.SetAt(1, {});
    book.insurance.RemoveAll(); // the book changes; the copy does not, nor the bytes viewed
    const PersonIndex index = Index(snapshot.Book());
    EXPECT_EQ(index.Count(), 5100);
    EXPECT_EQ(index.PolicyCount(1), 50); // 李四 200000 insures every hundredth policy
    const std::optional<PersonIndex> viewed = PersonIndex::Build(records);
    ASSERT_TRUE(viewed);
    EXPECT_EQ(viewed->Count(), 5100);
    EXPECT_EQ(viewed->PolicyCount(1), 50);
    // Record indexes and offsets, no texts: far below 200 bytes a person.
    EXPECT_LT(double(index.Bytes()) / index.Count(), 60.0);
}

TEST(Cover, CategoriesByKeywordInTheTablesOrder) {
    const std::pair<const char*, cover::Category> cases[] = {
        {"鸿福终身寿险", cover::Category::life},
        {"康宁定期保险", cover::Category::life},
        {"终身重大疾病保险", cover::Category::criticalIllness},
        {"平安福重疾险", cover::Category::criticalIllness},
        {"住院补贴", cover::Category::medical},
        {"意外伤害医疗保险", cover::Category::accident},
        {"少儿教育金", cover::Category::annuity},
        {"养老年金保险", cover::Category::annuity},
        {"家财险", cover::Category::other},
        {"", cover::Category::other},
    };
    for (const auto& [name, category] : cases) EXPECT_EQ(cover::Of(G(name)), category) << name;
    EXPECT_TRUE(cover::KeywordTableText().startsWith("重疾：重疾、重大疾病；意外：意外；"));
    EXPECT_TRUE(cover::KeywordTableText().contains("寿险：寿、终身、定期"));
}

TEST(ClientFile, BirthdaysInTheWindowAcrossTheYearEndAndOn29February) {
    const QDate dec20(2026, 12, 20), mar20(2027, 3, 20);
    EXPECT_EQ(NextBirthday("1980/1-5", dec20, dec20.addDays(90)), QDate(2027, 1, 5));
    EXPECT_EQ(NextBirthday("1980/12-20", dec20, dec20.addDays(90)), dec20);   // today counts
    EXPECT_EQ(NextBirthday("1980/12-19", dec20, dec20.addDays(90)), QDate()); // next one a year away
    EXPECT_EQ(NextBirthday("1980/3-20", dec20, dec20.addDays(90)), mar20);    // the last day counts
    // 29 February: the 28th in a common year, the 29th in a leap year.
    EXPECT_EQ(NextBirthday("2000/2-29", dec20, dec20.addDays(90)), QDate(2027, 2, 28));
    EXPECT_EQ(NextBirthday("2000/2-29", QDate(2027, 12, 20), QDate(2028, 3, 1)), QDate(2028, 2, 29));
    for (const char* none : {"1977/0-0", "1980/4-31", "1980/05-1", "", "1980/13-1"})
        EXPECT_EQ(NextBirthday(none, dec20, dec20.addDays(365)), QDate()) << none;
    EXPECT_EQ(NextBirthday("/1-5", dec20, dec20.addDays(90)), QDate(2027, 1, 5)); // no year
}

TEST(ClientFile, PoliciesTotalsLinksGridAndTheNext90Days) {
    DataBook book;
    // 王芳 insures herself (life) with a critical-illness rider, and her son 王小明 (education).
    auto own = Policy("P1", "鸿福终身寿险", 50, "2020/1-10", "年缴");
    Set(own.holder, "王芳", "110", "1976/2-3");
    Set(own.insured, "王芳", "110", "1976/2-3");
    own.beneficiaries = {Beneficiary("王小明", "120", "2010/1-20")};
    vantorel::RiderRecord rider = Policy("P1-1", "附加重大疾病", 20).info;
    rider.annualPremium = 300;
    rider.paymentMethod = G("年缴");
    rider.effectiveDate = "2020/1-10";
    rider.paymentYears = "20";
    own.riders = {rider};
    book.insurance.Add(own);
    auto son = Policy("P2", "少儿教育金", 10, "2018/3-1", "月缴");
    Set(son.holder, "王芳", "110");
    Set(son.insured, "王小明", "120", "2010/1-20");
    son.info.annualPremium = 1200;
    book.insurance.Add(son);
    // The son also has an accident policy a grandfather holds: part of his cover, not of hers.
    auto grand = Policy("P3", "学生意外伤害保险", 5, "2022/2-1", "趸缴");
    Set(grand.holder, "王老汉", "130", "1950/1-1");
    Set(grand.insured, "王小明", "120", "2010/1-20");
    book.insurance.Add(grand);

    const PersonIndex index = Index(book);
    const int wang = Named(index, book, "王芳");
    const ClientFile f = OpenFile(index, book, wang, QDate(2026, 12, 20));
    EXPECT_EQ(f.data.name, "王芳");
    EXPECT_EQ(f.data.source, "保单 P1 投保人"); // the newest policy, as holder before insured
    EXPECT_EQ(f.data.birthDate, "1976/2-3");
    EXPECT_EQ(f.names, QStringList{"王芳"});

    ASSERT_EQ(f.policies.size(), 3u);
    EXPECT_EQ(f.policies[0].policyNo, "P1");
    EXPECT_EQ(RolesText(f.policies[0].roles), "投保人 被保险人");
    EXPECT_TRUE(f.policies[1].rider);
    EXPECT_EQ(f.policies[1].category, cover::Category::criticalIllness);
    EXPECT_EQ(f.policies[0].nextDue, QDate(2027, 1, 10));
    EXPECT_EQ(f.policies[2].policyNo, "P2");
    EXPECT_EQ(RolesText(f.policies[2].roles), "投保人");
    EXPECT_EQ(f.policies[2].nextDue, QDate(2027, 1, 1)); // monthly
    EXPECT_DOUBLE_EQ(f.premiumAsHolder, 1000 + 300 + 1200);

    // Her own cover: life and critical illness; the son's education policy is his.
    EXPECT_EQ(CoverCell(f.own, cover::Category::life), "50");
    EXPECT_EQ(CoverCell(f.own, cover::Category::criticalIllness), "20");
    EXPECT_EQ(CoverCell(f.own, cover::Category::annuity), "—");

    ASSERT_EQ(f.linked.size(), 1u); // the son, through two policies; not the grandfather
    EXPECT_EQ(f.linked[0].name, "王小明");
    EXPECT_EQ(f.linked[0].how, "P1 受益人；P2 被保险人");
    ASSERT_EQ(f.grid.size(), 2u);
    EXPECT_EQ(CoverCell(f.grid[1], cover::Category::annuity), "10");
    EXPECT_EQ(CoverCell(f.grid[1], cover::Category::accident), "5"); // from the grandfather's policy
    EXPECT_EQ(CoverCell(f.grid[1], cover::Category::medical), "—");

    // The grandfather's file links him to the son only.
    const ClientFile g = OpenFile(index, book, Named(index, book, "王老汉"), QDate(2026, 12, 20));
    ASSERT_EQ(g.linked.size(), 1u);
    EXPECT_EQ(g.linked[0].how, "P3 被保险人");

    // Next 90 days from 20 December: P2 monthly from 1 January, the son's
    // birthday on 20 January, P1 and its rider on 10 January, hers on 3 February.
    QStringList next;
    for (const DueLine& d : f.next90) next << d.date.toString("MM-dd") + " " + d.what;
    EXPECT_EQ(next, (QStringList{"01-01 缴费 P2 少儿教育金 1200.00 元", "01-10 缴费 P1 鸿福终身寿险 1000.00 元",
                                 "01-10 缴费 P1-1 附加重大疾病 300.00 元", "01-20 生日 王小明（17岁）",
                                 "02-01 缴费 P2 少儿教育金 1200.00 元", "02-03 生日 王芳（51岁）",
                                 "03-01 缴费 P2 少儿教育金 1200.00 元"}));
    EXPECT_EQ(f.next90.front().policy, 1);
}
