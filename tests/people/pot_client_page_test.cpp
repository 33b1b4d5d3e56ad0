#include "pages/people/pot_client_page.h"
#include "people_test_support.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

using vantorel::TheBook;

namespace {
// clang-format off
enum {
    kName = 1055, kSex = 1057, kIdNumber = 1062, kMarital = 1063, kYear = 1064, kMonth = 1065, kDay = 1066,
    kMobile = 1071, kFax = 1076, kWorkPostcode = 1074, kIncome = 1123, kHeight = 1102, kWeight = 1103,
    kHobby = 1087, kEducation = 1187, kList = 1140, kAdd = 1148, kModify = 1149, kDelete = 1160,
    kReport = 1020,
};
// clang-format on

const QString kDupAdd = "非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号！";
const QString kDupModify = "非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号!";
const QString kKeyQuestion = "您修改了客户姓名和身份证号，这是关键数据,你确认修改吗?";
const QString kConfirm = "确认修改？";
const QString kPickFirst = "请先选择对象!";

struct PotClientPageTest : ::testing::Test {
    void SetUp() override { TheBook().Clear(); }
    void TearDown() override { TheBook().Clear(); }
    std::unique_ptr<CPotClientPage> MakePage() {
        auto page = std::make_unique<CPotClientPage>();
        page->show();
        return page;
    }
    void Key(QWidget* p, const QString& name, const QString& id) {
        TypeText(p, kName, name);
        TypeText(p, kIdNumber, id);
    }
    MessageRecorder boxes;
};
} // namespace

TEST_F(PotClientPageTest, AddTestsTheKeyBeforeTheEmptyName) {
    TheBook().clients.Add(Client("", "")); // left by an older file
    auto page = MakePage();
    QWidget* p = page.get();
    EXPECT_EQ(IndexOf(p, kSex), -1);
    EXPECT_EQ(IndexOf(p, kMarital), 0);
    EXPECT_EQ(FindCtl<QComboBox>(p, kYear)->count(), 301);
    EXPECT_EQ(TextOf(p, kYear), "");

    Press(p, kAdd); // empty name and number: the duplicate wins
    EXPECT_EQ(boxes.shown, QStringList{kDupAdd});
    TypeText(p, kIdNumber, "110");
    Press(p, kAdd);
    EXPECT_EQ(boxes.Last(), "客户姓名不能为空！");

    Key(p, "张三", ""); // an empty number is allowed once per name
    Press(p, kAdd);
    EXPECT_EQ(TextOf(p, kName), "张三"); // the form keeps its contents
    Press(p, kAdd);
    EXPECT_EQ(boxes.Last(), kDupAdd);
    TypeText(p, kIdNumber, "110"); // same name, other number
    Press(p, kAdd);
    TypeText(p, kName, "张三 "); // a trailing blank is part of the key
    Press(p, kAdd);
    EXPECT_EQ(boxes.shown.size(), 3);
    ASSERT_EQ(TheBook().clients.GetSize(), 4);
    ASSERT_EQ(RowCount(p, kList), 4);
    EXPECT_EQ(RowTexts(p, kList, 1), (QStringList{"张三", ""}));
    EXPECT_EQ(RowTexts(p, kList, 3), (QStringList{"张三 ", "110"}));
}

