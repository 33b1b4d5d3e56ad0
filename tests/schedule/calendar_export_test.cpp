// "导出日历" on the schedule page, through the real button and save dialog.
#include "gui_test_support.h"
#include "agent/gbk.h"
#include "app/page_host.h"
#include "pages/schedule/schedule_page.h"
#include "records/data_book.h"
#include "resources/templates/schedule_ids.h"

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace {

namespace id = ids::schedule;

// The main window as far as the page sees it: the book, the switches as the
// pages hold them now, today by its clock.
class Host : public PageHost {
public:
    CPage* Page(int) const override { return nullptr; }
    void ShowOnly(int) override {}
    vantorel::DataBook& Book() override { return book; }
    const ReminderSwitches& StoredSwitches() const override { return stored; }
    ReminderSwitches CurrentSwitches() const override { return current; }
    QDate Today() const override { return QDate(2026, 3, 15); }
    bool EditPolicy(int) override { return false; }

    vantorel::DataBook book;
    ReminderSwitches stored, current;
};

struct CalendarExport : testing::Test {
    MessageRecorder rec;
    QTemporaryDir dir;
    Host host;
    std::unique_ptr<CSchedulePage> page;
    QStringList asked; // caption | suggested name | filter, per dialog
    QString answer;    // the save dialog's answer

    void SetUp() override {
        msg::SetFileResponder([this](const QString& caption, const QString& suggested, QString* filter) {
            asked << caption + "|" + suggested + "|" + (filter ? *filter : QString());
            return answer;
        });
        vantorel::PolicyRecord p;
        p.info.policyNo = "P1";
        p.info.paymentMethod = ToGbk(QStringLiteral("年缴"));
        p.info.effectiveDate = "2020/6-1";
        p.info.annualPremium = 1200;
        p.holder.name = ToGbk(QStringLiteral("张三"));
        p.holder.birthDate = "1970/5-29";
        host.book.insurance.Add(p);
        host.book.calendar.Add({20260320, ToGbk(QStringLiteral("拜访客户"))});
        page = std::make_unique<CSchedulePage>(host.book.calendar, 1, host.Today(), nullptr, &host);
        page->show();
    }
    void TearDown() override { msg::SetFileResponder({}); }
    QAbstractButton* Button() { return FindCtl<QAbstractButton>(page.get(), id::ExportCalendar); }
};

} // namespace

TEST_F(CalendarExport, WritesTheBookWithTheCurrentSwitchesAndSaysWhere) {
    ASSERT_NE(Button(), nullptr);
    EXPECT_EQ(Button()->text(), QStringLiteral("导出日历"));
    // Lined up with the other buttons, its right edge with the list's.
    const QWidget* del = FindCtl(page.get(), id::Delete);
    const QWidget* list = FindCtl(page.get(), id::List);
    EXPECT_EQ(Button()->geometry().top(), del->geometry().top());
    EXPECT_EQ(Button()->geometry().height(), del->geometry().height());
    // Dialog units are 1.5 px: the rounding of x and width may leave a pixel.
    EXPECT_LE(std::abs(Button()->geometry().right() - list->geometry().right()), 1);
    EXPECT_GT(Button()->geometry().left(), del->geometry().right());

    answer = dir.filePath("日程"); // no suffix: ".ics" is added
    Press(page.get(), id::ExportCalendar);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QStringLiteral("导出日历|Vantorel日程.ics|iCalendar 日历 (*.ics)"));
    const QString path = answer + ".ics";
    EXPECT_EQ(rec.Last(), QStringLiteral("日历已保存到 %1\n共 1 个日程、1 个生日、1 个续期缴费日。").arg(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray ics = f.readAll();
    EXPECT_TRUE(ics.contains("UID:policy-P1-due-20260601@vantorel\r\n"));
    EXPECT_TRUE(ics.contains(QStringLiteral("SUMMARY:拜访客户\r\n").toUtf8()));

    // The switches as the pages hold them now, not as stored.
    host.current.holder = 0;
    host.current.premium = 0;
    Press(page.get(), id::ExportCalendar);
    EXPECT_EQ(rec.Last(), QStringLiteral("日历已保存到 %1\n共 1 个日程、0 个生日、0 个续期缴费日。").arg(path));

    // Cancelled: nothing written, nothing said.
    rec.Clear();
    answer.clear();
    Press(page.get(), id::ExportCalendar);
    EXPECT_TRUE(rec.shown.isEmpty());

    // A folder that is not there: the file and the reason named.
    answer = dir.filePath("none/x.ics");
    Press(page.get(), id::ExportCalendar);
    ASSERT_EQ(rec.shown.size(), 1);
    EXPECT_TRUE(rec.Last().startsWith(QStringLiteral("无法写入文件 %1：").arg(answer))) << rec.Last().toStdString();
    EXPECT_FALSE(QFile::exists(answer));

    // A page without a host has nothing to export.
    CSchedulePage alone(host.book.calendar, 1, host.Today());
    EXPECT_FALSE(FindCtl<QAbstractButton>(&alone, id::ExportCalendar)->isEnabled());
}

TEST_F(CalendarExport, ALongExportShowsProgressAndCanBeCancelled) {
    for (int i = 0; i < 200000; ++i) host.book.calendar.Add({20260101.0 + i % 28, ToGbk(QString::number(i))});
    answer = dir.filePath("big.ics");
    // The box comes up while the file is written; its Cancel is pressed.
    bool sawProgress = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget())) {
            sawProgress = true;
            if (auto* cancel = box->findChild<QPushButton*>()) cancel->click(); // as the user does
        }
    });
    poll.start(5);
    Press(page.get(), id::ExportCalendar);
    poll.stop();
    if (!sawProgress) GTEST_SKIP() << "written before the progress box came up";
    EXPECT_TRUE(rec.shown.isEmpty()) << rec.Last().toStdString();
    EXPECT_FALSE(QFile::exists(answer));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    EXPECT_TRUE(page->isEnabled());
}
