#include "pages/people/team_member_page.h"
#include "people_test_support.h"

#include <QFileInfo>
#include <QTemporaryDir>

using vantorel::TheBook;

namespace {
// clang-format off
enum {
    kStaffNo = 1075, kName = 1049, kBirthYear = 1045, kBirthMonth = 1046, kBirthDay = 1047,
    kDepartment = 1083, kJoinYear = 1059, kJoinMonth = 1060, kJoinDay = 1061, kHeight = 1175, kList = 1173,
    kAdd = 1148, kModify = 1149, kDelete = 1160, kReport = 1020,
};
// clang-format on

const QString kDuplicate = "非常抱歉,数据库中已存在相同工号成员,请重新输入！";
const QString kEmpty = "成员姓名和工号不能为空！";
const QString kKeyQuestion = "您修改了成员姓名或工号，这是关键数据,你确认修改吗?";
const QString kPickFirst = "请先选择对象!";

struct TeamMemberPageTest : ::testing::Test {
    void SetUp() override { TheBook().Clear(); }
    void TearDown() override { TheBook().Clear(); }
    std::unique_ptr<CTeamMemberPage> MakePage() {
        auto page = std::make_unique<CTeamMemberPage>();
        page->show();
        return page;
    }
    MessageRecorder boxes;
};
} // namespace

TEST_F(TeamMemberPageTest, AddTestsTheStaffNumberBeforeEmptiness) {
    TheBook().members.Add(Member("", "旧")); // no number, from an older file
    auto page = MakePage();
    QWidget* p = page.get();
    EXPECT_EQ(FindCtl<QComboBox>(p, kJoinYear)->count(), 301);
    TypeText(p, kName, "甲");
    Press(p, kAdd); // the empty number is taken: the duplicate wins
    EXPECT_EQ(boxes.shown, QStringList{kDuplicate});
    TypeText(p, kStaffNo, "A01");
    TypeText(p, kName, "");
    Press(p, kAdd);
    EXPECT_EQ(boxes.Last(), kEmpty);
    TypeText(p, kName, "甲");
    Press(p, kAdd);
    TypeText(p, kName, "别人");
    Press(p, kAdd); // the same number again
    EXPECT_EQ(boxes.Last(), kDuplicate);
    TypeText(p, kStaffNo, "a01"); // letter case counts
    Press(p, kAdd);
    EXPECT_EQ(boxes.shown.size(), 3);
    ASSERT_EQ(TheBook().members.GetSize(), 3);
    EXPECT_EQ(RowTexts(p, kList, 1), (QStringList{"A01", "甲"}));
    EXPECT_EQ(RowTexts(p, kList, 2), (QStringList{"a01", "别人"}));

    ClickRow(p, kList, 1);
    TypeText(p, kStaffNo, "D04");
    Press(p, kAdd);
    Press(p, kModify); // the add reset the selection
    EXPECT_EQ(boxes.Last(), kPickFirst);
}

TEST_F(TeamMemberPageTest, BothDatesAreStoredAndShownAgain) {
    auto page = MakePage();
    QWidget* p = page.get();
    TypeText(p, kStaffNo, "T-7");
    TypeText(p, kName, "孙八");
    TypeText(p, kBirthYear, "1970");
    ChooseIndex(p, kBirthMonth, 4);
    ChooseIndex(p, kBirthDay, 28);
    TypeText(p, kJoinYear, "2003");
    ChooseIndex(p, kJoinDay, 14);
    TypeText(p, kHeight, "170.6");
    Press(p, kAdd);
    ASSERT_EQ(TheBook().members.GetSize(), 1);
    const auto& r = TheBook().members.At(0);
    EXPECT_EQ(r.person.birthDate, "1970/5-29");
    EXPECT_EQ(r.joinDate, "2003/1-15");
    EXPECT_EQ(r.person.sex, -1);
    EXPECT_TRUE(r.person.occupation.empty() && r.person.workPhone.empty() && r.person.education.empty());

    for (int id : {kStaffNo, kBirthYear, kJoinYear, kHeight})
        TypeText(p, id, "");
    ChooseIndex(p, kJoinDay, 3);
    ClickRow(p, kList, 0);
    EXPECT_EQ(TextOf(p, kStaffNo), "T-7");
    EXPECT_EQ(TextOf(p, kBirthYear), "1970");
    EXPECT_EQ(TextOf(p, kBirthMonth), "05");
    EXPECT_EQ(TextOf(p, kBirthDay), "29");
    EXPECT_EQ(TextOf(p, kJoinYear), "2003");
    EXPECT_EQ(TextOf(p, kJoinMonth), "01");
    EXPECT_EQ(TextOf(p, kJoinDay), "15");
    EXPECT_EQ(TextOf(p, kHeight), "171");
}

TEST_F(TeamMemberPageTest, ModifyQuestionsStaffNumberRuleAndDelete) {
    for (const char* n : {"A01", "B02", "C03"})
        TheBook().members.Add(Member(n, n));
    auto page = MakePage();
    QWidget* p = page.get();
    Press(p, kModify);
    EXPECT_EQ(boxes.shown, QStringList{kPickFirst});

    ClickRow(p, kList, 1);
    TypeText(p, kDepartment, "三部");
    boxes.Answer(false);
    Press(p, kModify); // neither key field changed: the plain question
    EXPECT_EQ(boxes.Last(), "确认修改？");
    EXPECT_TRUE(TheBook().members.At(1).department.empty());
    Press(p, kModify);
    EXPECT_EQ(FromGbk(TheBook().members.At(1).department), "三部");
    Press(p, kModify);
    EXPECT_EQ(boxes.Last(), kPickFirst);

    boxes.Clear();
    ClickRow(p, kList, 1);
    TypeText(p, kName, "乙"); // only the name: the key question, then success
    Press(p, kModify);
    EXPECT_EQ(boxes.shown, QStringList{kKeyQuestion});
    EXPECT_EQ(RowTexts(p, kList, 1), (QStringList{"B02", "乙"}));

    boxes.Clear();
    ClickRow(p, kList, 1);
    TypeText(p, kStaffNo, "A01"); // another member's number
    Press(p, kModify);
    EXPECT_EQ(boxes.shown, (QStringList{kKeyQuestion, kDuplicate}));
    EXPECT_EQ(TheBook().members.At(1).staffNo, "B02");
    TypeText(p, kStaffNo, ""); // modify may blank the key fields
    TypeText(p, kName, "");
    Press(p, kModify);
    EXPECT_EQ(RowTexts(p, kList, 1), (QStringList{"", ""}));

    boxes.Clear();
    ClickRow(p, kList, 1);
    boxes.Answer(false);
    Press(p, kDelete);
    EXPECT_EQ(boxes.shown, QStringList{"确认删除?"});
    Press(p, kDelete);
    ASSERT_EQ(TheBook().members.GetSize(), 2);
    EXPECT_EQ(RowTexts(p, kList, 1), (QStringList{"C03", "C03"}));
    Press(p, kModify); // after a delete
    EXPECT_EQ(boxes.Last(), kPickFirst);

    QTemporaryDir dir; // the report lists the members that are left
    const QString path = dir.filePath("members.odt");
    msg::SetFileResponder([&](const QString&, const QString&) { return path; });
    Press(p, kReport);
    msg::SetFileResponder({});
    EXPECT_GT(QFileInfo(path).size(), 0);
}