TEST_F(PotClientPageTest, FieldsAreStoredAndAClickShowsThemAgain) {
    auto page = MakePage();
    QWidget* p = page.get();
    Key(p, "赵六", "4401");
    ChooseIndex(p, kSex, 1);
    TypeText(p, kYear, "1970");
    ChooseIndex(p, kMonth, 4);
    ChooseIndex(p, kDay, 28);
    TypeText(p, kFax, "020-1");
    TypeText(p, kWorkPostcode, "518000");
    TypeText(p, kIncome, "2万～4万元");
    TypeText(p, kHeight, "170.6");
    TypeText(p, kWeight, "六十");
    TypeText(p, kHobby, "围棋");
    Press(p, kAdd);
    ASSERT_EQ(TheBook().clients.GetSize(), 1);
    const auto& r = TheBook().clients.At(0);
    EXPECT_EQ(r.person.sex, 1);
    EXPECT_EQ(r.person.birthDate, "1970/5-29");
    EXPECT_DOUBLE_EQ(r.person.height, 170.6);
    EXPECT_DOUBLE_EQ(r.person.weight, 0);
    EXPECT_EQ(FromGbk(r.person.annualIncome), "2万～4万元");
    EXPECT_EQ(r.fax, "020-1");
    EXPECT_EQ(FromGbk(r.hobby), "围棋");
    EXPECT_EQ(r.person.workPostcode, "518000");

    auto other = Client("钱七", "9"); // stored with no sex and an education outside the presets
    other.person.sex = -1;
    other.person.education = ToGbk("其它");
    TheBook().clients.Add(other);
    page = MakePage();
    p = page.get();
    ClickRow(p, kList, 0);
    EXPECT_EQ(TextOf(p, kYear), "1970");
    EXPECT_EQ(TextOf(p, kMonth), "05");
    EXPECT_EQ(TextOf(p, kDay), "29");
    EXPECT_EQ(TextOf(p, kHeight), "171");
    EXPECT_EQ(TextOf(p, kWeight), "0");
    ClickRow(p, kList, 1);
    EXPECT_EQ(TextOf(p, kName), "钱七");
    EXPECT_EQ(IndexOf(p, kSex), -1);
    EXPECT_EQ(TextOf(p, kEducation), "其它");
    EXPECT_EQ(TextOf(p, kFax), "");

    auto* list = FindCtl<CSkinListCtrl>(p, kList);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up); // the keyboard moves the selection without loading
    EXPECT_EQ(list->GetFirstSelected(), 0);
    EXPECT_EQ(TextOf(p, kName), "钱七");
}

TEST_F(PotClientPageTest, ModifyNeedsAFreshClickAndAsksTheRightQuestion) {
    TheBook().clients.Add(Client("甲", "1"));
    TheBook().clients.Add(Client("乙", "2"));
    auto page = MakePage();
    QWidget* p = page.get();
    Press(p, kModify);
    EXPECT_EQ(boxes.shown, QStringList{kPickFirst});

    ClickRow(p, kList, 1);
    TypeText(p, kMobile, "139");
    boxes.Answer(false);
    Press(p, kModify); // key unchanged: the plain question; No keeps everything
    EXPECT_EQ(boxes.Last(), kConfirm);
    EXPECT_EQ(TheBook().clients.At(1).person.mobile, "");
    Press(p, kModify);
    EXPECT_EQ(TheBook().clients.At(1).person.mobile, "139");
    Press(p, kModify); // the modify reset the selection
    EXPECT_EQ(boxes.Last(), kPickFirst);

    ClickRow(p, kList, 1);
    Key(p, "丁", "4"); // both parts: the key question
    boxes.Answer(false);
    Press(p, kModify);
    EXPECT_EQ(boxes.Last(), kKeyQuestion);
    EXPECT_EQ(TheBook().clients.At(1).person.name, ToGbk("乙"));
    Press(p, kModify);
    EXPECT_EQ(RowTexts(p, kList, 1), (QStringList{"丁", "4"}));

    TypeText(p, kName, "戊");
    Press(p, kAdd);
    Press(p, kModify); // after an add
    EXPECT_EQ(boxes.Last(), kPickFirst);
}

