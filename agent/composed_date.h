// The date a person or policy record holds, as the text the form composes
// from its three controls: "%s/%d-%d" of the year as typed and the month and
// day indexes + 1 ("2004/5-29"; nothing chosen gives 0: "1977/0-0"). The year
// is free text, so a stored text need not be a real date.
#pragma once

#include <QDate>
#include <QString>
#include <string>
#include <string_view>

// What the form's three controls hold: the year combo's text and the month
// and day lists' 0-based indexes, -1 for none.
struct DateParts {
    QString year;
    int monthIndex = -1;
    int dayIndex = -1;
    bool operator==(const DateParts&) const = default;
};

class ComposedDate {
public:
    ComposedDate() = default;
    // A text as it stands, whether or not it is a real date.
    explicit ComposedDate(QString text) : text_(std::move(text)) {}
    // Record bytes (GBK).
    static ComposedDate FromStored(std::string_view gbk);
    // The form's three controls composed.
    static ComposedDate FromParts(const DateParts& parts);
    static ComposedDate FromDate(const QDate& date);

    const QString& Text() const { return text_; }
    // The bytes a record keeps.
    std::string Stored() const;

    // The three controls it shows in: the year before the first "/" (empty
    // without one, or with "/" first), then month and day around the first
    // "-" after it, read as the forms read integers; both -1 without a "-".
    DateParts Split() const;

    // The calendar date when year, month and day are numbers (digits only,
    // year 1 to 9999) that make one; invalid otherwise ("2004/0-0", "/5-29",
    // "2003/2-29", "二〇〇四/5-29").
    QDate ToDate() const { return RealDate(text_); }
    bool IsReal() const { return ToDate().isValid(); }

    // What lists and reports show: a real date as yyyy-mm-dd, any other
    // text as it is stored.
    QString ListText() const;

    // The same reading, straight from record bytes and without allocating:
    // for walks over a whole book. GBK keeps digits and signs as their ASCII
    // bytes, so any other byte is no digit.
    static QDate RealDate(std::string_view gbk);
    static QDate RealDate(const QString& text);
    // The day of the month RealDate would read, -1 when it would read none.
    static int Day(std::string_view gbk);

    // Whether stored dates fall on a day of the year, the year not looked
    // at: the part after the first "/" (all of it without one) is the day's
    // "%d-%d" of month and day. Worked out once for a walk over a whole book.
    class SameDay {
    public:
        explicit SameDay(const QDate& day);
        bool Matches(std::string_view gbk) const;

    private:
        char text_[16];
        std::size_t length_;
    };

    bool operator==(const ComposedDate&) const = default;

private:
    QString text_;
};
