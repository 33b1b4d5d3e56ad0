// The month calendar of the schedule page. The page reads and sets the
// selected date as year, month and day; with no day selected all three
// read 0. Clicking the selected day again leaves no day selected; clicking
// any day (or moving with the keyboard) selects one again, and a double
// click leaves its day selected. The selection stays on the month shown:
// when the arrows or the month and year boxes show another month, the same
// day of that month is selected (its last day when it is shorter), and no
// day selected stays so.
#pragma once

#include <QCalendarWidget>
#include <QDate>
#include <cstdint>

class CAtxCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit CAtxCalendar(QWidget* parent = nullptr);

    std::int16_t GetYear() const;
    std::int16_t GetMonth() const;
    std::int16_t GetDay() const;
    // Each put changes one part of the date and selects the result; a day
    // beyond the month's end is held back to the month's last day until
    // the next put, so year, month, day in that order give the exact date.
    // A part that can make no date (month 13, day 0) is ignored.
    void SetYear(std::int16_t year);
    void SetMonth(std::int16_t month);
    void SetDay(std::int16_t day);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Put(int year, int month, int day);
    void SetHasDay(bool on);
    void FollowShownMonth(int year, int month);
    // Whether the point of the day grid is on the selected date's cell.
    bool OnSelectedDay(QPoint pos) const;

    bool hasDay_ = true;
    // The parts as last put or picked; the shown date may differ only by a
    // day held back to the month's end.
    int year_ = 0, month_ = 0, day_ = 0;
    QDate selectedAtPress_;
    QPalette normalPalette_;
};
