// The calendar file read back with libical's parser, as a calendar program
// would read it.
#include "agent/gbk.h"
#include "exchange/calendar_file.h"
#include "records/data_book.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace {

const QString kTricky = QStringLiteral("见王总, 带合同; 路径 C:\\客户\\王\n第二行");

vantorel::DataBook Book() {
    vantorel::DataBook b;
    b.calendar.Add({20260320, ToGbk(kTricky)});
    // Longer than a line: folded, and each line still whole UTF-8.
    b.calendar.Add({20260401, ToGbk(QString(60, QChar(0x4E2D)))});
    vantorel::PolicyRecord p;
    p.info.policyNo = "P1";
    p.info.paymentMethod = ToGbk(QStringLiteral("年缴"));
    p.info.effectiveDate = "2020/6-1";
    p.info.annualPremium = 1200;
    p.holder.name = ToGbk(QStringLiteral("张三"));
    p.holder.birthDate = "1988/2-29";
    p.insured.name = ToGbk(QStringLiteral("李四"));
    p.insured.birthDate = "1977/0-0"; // incomplete: no event
    b.insurance.Add(p);
    vantorel::MemberRecord m;
    m.staffNo = "007";
    m.person.name = ToGbk(QStringLiteral("赵六"));
    m.person.birthDate = "1990/7-15";
    b.members.Add(m);
    return b;
}

struct FreeComponent {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, FreeComponent>;

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// The VEVENTs of a written file by UID.
struct Parsed {
    QByteArray raw;
    Component cal;
    std::map<std::string, icalcomponent*> events;
};

Parsed Parse(const QString& path) {
    Parsed p;
    p.raw = ReadAll(path);
    p.cal.reset(icalparser_parse_string(p.raw.constData()));
    if (!p.cal) return p;
    for (icalcomponent* e = icalcomponent_get_first_component(p.cal.get(), ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(p.cal.get(), ICAL_VEVENT_COMPONENT))
        p.events[icalcomponent_get_uid(e)] = e;
    return p;
}

QDate DateOf(const icaltimetype& t) { return QDate(t.year, t.month, t.day); }

std::string Uid(const char* prefix, const QDate& d, const char* rest = "") {
    return prefix + d.toString("yyyyMMdd").toStdString() + rest;
}

} // namespace

TEST(CalendarFile, EveryKindOfEventReadsBackWithLibical) {
    QTemporaryDir dir;
    const QString path = dir.filePath("日程.ics");
    const QDate today(2026, 3, 15);
    const QDateTime stamp(QDate(2026, 3, 15), QTime(8, 30), Qt::UTC);
    const auto written = WriteCalendarFile(path, Book(), ReminderSwitches{}, today, stamp);
    ASSERT_TRUE(written) << written.Reason();
    EXPECT_EQ(written->counts.schedule, 2);
    EXPECT_EQ(written->counts.birthdays, 2);
    EXPECT_EQ(written->counts.premiums, 1);
    EXPECT_EQ(written->bytes, QFileInfo(path).size());
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0); // a new file is private
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);         // no temporary file left

    const Parsed p = Parse(path);
    ASSERT_TRUE(p.cal);
    EXPECT_EQ(icalcomponent_isa(p.cal.get()), ICAL_VCALENDAR_COMPONENT);
    EXPECT_EQ(icalcomponent_count_errors(p.cal.get()), 0);
    EXPECT_TRUE(p.raw.contains("\r\nVERSION:2.0\r\n"));
    EXPECT_EQ(icalcomponent_get_method(p.cal.get()), ICAL_METHOD_PUBLISH);
    EXPECT_TRUE(p.raw.startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_TRUE(p.raw.endsWith("END:VCALENDAR\r\n"));
    EXPECT_TRUE(p.raw.contains("\r\nPRODID:"));
    EXPECT_TRUE(p.raw.contains("\r\nCALSCALE:GREGORIAN\r\n"));
    EXPECT_TRUE(p.raw.contains(QStringLiteral("\r\nX-WR-CALNAME:Vantorel 日程\r\n").toUtf8()));
    // Folded at 75 octets, never inside a character.
    for (const QByteArray& line : p.raw.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.constData();
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)QString(utf8(line));
        EXPECT_FALSE(utf8.hasError()) << line.toHex().constData();
    }
    ASSERT_EQ(p.events.size(), 5u);
    for (const auto& [uid, e] : p.events) {
        const icaltimetype start = icalcomponent_get_dtstart(e), end = icalcomponent_get_dtend(e);
        EXPECT_TRUE(start.is_date) << uid;
        EXPECT_EQ(DateOf(end), DateOf(start).addDays(1)) << uid;
        const icaltimetype dtstamp = icalcomponent_get_dtstamp(e);
        EXPECT_TRUE(icaltime_is_utc(dtstamp)) << uid;
        EXPECT_EQ(QDateTime(DateOf(dtstamp), QTime(dtstamp.hour, dtstamp.minute), Qt::UTC), stamp);
    }
    EXPECT_TRUE(p.raw.contains("DTSTART;VALUE=DATE:20260320\r\n"));
    EXPECT_TRUE(p.raw.contains("DTEND;VALUE=DATE:20260321\r\n"));

    // The schedule entry: its text exactly, with , ; \ and the line break escaped in the file.
    icalcomponent* entry = nullptr;
    for (const auto& [uid, e] : p.events)
        if (uid.rfind("schedule-20260320-", 0) == 0) entry = e;
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(QString::fromUtf8(icalcomponent_get_summary(entry)), kTricky);
    EXPECT_EQ(icalcomponent_get_first_property(entry, ICAL_RRULE_PROPERTY), nullptr);
    EXPECT_EQ(icalcomponent_get_first_component(entry, ICAL_VALARM_COMPONENT), nullptr);
    EXPECT_TRUE(p.raw.contains(QStringLiteral("见王总\\, 带合同\\; 路径 C:\\\\客户\\\\王\\n第二行").toUtf8()));

    // 29 February: February's last day every year, the 28th outside leap years.
    icalcomponent* leap = nullptr;
    for (const auto& [uid, e] : p.events)
        if (uid.find("-birthday-19880229@vantorel") != std::string::npos) leap = e;
    ASSERT_NE(leap, nullptr);
    EXPECT_EQ(QString::fromUtf8(icalcomponent_get_summary(leap)), QStringLiteral("张三生日（投保人）"));
    EXPECT_EQ(QString::fromUtf8(icalcomponent_get_description(leap)), QStringLiteral("保险单号：P1"));
    EXPECT_TRUE(p.raw.contains("RRULE:FREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2\r\n"));
    const icalrecurrencetype rule = icalproperty_get_rrule(icalcomponent_get_first_property(leap, ICAL_RRULE_PROPERTY));
    icalrecur_iterator* it = icalrecur_iterator_new(rule, icalcomponent_get_dtstart(leap));
    ASSERT_NE(it, nullptr);
    std::vector<QDate> days;
    for (int i = 0; i < 5; ++i) days.push_back(DateOf(icalrecur_iterator_next(it)));
    icalrecur_iterator_free(it);
    EXPECT_EQ(days, (std::vector<QDate>{{1988, 2, 29}, {1989, 2, 28}, {1990, 2, 28}, {1991, 2, 28}, {1992, 2, 29}}));

    // Another birthday: yearly on its day.
    icalcomponent* member = nullptr;
    for (const auto& [uid, e] : p.events)
        if (uid.find("-birthday-19900715@vantorel") != std::string::npos) member = e;
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(QString::fromUtf8(icalcomponent_get_summary(member)), QStringLiteral("赵六生日（团队成员）"));
    const icalrecurrencetype yearly =
        icalproperty_get_rrule(icalcomponent_get_first_property(member, ICAL_RRULE_PROPERTY));
    EXPECT_EQ(yearly.freq, ICAL_YEARLY_RECURRENCE);
    EXPECT_EQ(yearly.by_month[0], ICAL_RECURRENCE_ARRAY_MAX);

    // The renewal premium, with its alarm 3 days before.
    const std::string dueUid = Uid("policy-P1-due-", QDate(2026, 6, 1), "@vantorel");
    ASSERT_TRUE(p.events.count(dueUid));
    icalcomponent* due = p.events.at(dueUid);
    EXPECT_EQ(QString::fromUtf8(icalcomponent_get_summary(due)), QStringLiteral("续期缴费：P1 张三 1200.00元"));
    EXPECT_EQ(DateOf(icalcomponent_get_dtstart(due)), QDate(2026, 6, 1));
    icalcomponent* alarm = icalcomponent_get_first_component(due, ICAL_VALARM_COMPONENT);
    ASSERT_NE(alarm, nullptr);
    EXPECT_EQ(icalproperty_get_action(icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY)),
              ICAL_ACTION_DISPLAY);
    const icaltriggertype trigger =
        icalproperty_get_trigger(icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY));
    EXPECT_EQ(icaldurationtype_as_int(trigger.duration), -3 * 86400);
    EXPECT_TRUE(p.raw.contains("TRIGGER:-P3D\r\n"));
    EXPECT_NE(icalcomponent_get_first_property(alarm, ICAL_DESCRIPTION_PROPERTY), nullptr);
}

