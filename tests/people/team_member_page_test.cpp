#include "people_test_support.h"
#include "pages/people/team_member_page.h"
#include "resources/templates/team_member_ids.h"

namespace {
namespace id = ids::member;

const QString kDuplicate = "非常抱歉,数据库中已存在相同工号成员,请重新输入！";
const QString kKeyQuestion = "您修改了成员姓名或工号，这是关键数据,你确认修改吗?";

using TeamMemberPageTest = PeoplePageTest<CTeamMemberPage, &vantorel::DataBook::members>;
} // namespace

TEST_F(TeamMemberPageTest, AddTestsTheStaffNumberBeforeEmptiness) {
    book.members.Add(Member("", "旧")); // no number, from an older file
    auto page = MakePage();
    QWidget* p = page.get();
    struct Step {
        QString staffNo, name, box; // no box: added
    };
    // The number is tested first, letter case counting; then emptiness.
    for (const Step& s : {Step{"", "甲", kDuplicate}, Step{"A01", "", "成员姓名和工号不能为空！"},
                          Step{"A01", "甲", ""}, Step{"A01", "别人", kDuplicate}, Step{"a01", "别人", ""}}) {
        boxes.Clear();
        Fill(p, {id::StaffNo, id::Name}, {s.staffNo, s.name});
        Press(p, id::Add);
        EXPECT_EQ(boxes.shown, s.box.isEmpty() ? QStringList{} : QStringList{s.box})
            << qPrintable(s.staffNo + "|" + s.name);
    }
    ASSERT_EQ(book.members.GetSize(), 3);
    EXPECT_EQ(RowTexts(p, id::List, 2), (QStringList{"a01", "别人"}));
}

TEST_F(TeamMemberPageTest, BothDatesAndTheHeightAreStoredAndShownAgain) {
    auto old = Member("X", "旧"); // from an older file, with fields this page has no control for
    old.person.occupation = ToGbk("教师");
    old.person.workPhone = "1";
    book.members.Add(old);
    auto page = MakePage();
    QWidget* p = page.get();
    const std::initializer_list<int> ids{id::StaffNo,  id::BirthYear, id::BirthMonth, id::BirthDay,
                                         id::JoinYear, id::JoinMonth, id::JoinDay,    id::Height};
    const QStringList blank{"", "", "01", "01", "", "01", "01", ""};
    EXPECT_EQ(Texts(p, ids), blank); // the year presets pick no year
    ClickRow(p, id::List, 0);
    Fill(p, ids, {"T-7", "1970", "05", "29", "2003", "01", "15", "170.6"});
    Press(p, id::Add);
    ASSERT_EQ(book.members.GetSize(), 2);
    const auto& r = book.members.GetAt(1);
    EXPECT_EQ(r.person.birthDate, "1970/5-29");
    EXPECT_EQ(r.joinDate, "2003/1-15");
    EXPECT_DOUBLE_EQ(r.person.height, 170.6);
    EXPECT_TRUE(r.person.occupation.empty() && r.person.workPhone.empty()); // not carried over unseen

    Fill(p, ids, blank);
    ClickRow(p, id::List, 1);
    // Shown as stored, so that a modify without retyping keeps it.
    EXPECT_EQ(Texts(p, ids), (QStringList{"T-7", "1970", "05", "29", "2003", "01", "15", "170.6"}));

    // A height too large for a number is refused by name; the stored one stays.
    boxes.Clear();
    TypeInto(p, id::Height, "-1e400");
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, QStringList{"“身高”数值太大，请重新输入!"});
    EXPECT_DOUBLE_EQ(book.members.GetAt(1).person.height, 170.6);
}

TEST_F(TeamMemberPageTest, ModifyQuestionsStaffNumberRuleAndDelete) {
    for (const char* n : {"A01", "B02", "C03"}) book.members.Add(Member(n, n));
    auto page = MakePage();
    QWidget* p = page.get();
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, QStringList{"请先选择对象!"});
    ClickRow(p, id::List, 0); // a click on the empty part of the list lets the record go again
    auto* list = FindCtl<CSkinListCtrl>(p, id::List);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 5));
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, (QStringList{"请先选择对象!", "请先选择对象!"}));
    boxes.Clear();
    ClickRow(p, id::List, 1);
    Fill(p, {id::Department}, {"三部"});
    Press(p, id::Modify); // neither key field changed: the plain question
    EXPECT_EQ(boxes.Last(), "确认修改？");
    EXPECT_EQ(FromGbk(book.members.GetAt(1).department), "三部");

    boxes.Clear();
    ClickRow(p, id::List, 1);
    Fill(p, {id::Name}, {"乙"}); // only the name: the key question, then the change
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, QStringList{kKeyQuestion});
    EXPECT_EQ(RowTexts(p, id::List, 1), (QStringList{"B02", "乙"}));

    boxes.Clear();
    ClickRow(p, id::List, 1);
    Fill(p, {id::StaffNo}, {"A01"}); // another member's number
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, (QStringList{kKeyQuestion, kDuplicate}));
    EXPECT_EQ(book.members.GetAt(1).staffNo, "B02");

    Press(p, id::Delete);
    EXPECT_EQ(boxes.Last(), "确认删除?");
    EXPECT_EQ(boxes.defaultNo, QStringList{"确认删除?"}) << "the modify questions default to Yes";
    EXPECT_EQ(RowTexts(p, id::List, 1), (QStringList{"C03", "C03"}));
}

TEST_F(TeamMemberPageTest, AClickOnTheEmptyPartLooksUpTheEmptyStaffNumber) {
    for (const auto& m : {Member("A01", "甲"), Member("", "无工号"), Member("C03", "丙")}) book.members.Add(m);
    auto page = MakePage();
    QWidget* p = page.get();
    auto* list = FindCtl<CSkinListCtrl>(p, id::List);
    ClickRow(p, id::List, 0);
    EXPECT_EQ(TextOf(p, id::Name), "甲");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 5));
    // The member without a staff number is the one found, shown and chosen.
    EXPECT_EQ(TextOf(p, id::Name), "无工号");
    EXPECT_EQ(list->GetFirstSelected(), 1);
    Fill(p, {id::Department}, {"一部"});
    boxes.Answer(true);
    Press(p, id::Modify);
    EXPECT_EQ(boxes.Last(), "确认修改？");
    EXPECT_EQ(FromGbk(book.members.GetAt(1).department), "一部");
}
