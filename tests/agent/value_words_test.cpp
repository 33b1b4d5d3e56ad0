#include "agent/value_words.h"

#include <gtest/gtest.h>

using namespace rules;

TEST(ValueWords, SexAndMaritalWordsAndBlank) {
    for (const char* male : {"男", " 男性 ", "M", "m", "Male", "先生"})
        EXPECT_EQ(SexFromWord(QString::fromUtf8(male)), 0) << male;
    for (const char* female : {"女", "女性", "F", "FEMALE", "女士"})
        EXPECT_EQ(SexFromWord(QString::fromUtf8(female)), 1) << female;
    EXPECT_EQ(SexFromWord(" "), -1) << "blank is nothing chosen";
    EXPECT_FALSE(SexFromWord("1")) << "a number says nothing about which";
    EXPECT_FALSE(SexFromWord(QStringLiteral("男女")));
    EXPECT_EQ(MaritalFromWord(QStringLiteral("已婚")), 0);
    EXPECT_EQ(MaritalFromWord(QStringLiteral("单身")), 1);
    EXPECT_EQ(MaritalFromWord(QStringLiteral("离婚")), 2);
    EXPECT_EQ(MaritalFromWord(QStringLiteral("丧偶")), 3);
    EXPECT_EQ(MaritalFromWord(QStringLiteral("Separated")), 4);
    EXPECT_EQ(MaritalFromWord(""), -1);
    EXPECT_FALSE(MaritalFromWord(QStringLiteral("是")));
    int index = 7;
    const Refusal r = ReadSex(QStringLiteral("性别"), QStringLiteral("X"), index);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->contains(QStringLiteral("性别")) && r->contains(u'X')) << r->toStdString();
    EXPECT_EQ(index, 7) << "nothing read from a refused word";
}

TEST(ValueWords, DatesInTheirCommonFormsBecomeComposedDates) {
    for (const char* written : {"2004-05-29", "2004/5/29", "2004.5.29", "2004年5月29日", "2004年05月29", "20040529",
                                " 2004-05-29 ", "2004-05-29 10:30:00", "2004/5-29"})
        EXPECT_EQ(ComposedFromText(QString::fromUtf8(written)), QStringLiteral("2004/5-29")) << written;
    // What the forms store for dates that are no day stays as it is.
    for (const char* kept : {"1977/0-0", "/5-29", "2004/05-09", "二〇〇四/5-29"})
        EXPECT_EQ(ComposedFromText(QString::fromUtf8(kept)), QString::fromUtf8(kept)) << kept;
    EXPECT_EQ(ComposedFromText("  "), QString());
    for (const char* bad : {"2003-02-29", "2004-13-01", "明天", "29/5/2004", "2004-5/29", "200405290", "12800"})
        EXPECT_FALSE(ComposedFromText(QString::fromUtf8(bad))) << bad;
    QString composed = QStringLiteral("kept");
    const Refusal r = ReadDate(QStringLiteral("生效日期"), QStringLiteral("明天"), composed);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->contains(QStringLiteral("生效日期")));
    EXPECT_EQ(composed, "kept");
}