TEST_F(PotClientPageTest, ModifyRefusesAKeyAnotherClientHolds) {
    TheBook().clients.Add(Client("甲", "1"));
    TheBook().clients.Add(Client("乙", "2"));
    TheBook().clients.Add(Client("甲", "2"));
    auto page = MakePage();
    QWidget* p = page.get();
    const auto before = TheBook().clients.Records();

    ClickRow(p, kList, 1);
    Key(p, "甲", "1"); // both parts, onto the first client's key
    Press(p, kModify);
    EXPECT_EQ(boxes.shown, (QStringList{kKeyQuestion, kDupModify}));
    boxes.Clear();
    ClickRow(p, kList, 1);
    TypeText(p, kName, "甲"); // only the name, onto the third client's key
    Press(p, kModify);
    EXPECT_EQ(boxes.shown, (QStringList{kConfirm, kDupModify}));
    boxes.Clear();
    ClickRow(p, kList, 2);
    TypeText(p, kIdNumber, "1"); // only the number, onto the first client's key
    Press(p, kModify);
    EXPECT_EQ(boxes.shown, (QStringList{kConfirm, kDupModify}));
    EXPECT_EQ(TheBook().clients.Records(), before);

    TypeText(p, kIdNumber, "3"); // the refusal keeps the selection: correct and retry
    Press(p, kModify);
    EXPECT_EQ(TheBook().clients.At(2).person.idNumber, "3");
}

TEST_F(PotClientPageTest, DeleteAsksAndKeepsRowsMatchingRecords) {
    auto twin = Client("二", "二"); // the same key twice, from an older file
    twin.person.mobile = "222";
    for (const char* n : {"一", "二"})
        TheBook().clients.Add(Client(n, n));
    TheBook().clients.Add(twin);
    TheBook().clients.Add(Client("三", "三"));
    auto page = MakePage();
    QWidget* p = page.get();
    Press(p, kDelete); // no row selected: nothing happens
    EXPECT_TRUE(boxes.shown.isEmpty());

    ClickRow(p, kList, 2);
    EXPECT_EQ(TextOf(p, kMobile), "222"); // the clicked record, not the first with its key
    boxes.Answer(false);
    Press(p, kDelete);
    EXPECT_EQ(boxes.shown, QStringList{"确认删除?"});
    EXPECT_EQ(TheBook().clients.GetSize(), 4);
    Press(p, kDelete);
    ASSERT_EQ(TheBook().clients.GetSize(), 3);
    EXPECT_EQ(TheBook().clients.At(1).person.mobile, "");
    EXPECT_EQ(RowTexts(p, kList, 2), (QStringList{"三", "三"}));
    Press(p, kModify);
    EXPECT_EQ(boxes.Last(), kPickFirst);

    ClickRow(p, kList, 2); // the last row
    Press(p, kDelete);
    EXPECT_EQ(TheBook().clients.GetSize(), 2);
    EXPECT_EQ(RowCount(p, kList), 2);

    QTemporaryDir dir; // the report lists the clients that are left
    const QString path = dir.filePath("clients.odt");
    msg::SetFileResponder([&](const QString&, const QString&) { return path; });
    boxes.Clear();
    Press(p, kReport);
    msg::SetFileResponder({});
    EXPECT_GT(QFileInfo(path).size(), 0);
    EXPECT_EQ(boxes.shown.size(), 1); // the writer's outcome
}

TEST_F(PotClientPageTest, FiftyThousandClientsListWithoutAPause) {
    for (int i = 0; i < 50000; ++i)
        TheBook().clients.Add(Client(QString("客户%1").arg(i), QString::number(i)));
    QElapsedTimer t;
    t.start();
    auto page = MakePage();
    const qint64 build = t.elapsed();
    t.restart();
    TypeText(page.get(), kName, "新客户");
    Press(page.get(), kAdd); // an add rebuilds the whole list
    const qint64 rebuild = t.elapsed();
    ASSERT_EQ(RowCount(page.get(), kList), 50001);
    std::printf("[ timing ] 50000 clients: page with list %lld ms, add and rebuild %lld ms\n",
                static_cast<long long>(build), static_cast<long long>(rebuild));
    EXPECT_LT(build, 3000);
    EXPECT_LT(rebuild, 3000);
}
