#include "people_test_support.h"
#include "pages/people/pot_client_page.h"
#include "resources/templates/pot_client_ids.h"

#include <QElapsedTimer>
#include <QLabel>

namespace {
namespace id = ids::client;

const QString kDupAdd = "非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号！";
const QString kDupModify = "非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号!";
const QString kKeyQuestion = "您修改了客户姓名和身份证号，这是关键数据,你确认修改吗?";
const QString kConfirm = "确认修改？";
const QString kPickFirst = "请先选择对象!";

using PotClientPageTest = PeoplePageTest<CPotClientPage, &vantorel::DataBook::clients>;
} // namespace

TEST_F(PotClientPageTest, AddTestsTheKeyBeforeTheEmptyName) {
    book.clients.Add(Client("", "")); // left by an older file
    auto page = MakePage();
    QWidget* p = page.get();
    EXPECT_EQ(TextOf(p, id::BirthYear), ""); // the year presets pick no year
    struct Step {
        QString name, id, box; // no box: added
    };
    // The key is tested first; an empty number is allowed once per name; a
    // trailing blank is part of the key.
    for (const Step& s : {Step{"", "", kDupAdd}, Step{"", "110", "客户姓名不能为空！"}, Step{"张三", "", ""},
                          Step{"张三", "", kDupAdd}, Step{"张三", "110", ""}, Step{"张三 ", "110", ""}}) {
        boxes.Clear();
        Fill(p, {id::Name, id::IdNumber}, {s.name, s.id});
        Press(p, id::Add);
        EXPECT_EQ(boxes.shown, s.box.isEmpty() ? QStringList{} : QStringList{s.box}) << qPrintable(s.name + "|" + s.id);
    }
    ASSERT_EQ(book.clients.GetSize(), 4);
    EXPECT_EQ(RowTexts(p, id::List, 3), (QStringList{"张三 ", "110"}));
    Press(p, id::Modify); // an add leaves nothing selected
    EXPECT_EQ(boxes.Last(), kPickFirst);
}

TEST_F(PotClientPageTest, ClientFieldsAreStoredAndOnlyAClickShowsThem) {
    auto page = MakePage();
    QWidget* p = page.get();
    Fill(p, {id::Name, id::Fax, id::WorkPostcode, id::Hobby}, {"赵六", "020-1", "518000", "围棋"});
    Press(p, id::Add);
    ASSERT_EQ(book.clients.GetSize(), 1);
    const auto& r = book.clients.GetAt(0);
    EXPECT_EQ(r.person.workPostcode, "518000"); // not the home postcode, which has the same label
    EXPECT_EQ(r.fax, "020-1");
    EXPECT_EQ(FromGbk(r.hobby), "围棋");

    book.clients.Add(Client("钱七", "9"));
    page = MakePage();
    p = page.get();
    ClickRow(p, id::List, 0);
    EXPECT_EQ(Texts(p, {id::Fax, id::WorkPostcode, id::Hobby}), (QStringList{"020-1", "518000", "围棋"}));
    ClickRow(p, id::List, 1);
    EXPECT_EQ(TextOf(p, id::Fax), "");
    auto* list = FindCtl<CSkinListCtrl>(p, id::List);
    list->setFocus();
    // The keyboard chooses as a click does: the row that looks selected is the record shown.
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->GetFirstSelected(), 0);
    EXPECT_EQ(TextOf(p, id::Name), "赵六");
}

TEST_F(PotClientPageTest, TheRowThatLooksSelectedIsTheRecordActedOn) {
    for (const auto& r : {Client("一", "1"), Client("二", "2"), Client("三", "3")}) book.clients.Add(r);
    auto page = MakePage();
    QWidget* p = page.get();
    auto* list = FindCtl<CSkinListCtrl>(p, id::List);
    ClickRow(p, id::List, 1);
    boxes.Answer(true);
    Press(p, id::Delete);
    ASSERT_EQ(book.clients.GetSize(), 2);
    // No row looks selected after the delete, and modify asks for one.
    EXPECT_EQ(list->GetFirstSelected(), -1);
    EXPECT_EQ(page->SaidLine()->text(), "已删除潜力客户 二");
    boxes.Clear();
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, QStringList{kPickFirst});
    // After an add or a modify, likewise nothing is selected.
    ClickRow(p, id::List, 1);
    Fill(p, {id::Hobby}, {"书法"});
    boxes.Answer(true);
    Press(p, id::Modify);
    EXPECT_EQ(page->SaidLine()->text(), "已修改潜力客户 三");
    EXPECT_EQ(list->GetFirstSelected(), -1);
}

