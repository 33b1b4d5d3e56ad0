#include "schedule_page.h"

#include "atx_calendar.h"
#include "calendar_export.h"
#include "agent/book_text.h"
#include "app/message_box.h"
#include "app/page_host.h"
#include "resources/templates/schedule_ids.h"
#include "resources/templates/schedule_template.h"
#include "theme/skin_list_ctrl.h"

#include <cmath>

namespace {
namespace id = ids::schedule;

QWidget* MakeCalendar(const tmpl::Control& c, QWidget* parent) {
    if (c.id == id::Calendar) return new CAtxCalendar(parent);
    return new QWidget(parent);
}
} // namespace

CSchedulePage::CSchedulePage(vantorel::CCalendar& entries, int remind, const QDate& today, QWidget* parent,
                             PageHost* host)
    : CPage(tmpl::ScheduleTemplate(), parent, MakeCalendar), entries_(entries), host_(host) {
    calendar_ = Ctl<CAtxCalendar>(id::Calendar);
    list_ = Ctl<CSkinListCtrl>(id::List);

    binding_.Text(id::Memo, &text_, QStringLiteral("日程安排"));
    binding_.Check(id::Switch, &remind_);

    SetUpList(list_, {{QStringLiteral("时间"), 100}, {QStringLiteral("日程安排"), 400}});
    follower_ = std::make_unique<RecordListFollower>(entries_, list_);
    FillList();

    calendar_->SetYear(std::int16_t(today.year()));
    calendar_->SetMonth(std::int16_t(today.month()));
    calendar_->SetDay(std::int16_t(today.day()));

    remind_ = remind;
    ShowValues();

    OnClick(id::Add, [this] { OnAdd(); });
    OnClick(id::Delete, [this] { OnDelete(); });
    OnClick(id::ExportCalendar, [this] { OnExportCalendar(); });
    Ctl<QWidget>(id::ExportCalendar)->setEnabled(host_ != nullptr);
    // The switch is the page's value the moment it is clicked: today's
    // reminders and the close both read it from here.
    OnClick(id::Switch, [this] { CommitQuiet(); });
    connect(list_, &CSkinListCtrl::rowDoubleClicked, this, [this](int) { OnLoadEntry(); });
}

CSchedulePage::~CSchedulePage() {
    follower_.reset();
    list_->DeleteAllItems();
}

CSchedulePage::DateParts CSchedulePage::SplitDateNumber(double n) {
    // A date number from a damaged file may be anything; beyond this the
    // parts would not fit the integers they are shown as.
    if (!std::isfinite(n) || std::fabs(n) >= 1e15) return {};
    DateParts p;
    p.year = static_cast<long long>(std::trunc(n / 10000));
    const double r = n - double(p.year) * 10000;
    p.month = static_cast<long long>(std::trunc(r / 100));
    p.day = static_cast<long long>(std::trunc(r - double(p.month) * 100));
    return p;
}

QString CSchedulePage::DateText(double n) {
    const DateParts p = SplitDateNumber(n);
    // A real date as every list shows dates; anything else (a damaged file) as its parts.
    const bool parts = p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 && p.day <= 31;
    const QDate d = parts ? QDate(int(p.year), int(p.month), int(p.day)) : QDate();
    if (d.isValid()) return d.toString(QStringLiteral("yyyy-MM-dd"));
    return QStringLiteral("%1-%2-%3").arg(p.year).arg(p.month).arg(p.day);
}

namespace {
// An entry as the line under the buttons names it: its first line, cut short.
QString FirstLine(const QString& text) {
    QString line = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (line.size() > 30) line = line.left(29) + QStringLiteral("…");
    return line;
}
} // namespace

void CSchedulePage::FillList() {
    CommitQuiet();
    static const vantorel::Field<vantorel::ScheduleEntry> date([](auto& e) -> auto& { return e.date; });
    static const vantorel::Field<vantorel::ScheduleEntry> text([](auto& e) -> auto& { return e.text; });
    // Rows stand in the order the entries were added; their texts are read when shown.
    list_->ShowRecords(entries_.GetSize(), [this](int index, int column) {
        if (index >= entries_.GetSize()) return QString();
        const vantorel::CCalendar::View e = entries_.ViewAt(index);
        return column == 0 ? DateText(e.Number(date)) : TextOf(e, text);
    });
}

void CSchedulePage::OnAdd() {
    if (!Commit()) return;
    if (text_.isEmpty()) {
        msg::Info(this, QStringLiteral("请输入事件!"));
        return;
    }
    const int year = calendar_->GetYear();
    const int month = calendar_->GetMonth();
    const int day = calendar_->GetDay();
    const int number = year * 10000 + month * 100 + day;
    if (number == 0) {
        msg::Info(this, QStringLiteral("请选择日期!"));
        return;
    }
    entries_.Add({double(number), StoredText(text_)});
    FillList();
    Say(QStringLiteral("已添加日程 %1 %2").arg(DateText(number), FirstLine(text_)));
}

void CSchedulePage::OnDelete() {
    CommitQuiet();
    const int row = list_->GetFirstSelected();
    if (row < 0) return;
    const vantorel::ScheduleEntry gone = entries_.GetAt(row);
    entries_.RemoveAt(row); // the list follows
    Say(QStringLiteral("已删除日程 %1 %2").arg(DateText(gone.date), FirstLine(TextOf(gone.text))));
    list_->SelectRow(row < list_->GetItemCount() ? row : -1);
}

void CSchedulePage::OnLoadEntry() {
    const int row = list_->GetFirstSelected();
    if (row < 0) return;
    const vantorel::ScheduleEntry e = entries_.GetAt(row);
    const DateParts p = SplitDateNumber(e.date);
    // A date no calendar has (from a damaged file) leaves the calendar as it is.
    if (p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 && p.day <= 31) {
        calendar_->SetYear(std::int16_t(p.year));
        calendar_->SetMonth(std::int16_t(p.month));
        calendar_->SetDay(std::int16_t(p.day));
    }
    text_ = TextOf(e.text);
    ShowValues();
}

void CSchedulePage::OnExportCalendar() {
    CommitQuiet(); // the switch as it stands
    if (host_) ExportCalendarInteractive(this, host_->Book(), host_->CurrentSwitches(), host_->Today());
}