TEST(CalendarFile, UidsStayAcrossExportsAndTheOldFileStaysWholeOnFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ics");
    vantorel::DataBook book = Book();
    const QDate today(2026, 3, 15);
    ASSERT_TRUE(WriteCalendarFile(path, book, ReminderSwitches{}, today));
    const Parsed first = Parse(path);
    // Later, with one more record: the events already there keep their UIDs.
    book.calendar.Add({20260322, ToGbk(QStringLiteral("新的"))});
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(WriteCalendarFile(path, book, ReminderSwitches{}, today.addDays(1),
                                  QDateTime::currentDateTimeUtc().addSecs(3600)));
    const Parsed second = Parse(path);
    EXPECT_TRUE(QFileInfo(path).permissions() & QFile::ReadGroup); // a replaced file keeps its mode
    std::set<std::string> a, b;
    for (const auto& [uid, e] : first.events) a.insert(uid);
    for (const auto& [uid, e] : second.events) b.insert(uid);
    EXPECT_EQ(b.size(), a.size() + 1);
    EXPECT_TRUE(std::includes(b.begin(), b.end(), a.begin(), a.end()));

    // Stopped half-way, or into a folder that is not there: no file, the old one whole.
    const QByteArray before = ReadAll(path);
    for (int i = 0; i < 5000; ++i) book.calendar.Add({20260101.0 + i % 28, ToGbk(QString::number(i))});
    const auto stopped = WriteCalendarFile(path, book, ReminderSwitches{}, today, QDateTime::currentDateTimeUtc(),
                                           [](int) { return true; });
    ASSERT_FALSE(stopped);
    EXPECT_NE(stopped.Reason().find(path.toStdString()), std::string::npos);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    const QString nowhere = dir.filePath("none/b.ics");
    const auto failed = WriteCalendarFile(nowhere, book, ReminderSwitches{}, today);
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.Reason().find(nowhere.toStdString()), std::string::npos);
}
