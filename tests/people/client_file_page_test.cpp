// The client file through the real page: the people gathered off the window
// thread, the search, a person's file, the links, the cover grid with its
// gaps, the next 90 days, a policy opened on the entry page, and the review
// written as a PDF (read back with poppler's tools) and printed.
#include "gui_test_support.h"
#include "agent/gbk.h"
#include "app/main_dlg.h"
#include "app/page_host.h"
#include "pages/page_registry.h"
#include "pages/people/client_file_page.h"
#include "records/data_files.h"
#include "resources/templates/client_file_ids.h"
#include "resources/templates/main_ids.h"
#include "resources/templates/policy_entry_ids.h"
#include "theme/skin_list_ctrl.h"
#include "theme/theme_colours.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

namespace id = ids::client_file;
using vantorel::DataBook;

std::string G(const char* utf8) { return ToGbk(QString::fromUtf8(utf8)); }

template <class P> void Set(P& p, const char* name, const char* idNumber, const char* birth = "") {
    p.name = G(name);
    p.idNumber = idNumber;
    p.birthDate = birth;
}

vantorel::PolicyRecord Policy(const char* no, const char* product, double sum, const char* effective,
                              const char* method = "年缴") {
    vantorel::PolicyRecord p;
    p.info.policyNo = no;
    p.info.company = G("中国人寿");
    p.info.productName = G(product);
    p.info.sumInsured = sum;
    p.info.annualPremium = 1000;
    p.info.effectiveDate = effective;
    p.info.paymentMethod = G(method);
    p.info.paymentYears = "20";
    return p;
}

// 王芳 (110) holds P1 on her own life with a critical-illness rider and her
// son as beneficiary, and P2 on her son; her husband holds P3 with her as
// beneficiary under another name; 李明 has no card number; 赵六 is a potential client.
void FillBook(DataBook& book) {
    auto p1 = Policy("P1", "鸿福终身寿险", 50, "2020/1-10");
    Set(p1.holder, "王芳", "110", "1976/2-3");
    p1.holder.mobile = "13900001111";
    p1.holder.homeAddress = G("北京市朝阳区建国路1号");
    Set(p1.insured, "王芳", "110", "1976/2-3");
    vantorel::BeneficiaryRecord son;
    Set(son, "王小明", "120", "2010/1-20");
    p1.beneficiaries = {son};
    auto rider = Policy("P1-1", "附加重大疾病", 20, "2020/1-10").info;
    rider.annualPremium = 300;
    p1.riders = {rider};
    book.insurance.Add(p1);
    auto p2 = Policy("P2", "少儿教育金", 10, "2018/3-1", "月缴");
    Set(p2.holder, "王芳", "110", "1976/2-3");
    Set(p2.insured, "王小明", "120", "2010/1-20");
    book.insurance.Add(p2);
    auto p3 = Policy("P3", "意外伤害保险", 5, "2016/7-1");
    Set(p3.holder, "张建国", "130", "1975/5-5");
    p3.holder.homePhone = "010-88887777";
    Set(p3.insured, "张建国", "130", "1975/5-5");
    vantorel::BeneficiaryRecord wife;
    Set(wife, "王方", "110"); // her card number, the name mistyped
    p3.beneficiaries = {wife};
    book.insurance.Add(p3);
    auto p4 = Policy("P4", "住院医疗保险", 2, "2021/9-9");
    Set(p4.holder, "李明", "", "1985/12-30");
    Set(p4.insured, "李明", "", "1985/12-30");
    book.insurance.Add(p4);
    vantorel::PotClientRecord c;
    Set(c.person, "赵六", "", "1990/1-1");
    c.person.mobile = "13700002222";
    book.clients.Add(c);
}

// Stands in for the main window: the book, today, and the policies opened.
class Host : public PageHost {
public:
    CPage* Page(int) const override { return nullptr; }
    void ShowOnly(int) override {}
    DataBook& Book() override { return book; }
    const ReminderSwitches& StoredSwitches() const override { return switches; }
    QDate Today() const override { return QDate(2026, 12, 20); }
    bool EditPolicy(int index) override {
        edited.push_back(index);
        return true;
    }
    DataBook book;
    ReminderSwitches switches;
    std::vector<int> edited;
};

CSkinListCtrl* List(QWidget* page, int listId) { return FindCtl<CSkinListCtrl>(page, listId); }

QStringList Row(QWidget* page, int listId, int row) {
    auto* list = List(page, listId);
    QStringList texts;
    for (int c = 0; c < list->GetColumnCount(); ++c) texts << list->GetItemText(row, c);
    return texts;
}