TEST_F(PotClientPageTest, ModifyAsksTheRightQuestionAndKeepsKeysUnique) {
    for (auto [name, id] : {std::pair{"甲", "1"}, {"乙", "2"}, {"甲", "2"}}) book.clients.Add(Client(name, id));
    auto page = MakePage();
    QWidget* p = page.get();
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, QStringList{kPickFirst});
    ClickRow(p, id::List, 1);
    Fill(p, {id::Mobile}, {"139"});
    boxes.Answer(false);
    Press(p, id::Modify); // key unchanged: the plain question; No keeps everything
    EXPECT_EQ(boxes.Last(), kConfirm);
    EXPECT_EQ(book.clients.GetAt(1).person.mobile, "");
    Press(p, id::Modify);
    EXPECT_EQ(book.clients.GetAt(1).person.mobile, "139");
    Press(p, id::Modify); // a modify leaves nothing selected
    EXPECT_EQ(boxes.Last(), kPickFirst);

    // A key another client holds is refused whichever part changed.
    const auto before = book.clients.CopyAll();
    struct Case {
        int row;
        const char *name, *id;
        QString question;
    };
    for (const Case& c :
         {Case{1, "甲", "1", kKeyQuestion}, Case{1, "甲", "2", kConfirm}, Case{2, "甲", "1", kConfirm}}) {
        boxes.Clear();
        ClickRow(p, id::List, c.row);
        Fill(p, {id::Name, id::IdNumber}, {c.name, c.id});
        Press(p, id::Modify);
        EXPECT_EQ(boxes.shown, (QStringList{c.question, kDupModify})) << c.row << c.name << c.id;
    }
    EXPECT_EQ(book.clients.CopyAll(), before);
    Fill(p, {id::Name, id::IdNumber}, {"丁", "4"}); // the refusal keeps the selection: correct and retry
    Press(p, id::Modify);
    EXPECT_EQ(boxes.Last(), kKeyQuestion);
    EXPECT_EQ(RowTexts(p, id::List, 2), (QStringList{"丁", "4"}));
}

TEST_F(PotClientPageTest, DeleteAsksAndRemovesTheClickedRecord) {
    auto twin = Client("二", "二"); // the same key twice, from an older file
    twin.person.mobile = "222";
    for (const auto& r : {Client("一", "一"), Client("二", "二"), twin, Client("三", "三")}) book.clients.Add(r);
    auto page = MakePage();
    QWidget* p = page.get();
    Press(p, id::Delete); // no row selected: nothing happens
    EXPECT_TRUE(boxes.shown.isEmpty());

    ClickRow(p, id::List, 2);
    EXPECT_EQ(TextOf(p, id::Mobile), "222"); // the clicked record, not the first with its key
    boxes.Answer(false);
    Press(p, id::Delete);
    EXPECT_EQ(boxes.shown, QStringList{"确认删除?"});
    EXPECT_EQ(boxes.defaultNo, boxes.shown) << "Enter answers No";
    EXPECT_EQ(book.clients.GetSize(), 4);
    Press(p, id::Delete);
    ASSERT_EQ(book.clients.GetSize(), 3);
    EXPECT_EQ(book.clients.GetAt(1).person.mobile, "");
    EXPECT_EQ(RowTexts(p, id::List, 2), (QStringList{"三", "三"}));
    Press(p, id::Modify); // a delete leaves nothing selected
    EXPECT_EQ(boxes.Last(), kPickFirst);
}

TEST_F(PotClientPageTest, TheListFollowsChangesMadeElsewhereAndTheNextClickCounts) {
    for (const auto& r : {Client("一", "1"), Client("二", "2"), Client("三", "3")}) book.clients.Add(r);
    auto page = MakePage();
    QWidget* p = page.get();
    auto* list = FindCtl<CSkinListCtrl>(p, id::List);
    ClickRow(p, id::List, 2);
    EXPECT_EQ(TextOf(p, id::Name), "三");

    // Another part of the program changes the clients: the rows follow at
    // once, the selection stays on its record, and the very next click acts.
    book.clients.RemoveAt(0);
    book.clients.Add(Client("四", "4"));
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(RowTexts(p, id::List, 2), (QStringList{"四", "4"}));
    Fill(p, {id::Hobby}, {"下棋"});
    boxes.Answer(true);
    Press(p, id::Modify); // still the client "三", now at position 1
    EXPECT_EQ(FromGbk(book.clients.GetAt(1).hobby), "下棋");

    ClickRow(p, id::List, 2);
    EXPECT_EQ(TextOf(p, id::Name), "四");
    book.clients.SetAt(2, Client("四", "44"));
    EXPECT_EQ(RowTexts(p, id::List, 2), (QStringList{"四", "44"}));
    book.clients.RemoveAt(2); // the selected client goes: nothing is selected
    boxes.Clear();
    Press(p, id::Modify);
    EXPECT_EQ(boxes.shown, QStringList{kPickFirst});
}

TEST_F(PotClientPageTest, FiftyThousandClientsListAndRebuildQuickly) {
    for (int i = 0; i < 50000; ++i) book.clients.Add(Client(QString("客户%1").arg(i), QString::number(i)));
    QElapsedTimer t;
    t.start();
    auto page = MakePage();
    Fill(page.get(), {id::Name}, {"新客户"});
    Press(page.get(), id::Add); // an add rebuilds the whole list
    EXPECT_EQ(FindCtl<CSkinListCtrl>(page.get(), id::List)->GetItemCount(), 50001);
    EXPECT_LT(t.elapsed(), 5000);
}
