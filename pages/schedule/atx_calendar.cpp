#include "atx_calendar.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QLocale>
#include <QMouseEvent>
#include <QTableView>

CAtxCalendar::CAtxCalendar(QWidget* parent) : QCalendarWidget(parent) {
    setLocale(QLocale(QLocale::Chinese, QLocale::China));
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    setGridVisible(false);
    // The day grid's headers would ask every column for the font's widest
    // glyph, which for the CJK fonts is far wider than "28" or "六": seven of
    // those do not fit the calendar's rectangle. The columns share the width.
    if (auto* table = findChild<QTableView*>()) {
        table->horizontalHeader()->setMinimumSectionSize(0);
        table->verticalHeader()->setMinimumSectionSize(0);
    }
    if (auto* view = findChild<QAbstractItemView*>()) normalPalette_ = view->palette();
    const QDate d = selectedDate();
    year_ = d.year();
    month_ = d.month();
    day_ = d.day();

    // A press on a day cell remembers what was selected before it, so that
    // the click that follows can tell "the selected day again".
    if (auto* view = findChild<QAbstractItemView*>()) view->viewport()->installEventFilter(this);

    connect(this, &QCalendarWidget::selectionChanged, this, [this] {
        const QDate sel = selectedDate();
        year_ = sel.year();
        month_ = sel.month();
        day_ = sel.day();
        SetHasDay(true);
    });
    connect(this, &QCalendarWidget::clicked, this, [this](QDate date) {
        SetHasDay(!(hasDay_ && date == selectedAtPress_));
        selectedAtPress_ = {};
    });
    connect(this, &QCalendarWidget::currentPageChanged, this, &CAtxCalendar::FollowShownMonth);
}

bool CAtxCalendar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        selectedAtPress_ = hasDay_ ? selectedDate() : QDate();
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        // The first click of the two picked the day, or, on the day already
        // picked, cleared the choice: either way the double click means that day.
        if (OnSelectedDay(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            SetHasDay(true);
            selectedAtPress_ = {};
        }
    }
    return QCalendarWidget::eventFilter(watched, event);
}

bool CAtxCalendar::OnSelectedDay(QPoint pos) const {
    const auto* view = findChild<QAbstractItemView*>();
    if (!view) return false;
    const QModelIndex cell = view->indexAt(pos);
    // The day names and week numbers are headers, not days.
    const int firstRow = horizontalHeaderFormat() == NoHorizontalHeader ? 0 : 1;
    const int firstColumn = verticalHeaderFormat() == NoVerticalHeader ? 0 : 1;
    return cell.isValid() && cell.row() >= firstRow && cell.column() >= firstColumn &&
           cell.data().toInt() == selectedDate().day();
}

void CAtxCalendar::FollowShownMonth(int year, int month) {
    const QDate selected = selectedDate();
    if (selected.year() == year && selected.month() == month) return;
    const QDate day(year, month, qMin(day_, QDate(year, month, 1).daysInMonth()));
    {
        // Not a pick by the user: the day asked for stays, for the next month that has it.
        const QSignalBlocker block(this);
        setSelectedDate(qBound(minimumDate(), day, maximumDate()));
    }
    year_ = year;
    month_ = month;
}

void CAtxCalendar::SetHasDay(bool on) {
    if (hasDay_ == on) return;
    hasDay_ = on;
    // With no day selected the selection is drawn like any other day.
    // Only the day grid: the navigation bar keeps its own colours.
    auto* view = findChild<QAbstractItemView*>();
    if (!view) return;
    if (on) {
        view->setPalette(normalPalette_);
        return;
    }
    QPalette p = normalPalette_;
    p.setColor(QPalette::Highlight, p.color(QPalette::Base));
    p.setColor(QPalette::HighlightedText, p.color(QPalette::Text));
    view->setPalette(p);
}

std::int16_t CAtxCalendar::GetYear() const { return hasDay_ ? std::int16_t(selectedDate().year()) : 0; }
std::int16_t CAtxCalendar::GetMonth() const { return hasDay_ ? std::int16_t(selectedDate().month()) : 0; }
std::int16_t CAtxCalendar::GetDay() const { return hasDay_ ? std::int16_t(selectedDate().day()) : 0; }

void CAtxCalendar::SetYear(std::int16_t year) { Put(year, month_, day_); }
void CAtxCalendar::SetMonth(std::int16_t month) { Put(year_, month, day_); }
void CAtxCalendar::SetDay(std::int16_t day) { Put(year_, month_, day); }

void CAtxCalendar::Put(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return;
    const QDate first(year, month, 1);
    if (!first.isValid()) return;
    const QDate shown(year, month, qMin(day, first.daysInMonth()));
    if (shown < minimumDate() || shown > maximumDate()) return;
    {
        const QSignalBlocker block(this);
        setSelectedDate(shown);
        setCurrentPage(year, month);
    }
    year_ = year;
    month_ = month;
    day_ = day;
    SetHasDay(true);
}
