#include "gui_test_support.h"
#include "agent/gbk.h"
#include "app/form_binding.h"
#include "app/forms.h"
#include "app/page.h"
#include "app/template_builder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <limits>

using namespace forms;

TEST(Forms, ComboAndListShowingAndTyping) {
    // Built as the pages build them, so the combo's own behaviour is the program's.
    static const tmpl::Window t{1,
                                100,
                                40,
                                "宋体",
                                9,
                                {{10, tmpl::Kind::Combo, 0, 0, 40, 100, "", 0, tmpl::presets::twoDigits},
                                 {11, tmpl::Kind::Combo, 0, 14, 60, 100, "", 0, tmpl::presets::insurers},
                                 {12, tmpl::Kind::List, 50, 0, 40, 100, "", 0, {"01", "02"}}}};
    QWidget form;
    tmpl::Build(t, &form);
    form.show();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* combo = FindCtl<QComboBox>(&form, 10);
    ShowComboText(combo, "1");
    EXPECT_EQ(combo->currentText(), "1");
    EXPECT_EQ(combo->currentIndex(), -1);
    ShowComboText(combo, "05");
    EXPECT_EQ(combo->currentIndex(), 4);
    // What is typed is the value: no preset filled in, no letter case changed.
    for (auto [id, typed] : {std::pair{10, "5"}, std::pair{11, "jorvale"}}) {
        auto* c = FindCtl<QComboBox>(&form, id);
        c->setFocus();
        c->lineEdit()->clear();
        QTest::keyClicks(c, typed);
        EXPECT_EQ(c->currentText(), typed);
    }
    auto* list = FindCtl<QComboBox>(&form, 12);
    ShowListIndex(list, 5);
    EXPECT_EQ(ListIndex(list), -1);
    ShowListIndex(list, 1);
    EXPECT_EQ(ListIndex(list), 1);
}

// The converters are kept from call to call: what one call met must not change
// the next. Each text is converted after one that fails, and checked against
// a converter made for it alone.
TEST(Forms, KeptConvertersGiveWhatFreshOnesGive) {
    auto fresh = [](const std::string& bytes) {
        return QString(QStringDecoder("GBK", QStringConverter::Flag::Stateless)
                           .decode(QByteArrayView(bytes.data(), qsizetype(bytes.size()))));
    };
    const std::string texts[] = {"\xB1\xBE\xBF", "\xC6",      "A1", "\xB1\xBE\xBF\xC6",
                                 "\x81",         "\x81\x40x", "",   std::string("a\0b", 3),
                                 "\xFF\xFF",     "\xB1\xBE"};
    for (const std::string& t : texts) {
        EXPECT_EQ(FromGbk(t), fresh(t)) << t;
        EXPECT_EQ(FromGbk("\xB1\xBE\xBF\xC6"), "本科") << "after " << t;
    }
    for (const QString& t : {QString("本科"), QString("A1"), QString("")}) {
        EXPECT_FALSE(CanStoreAsGbk(QString::fromUtf8("张三\xF0\x9F\x98\x80")));
        EXPECT_TRUE(CanStoreAsGbk(t)) << t.toStdString() << " after a refused text";
        EXPECT_EQ(ToGbk(QString::fromUtf8("\xF0\x9F\x98\x80")), "?");
        EXPECT_EQ(FromGbk(ToGbk(t)), t);
    }
    EXPECT_EQ(ToGbk(QString::fromUtf8("丂@")), "\x81\x40@");
}

TEST(Forms, TextThatGbkCannotHoldIsRefusedByName) {
    EXPECT_EQ(ToGbk("本科"), std::string("\xB1\xBE\xBF\xC6"));
    EXPECT_EQ(FromGbk("\xB1\xBE\xBF\xC6"), "本科");
    EXPECT_EQ(ToGbk("1万～2万元").substr(3, 2), std::string("\xA1\xAB"));
    EXPECT_FALSE(CanStoreAsGbk("张三😀"));
    QWidget form;
    auto* edit = new QLineEdit(&form);
    const int policyNo = 1040; // any id: the form has this one control
    edit->setObjectName(QString::number(policyNo));
    QString value;
    FormBinding b(&form);
    b.Text(policyNo, &value, "保险单号");
    MessageRecorder messages;
    edit->setText("A1😀");
    EXPECT_FALSE(b.Commit());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains("保险单号"));
    edit->setText("A1");
    EXPECT_TRUE(b.Commit());
    EXPECT_EQ(value, "A1");
}

// A value longer than its field is shown from its beginning: the identity
// number's first digits, the address's start, whether the text changed or not.
TEST(Forms, ShownValuesStartAtTheirBeginning) {
    enum : int { kIdNumber = 20, kAddress = 21 };
    static const tmpl::Window t{1,
                                120,
                                40,
                                "宋体",
                                9,
                                {{kIdNumber, tmpl::Kind::Edit, 0, 0, 50, 12},
                                 {kAddress, tmpl::Kind::Combo, 0, 14, 50, 100, "", 0, tmpl::presets::insurers}}};
    QWidget form;
    tmpl::Build(t, &form);
    form.show();
    QString id = QStringLiteral("110101197001010000"), address;
    FormBinding b(&form);
    b.Text(kIdNumber, &id, QStringLiteral("身份证号"));
    b.Text(kAddress, &address, QStringLiteral("单位地址"));
    address = QStringLiteral("北京市东城区东长安街一号东方广场东三办公楼十八层");
    auto* edit = FindCtl<QLineEdit>(&form, kIdNumber);
    QLineEdit* comboEdit = FindCtl<QComboBox>(&form, kAddress)->lineEdit();
    for (int round = 0; round < 2; ++round) { // a new value, then the same value again after typing at its end
        SCOPED_TRACE(round);
        b.Show();
        for (QLineEdit* e : {edit, comboEdit}) {
            EXPECT_EQ(e->cursorPosition(), 0);
            QApplication::processEvents();
            form.grab().save(QStringLiteral("long_values_%1.png").arg(round));
            EXPECT_LT(e->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), 8) << "scrolled to its start";
        }
        EXPECT_EQ(edit->text(), id);
        EXPECT_EQ(comboEdit->text(), address);
        edit->end(false);
        comboEdit->end(false);
    }
}

// A window asking for a control its template lacks, or for one of another
// kind, is a fault in the program: it stops at once in every build (not only
// where assertions are compiled in), naming the window and the id, whether the
// page looks the control up or binds it.
TEST(FormsDeathTest, AControlTheTemplateLacksStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the application has threads of its own
    enum : int { kButton = 42, kMissing = 43 };
    static const tmpl::Window t{4711, 100, 60, "宋体", 9, {{kButton, tmpl::Kind::Button, 5, 5, 40, 14, "按钮"}}};
    CPage page(t, nullptr);
    EXPECT_NE(page.Ctl<QPushButton>(kButton), nullptr);
    EXPECT_DEATH(page.Ctl(kMissing), "window 4711 \\(CPage\\) has no QWidget with id 43");
    EXPECT_DEATH(page.Ctl<QLineEdit>(kButton), "window 4711 \\(CPage\\) has no QLineEdit with id 42");
    QString value;
    int index = 0;
    EXPECT_DEATH(FormBinding(&page).Text(kMissing, &value, QStringLiteral("x")), "window 4711 .*id 43");
    EXPECT_DEATH(FormBinding(&page).Index(kButton, &index), "has no QComboBox with id 42");
}
