#include "agent/composed_date.h"
#include "agent/gbk.h"
#include "agent/numbers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace numbers;

namespace {
QDate D(int y, int m, int d) { return QDate(y, m, d); }
} // namespace

TEST(ComposedDate, ComposesAndSplitsAsTheFormDoes) {
    EXPECT_EQ(ComposedDate::FromParts({"2004", 0, 1}).Text(), "2004/1-2");
    EXPECT_EQ(ComposedDate::FromParts({"1977", -1, -1}).Text(), "1977/0-0");
    EXPECT_EQ(ComposedDate::FromParts({"", 4, 28}).Text(), "/5-29");
    EXPECT_EQ(ComposedDate::FromParts({"19%1", 4, 28}).Text(), "19%1/5-29"); // the year is text, whatever it holds
    const struct {
        const char* text;
        const char* year;
        int month, day;
    } cases[] = {{"2004/1-2", "2004", 0, 1},
                 {"2004/0-0", "2004", -1, -1},
                 {"1-2", "", 0, 1}, // no slash: empty year, the rest is month and day
                 {"/5-29", "", 4, 28},
                 {"2004/529", "2004", -1, -1}}; // no dash: neither list chosen
    for (const auto& c : cases) {
        const auto p = ComposedDate(c.text).Split();
        EXPECT_EQ(p.year, c.year) << c.text;
        EXPECT_EQ(p.monthIndex, c.month) << c.text;
        EXPECT_EQ(p.dayIndex, c.day) << c.text;
    }
}

TEST(Numbers, AreReadLikeTheCRuntimeWithAPoint) {
    EXPECT_DOUBLE_EQ(TextToDouble("12.5万"), 12.5);
    EXPECT_DOUBLE_EQ(TextToDouble("50%"), 50);
    EXPECT_DOUBLE_EQ(TextToDouble("abc"), 0);
    EXPECT_DOUBLE_EQ(TextToDouble(" 3.5e2"), 350);
    EXPECT_DOUBLE_EQ(TextToDouble("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(TextToDouble("7e"), 7);
    // Too large for a double: infinite, as the C conversion gives, so that the forms can refuse it.
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(TextToDouble("1e999"), inf);
    EXPECT_EQ(TextToDouble(" -1e999元"), -inf);
    EXPECT_EQ(TextToDouble(QString(400, u'9')), inf);
    EXPECT_EQ(TextToDouble("1e-999"), 0); // too small is 0
    EXPECT_EQ(TextToInt(" -12abc"), -12);
    EXPECT_EQ(TextToInt("x1"), 0);
    EXPECT_EQ(TextToInt("99999999999"), 2147483647);
    EXPECT_EQ(FormatFixed(12.5), "12.500000");
    EXPECT_EQ(FormatRounded(170.6), "171");
}

// The reading of a real date, from record bytes and from text alike, and the
// day the premium walk reads without building the date.
TEST(ComposedDate, RealDates) {
    struct Case {
        const char* text;
        QDate date;
    } cases[] = {
        {"2004/5-29", D(2004, 5, 29)},
        {"2004/2-29", D(2004, 2, 29)},
        {"1/1-1", D(1, 1, 1)},
        {"2004/05-09", D(2004, 5, 9)},
        {"2003/2-29", {}},
        {"2004/0-0", {}},
        {"2004/13-1", {}},
        {"/5-29", {}},
        {"1-2", {}},
        {"2004/5-29 ", {}},
        {" 2004/5-29", {}},
        {"0/1-1", {}},
        {"二〇〇四/5-29", {}},
        {"2004/-5-29", {}},
        {"20040/5-29", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComposedDate::RealDate(ToGbk(c.text)), c.date) << c.text;
        EXPECT_EQ(ComposedDate(QString::fromUtf8(c.text)).ToDate(), c.date) << c.text;
        EXPECT_EQ(ComposedDate::FromStored(ToGbk(c.text)).IsReal(), c.date.isValid()) << c.text;
        if (c.date.isValid()) {
            EXPECT_EQ(ComposedDate::Day(ToGbk(c.text)), c.date.day()) << c.text;
        }
    }
    EXPECT_EQ(ComposedDate::Day("2004/0-0"), 0);
    EXPECT_EQ(ComposedDate::Day("2004/5-x"), -1);
    EXPECT_EQ(ComposedDate::FromDate(D(2004, 5, 9)).Text(), "2004/5-9");
    EXPECT_EQ(ComposedDate::FromDate(D(2004, 5, 9)).ToDate(), D(2004, 5, 9));
}