QStringList Column(QWidget* page, int listId, int column) {
    auto* list = List(page, listId);
    QStringList texts;
    for (int r = 0; r < list->GetItemCount(); ++r) texts << list->GetItemText(r, column);
    return texts;
}

QString Label(QWidget* page, int labelId) { return FindCtl<QLabel>(page, labelId)->text(); }

int RowNamed(QWidget* page, const QString& name) { return Column(page, id::People, 0).indexOf(name); }

void Click(CSkinListCtrl* list, int row, bool twice = false) {
    const QModelIndex i = list->model()->index(row, 0);
    list->scrollTo(i);
    const QPoint at = list->visualRect(i).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void Search(QWidget* page, const QString& text) {
    TypeInto(page, id::Search, text);
    QTest::keyClick(FindCtl(page, id::Search), Qt::Key_Return); // Enter searches
}

QString Poppler(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << qPrintable(program);
    EXPECT_EQ(p.exitCode(), 0) << qPrintable(program + " " + args.join(' ') + ": " + p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ClientFilePage : public ::testing::Test {
protected:
    void SetUp() override { FillBook(host.book); }
    // The page as the main window shows it, with its people gathered.
    std::unique_ptr<CClientFilePage> Open() {
        auto page = std::make_unique<CClientFilePage>(host.book, &host);
        page->resize(620, 600);
        page->show();
        page->OnShown();
        WaitReady(*page);
        return page;
    }
    static void WaitReady(CClientFilePage& page) {
        QSignalSpy ready(&page, &CClientFilePage::listReady);
        if (!page.Index()) {
            EXPECT_TRUE(ready.wait(20000));
        }
        ASSERT_NE(page.Index(), nullptr);
    }
    Host host;
    MessageRecorder boxes;
};

} // namespace

TEST_F(ClientFilePage, EveryPersonOnceWithTheirRolesAndTheirFile) {
    auto page = Open();
    QWidget* p = page.get();
    EXPECT_EQ(Label(p, id::Status), "共 5 人");
    EXPECT_EQ(Column(p, id::People, 0), (QStringList{"王芳（姓名不一致）", "王小明", "张建国", "李明", "赵六"}));
    // A person in three roles: holder and insured of P1, holder of P2, beneficiary of P3.
    EXPECT_EQ(Row(p, id::People, 0),
              (QStringList{"王芳（姓名不一致）", "110", "13900001111", "投保人 被保险人 受益人", "3"}));
    EXPECT_EQ(Row(p, id::People, 3), (QStringList{"李明", "", "", "投保人 被保险人", "1"}));
    EXPECT_EQ(Row(p, id::People, 4), (QStringList{"赵六", "", "13700002222", "潜力客户", "0"}));

    // Her file: data from the newest policy that holds her (P1, 2020), both names.
    Click(List(p, id::People), 0);
    EXPECT_EQ(TextOf(p, id::Name), "王芳 / 王方（姓名不一致）");
    EXPECT_EQ(TextOf(p, id::Mobile), "13900001111");
    EXPECT_EQ(TextOf(p, id::Address), "北京市朝阳区建国路1号");
    EXPECT_EQ(TextOf(p, id::Source), "保单 P1 投保人");
    EXPECT_EQ(Column(p, id::Policies, 0), (QStringList{"P1", "P1-1", "P2", "P3"}));
    EXPECT_EQ(Row(p, id::Policies, 0), (QStringList{"P1", "投保人 被保险人", "中国人寿", "鸿福终身寿险", "50",
                                                    "1000.00", "2020-01-10", "2027-01-10"}));
    EXPECT_EQ(Row(p, id::Policies, 1)[3], "（附加）附加重大疾病");
    EXPECT_EQ(Row(p, id::Policies, 3)[1], "受益人");
    EXPECT_EQ(FindCtl<QLabel>(p, id::Totals)->text(),
              "年缴保费（作为投保人，含附加险）：2300.00 元\n保险金额（作为被保险人，万元）："
              "寿险 50，重疾 20，医疗 —，意外 —，年金 —，其它 —");

    // The keyboard moves through the people too.
    auto* people = List(p, id::People);
    people->setFocus();
    QTest::keyClick(people, Qt::Key_Down);
    EXPECT_EQ(TextOf(p, id::Name), "王小明");
    EXPECT_EQ(Column(p, id::Policies, 0), (QStringList{"P1", "P1-1", "P2"}));
    EXPECT_EQ(Row(p, id::Policies, 0)[1], "受益人");

    // Without a card number: known by name and birth date, data from the policy.
    Click(people, 3);
    EXPECT_EQ(TextOf(p, id::Name), "李明");
    EXPECT_EQ(TextOf(p, id::IdNumber), "");
    EXPECT_EQ(TextOf(p, id::Birth), "1985/12-30");
    EXPECT_TRUE(Column(p, id::Linked, 0).isEmpty());
}

TEST_F(ClientFilePage, LinksOpenTheirFilesAndTheGridShowsTheFamilysGaps) {
    auto page = Open();
    QWidget* p = page.get();
    Click(List(p, id::People), 0);
    EXPECT_EQ(Column(p, id::Linked, 0), (QStringList{"王小明", "张建国"}));
    EXPECT_EQ(Row(p, id::Linked, 0), (QStringList{"王小明", "P1 受益人；P2 被保险人", "120"}));
    EXPECT_EQ(Row(p, id::Linked, 1)[1], "P3 投保人；P3 被保险人");

    // One column per person, one row per category; a category nobody covers is "—" on a tint.
    auto* grid = List(p, id::Grid);
    ASSERT_EQ(grid->GetColumnCount(), 4);
    EXPECT_EQ(grid->GetColumnCaption(1), "王芳");
    EXPECT_EQ(grid->GetColumnCaption(3), "张建国");
    EXPECT_EQ(Column(p, id::Grid, 0), (QStringList{"寿险", "重疾", "医疗", "意外", "年金", "其它"}));
    EXPECT_EQ(Column(p, id::Grid, 1), (QStringList{"50", "20", "—", "—", "—", "—"}));
    EXPECT_EQ(Column(p, id::Grid, 2), (QStringList{"—", "—", "—", "—", "10", "—"}));
    EXPECT_EQ(Column(p, id::Grid, 3), (QStringList{"—", "—", "—", "5", "—", "—"}));
    QApplication::processEvents();
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect gap = grid->visualRect(grid->model()->index(2, 1));    // 医疗 of 王芳
    const QRect filled = grid->visualRect(grid->model()->index(0, 1)); // 寿险 of 王芳
    EXPECT_EQ(shot.pixelColor(gap.left() + 3, gap.top() + 3), QColor::fromRgb(0xF6D8CE));
    EXPECT_EQ(shot.pixelColor(filled.left() + 3, filled.top() + 3), QColor::fromRgb(theme::kListBackground));
    EXPECT_TRUE(FindCtl<QLabel>(p, id::Keywords)->text().contains("寿险：寿、终身、定期"));

    // A linked person's own file, by double click or by Enter; a search that
    // hides them gives way to the whole list.
    Search(p, "王芳");
    EXPECT_EQ(Label(p, id::Status), "找到 1 人");
    Click(List(p, id::People), 0);
    Click(List(p, id::Linked), 1, true);
    EXPECT_EQ(TextOf(p, id::Name), "张建国");
    EXPECT_EQ(TextOf(p, id::Search), "");
    EXPECT_EQ(List(p, id::People)->GetFirstSelected(), RowNamed(p, "张建国"));
    EXPECT_EQ(Column(p, id::Linked, 0), QStringList{"王芳"});
    auto* linked = List(p, id::Linked);
    linked->setFocus();
    linked->setCurrentIndex(linked->model()->index(0, 0));
    QTest::keyClick(linked, Qt::Key_Return);
    EXPECT_EQ(TextOf(p, id::Name), "王芳 / 王方（姓名不一致）");
}

TEST_F(ClientFilePage, TheNext90DaysRunPastTheYearEnd) {
    auto page = Open();
    QWidget* p = page.get();
    Click(List(p, id::People), 0);
    // From 20 December 2026: her premiums, her birthday and her son's (linked); her husband's is in May.
    EXPECT_EQ(Column(p, id::Next90, 0) + Column(p, id::Next90, 1),
              (QStringList{"2027-01-01", "2027-01-10", "2027-01-10", "2027-01-20", "2027-02-01", "2027-02-03",
                           "2027-03-01", "缴费 P2 少儿教育金 1000.00 元", "缴费 P1 鸿福终身寿险 1000.00 元",
                           "缴费 P1-1 附加重大疾病 300.00 元", "生日 王小明（17岁）", "缴费 P2 少儿教育金 1000.00 元",
                           "生日 王芳（51岁）", "缴费 P2 少儿教育金 1000.00 元"}));
    Click(List(p, id::People), RowNamed(p, "李明"));
    EXPECT_EQ(Column(p, id::Next90, 1), QStringList{"生日 李明（41岁）"}); // 30 December, this year still
}

TEST_F(ClientFilePage, SearchByNamePinyinCardNumberAndPhone) {
    auto page = Open();
    QWidget* p = page.get();
    const struct {
        const char* text;
        QStringList names;
    } cases[] = {
        {"小明", {"王小明"}},
        {"wxm", {"王小明"}},
        {"ZhangJian", {"张建国"}},
        {"wangf", {"王芳（姓名不一致）"}}, // 王芳 and 王方 alike
        {"12", {"王小明"}},                // part of a card number
        {"8887", {"张建国"}},              // part of a home phone
        {"0000222", {"赵六"}},             // part of a mobile
        {"钱", {}},
        {"", {"王芳（姓名不一致）", "王小明", "张建国", "李明", "赵六"}},
    };
    for (const auto& c : cases) {
        Search(p, QString::fromUtf8(c.text));
        EXPECT_EQ(Column(p, id::People, 0), c.names) << c.text;
    }
    // The find button does the same.
    TypeInto(p, id::Search, "李");
    Press(p, id::Find);
    EXPECT_EQ(Column(p, id::People, 0), QStringList{"李明"});
}

TEST_F(ClientFilePage, ADoubleClickOpensThePolicyForChanging) {
    auto page = Open();
    QWidget* p = page.get();
    Click(List(p, id::People), RowNamed(p, "张建国"));
    Click(List(p, id::Policies), 0, true);
    EXPECT_EQ(host.edited, std::vector<int>{2});

    // Through the main window: the entry page shows P3 for changing.
    QTemporaryDir dir;
    DataBook book;
    FillBook(book);
    for (const auto& r : vantorel::SaveAll(book, dir.path().toStdString()))
        ASSERT_NE(r.outcome, vantorel::SaveOutcome::failed);
    CMainDlg dlg(dir.path().toStdString(), AllPageFactories());
    dlg.Initialise();
    dlg.show();
    auto* tree = FindCtl<QTreeWidget>(&dlg, ids::main_window::Tree);
    tree->setCurrentItem(tree->findItems("客户档案", Qt::MatchExactly | Qt::MatchRecursive).value(0));
    auto* file = dynamic_cast<CClientFilePage*>(dlg.Page(id::Template));
    ASSERT_NE(file, nullptr);
    WaitReady(*file);
    Click(List(file, id::People), RowNamed(file, "张建国"));
    Click(List(file, id::Policies), 0, true);
    EXPECT_TRUE(dlg.Page(ids::entry::Template)->isVisible());
    EXPECT_FALSE(file->isVisible());
    EXPECT_EQ(TextOf(dlg.Page(ids::entry::Template), ids::entry::PolicyNo), "P3");
    dlg.RequestClose(false);
}

TEST_F(ClientFilePage, AChangeGathersThePeopleAgainAndKeepsThePersonShown) {
    auto page = Open();
    QWidget* p = page.get();
    Click(List(p, id::People), RowNamed(p, "李明"));
    // A new policy names 李明 and a new person: the old list goes at once.
    auto p5 = Policy("P5", "定期寿险", 30, "2026/6-1");
    Set(p5.holder, "李明", "", "1985/12-30");
    Set(p5.insured, "周明", "150");
    host.book.insurance.Add(p5);
    EXPECT_EQ(List(p, id::People)->GetItemCount(), 0);
    EXPECT_EQ(page->Index(), nullptr);
    EXPECT_EQ(TextOf(p, id::Name), "");
    WaitReady(*page);
    EXPECT_EQ(Label(p, id::Status), "共 6 人");
    EXPECT_EQ(TextOf(p, id::Name), "李明");
    EXPECT_EQ(Column(p, id::Policies, 0), (QStringList{"P4", "P5"}));

    // Changes while the people are being gathered: the list shown holds them all.
    page->OnShown(); // nothing to gather
    host.book.clients.RemoveAll();
    page->OnShown(); // as the main window shows the page again
    host.book.insurance.RemoveAt(0);
    WaitReady(*page);
    EXPECT_EQ(Label(p, id::Status), "共 5 人");
    EXPECT_EQ(RowNamed(p, "赵六"), -1);

    // A hidden page gathers only when shown again; a page closed while gathering stops.
    page->hide();
    host.book.clients.Add({});
    QTest::qWait(300);
    EXPECT_EQ(page->Index(), nullptr);
    page->show();
    page->OnShown();
    page.reset();
}

TEST_F(ClientFilePage, TheReviewIsWrittenAsAPdfAndPrinted) {
    auto page = Open();
    QWidget* p = page.get();
    Press(p, id::Review);
    EXPECT_EQ(boxes.Last(), "请先选择客户!");
    Click(List(p, id::People), 0);

    QTemporaryDir dir;
    QString suggested;
    msg::SetFileResponder([&](const QString&, const QString& name, QString*) {
        suggested = name;
        return dir.filePath("review"); // no suffix: ".pdf" is added
    });
    Press(p, id::Review);
    msg::SetFileResponder({});
    EXPECT_EQ(suggested, "保单检视报告-王芳-20261220.pdf");
    const QString pdf = dir.filePath("review.pdf");
    QFile::copy(pdf, "review.pdf"); // kept beside the test to look at
    EXPECT_EQ(boxes.Last(), "保单检视报告已保存到 " + pdf);
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).size() == 1); // no temporary file left

    // A4, the Chinese font embedded, and every part of the file in its text.
    const QString info = Poppler("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains("pts (A4)")) << qPrintable(info);
    const QString fonts = Poppler("pdffonts", {pdf});
    bool cjkEmbedded = false;
    for (const QString& line : fonts.split('\n'))
        if (line.contains("CJK") && line.contains(" yes ")) cjkEmbedded = true;
    EXPECT_TRUE(cjkEmbedded) << qPrintable(fonts);
    // Qt names a CJK glyph that also stands for a Kangxi radical by the
    // radical (方 as ⽅): the compatibility form gives the character back.
    const QString text = Poppler("pdftotext", {"-layout", pdf, "-"}).normalized(QString::NormalizationForm_KC);
    for (const char* part :
         {"保单检视报告", "2026年12月20日", "王芳 / 王方", "姓名不一致", "鸿福终身寿险", "P3", "2300.00",
          "家庭保障一览", "王小明", "张建国", "—", "2027-01-20", "生日 王小明（17岁）", "寿险：寿、终身、定期"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part).normalized(QString::NormalizationForm_KC))) << part;
    // The first page as a picture: drawn, with the gaps' tint on it.
    Poppler("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "1", pdf, dir.filePath("page")});
    const QStringList pngs = QDir(dir.path()).entryList({"page*.png"});
    ASSERT_EQ(pngs.size(), 1);
    const QImage png(dir.filePath(pngs.first()));
    EXPECT_NEAR(double(png.width()) / png.height(), 210.0 / 297, 0.01);
    int tinted = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            if (png.pixelColor(x, y) == QColor(0xF6, 0xD8, 0xCE)) ++tinted;
    EXPECT_GT(tinted, 100);

    // A folder that is not there: the box names the path and why.
    msg::SetFileResponder([&](const QString&, const QString&, QString*) { return dir.filePath("none/review.pdf"); });
    Press(p, id::Review);
    msg::SetFileResponder({});
    EXPECT_TRUE(boxes.Last().startsWith("无法写入文件 " + dir.filePath("none/review.pdf") + "："))
        << qPrintable(boxes.Last());

    // Printing: the print dialog's answer decides; the same document goes to the printer.
    const QString printed = dir.filePath("printed.pdf");
    CClientFilePage::SetPrintResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    });
    Press(p, id::Print);
    CClientFilePage::SetPrintResponder([](QPrinter&) { return false; });
    Press(p, id::Print); // cancelled: nothing
    CClientFilePage::SetPrintResponder({});
    ASSERT_TRUE(QFile::exists(printed));
    EXPECT_TRUE(Poppler("pdftotext", {printed, "-"}).contains("保单检视报告"));
}

TEST_F(ClientFilePage, LooksLikeThePagesAroundIt) {
    auto page = Open();
    QWidget* p = page.get();
    Click(List(p, id::People), 0);
    QApplication::processEvents();
    const QImage shot = page->grab().toImage();
    shot.save("client-file-page.png");
    EXPECT_EQ(shot.pixelColor(2, 2), QColor::fromRgb(theme::kPageBackground));
    EXPECT_EQ(FindCtl<QLineEdit>(p, id::Name)->palette().color(QPalette::Text), QColor::fromRgb(theme::kEditText));
    EXPECT_EQ(FindCtl<QLabel>(p, id::Totals)->palette().color(QPalette::WindowText),
              QColor::fromRgb(theme::kStaticText));
    EXPECT_EQ(FindCtl<QAbstractButton>(p, id::Review)->palette().color(QPalette::ButtonText),
              QColor::fromRgb(theme::kButtonText));
    // Tab goes from the search text to its button, then to the people.
    FindCtl(p, id::Search)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), FindCtl(p, id::Find));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), FindCtl(p, id::People));
}
