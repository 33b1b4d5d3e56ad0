#include "agent/gbk.h"
#include "agent/pinyin.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The same readings whether the index opens ICU itself or takes what
// Prepare() opened in the background, as the query page has it.
TEST(Pinyin, FullPinyinAndInitialsOfNames) {
    for (const bool prepared : {false, true}) {
        SCOPED_TRACE(prepared ? "prepared" : "opened by the index");
        if (prepared) PinyinIndex::Prepare();
        PinyinIndex index;
        struct Case {
            const char* name;
            const char* full;
            const char* initials;
        } cases[] = {
            {"张三", "zhangsan", "zs"},
            {"欧阳娜娜", "ouyangnana", "oynn"},
            {"Wang Lei", "wanglei", "wl"},
            {"José Ｌｉ", "joseli", "jl"},
            {"买买提·艾力", "maimaitiaili", "mmtal"},
            {"王A1", "wanga", "wa"},
            // Surnames read as surnames where ICU knows them.
            {"单田芳", "shantianfang", "stf"},
            {"曾国藩", "zengguofan", "zgf"},
            {"解缙", "xiejin", "xj"},
            {"区小明", "ouxiaoming", "oxm"},
            {"查良镛", "zhaliangyong", "zly"},
            {"长孙无忌", "zhangsunwuji", "zswj"},
            {"万俟卨", "moqixie", "mqx"},
            {"", "", ""},
        };
        for (const Case& c : cases) {
            const PinyinIndex::Entry& e = index.Of(ToGbk(QString::fromUtf8(c.name)));
            EXPECT_EQ(e.full, c.full) << c.name;
            EXPECT_EQ(e.initials, c.initials) << c.name;
        }
        // ü: both spellings agents type.
        const PinyinIndex::Entry& lv = index.Of(ToGbk(QStringLiteral("吕女士")));
        EXPECT_EQ(lv.full, "lunushi");
        EXPECT_EQ(lv.fullV, "lvnvshi");
        EXPECT_EQ(index.Of(ToGbk(QStringLiteral("David"))).fullV, "") << "a Latin v is not a ü";
    }
}

TEST(Pinyin, LatinSearchTextMatchesFullPinyinOrInitials) {
    PinyinIndex index;
    const std::string zhang = ToGbk(QStringLiteral("张三")), wang = ToGbk(QStringLiteral("Wang Lei")),
                      lv = ToGbk(QStringLiteral("吕磊"));
    struct Case {
        QString text;
        const std::string& name;
        bool match;
    } cases[] = {
        {"zs", zhang, true},  {"zhangs", zhang, true}, {"ZhangSan", zhang, true}, {"zhang san", zhang, true},
        {"s", zhang, true},   {"ansa", zhang, false},  {"zss", zhang, false},     {"sz", zhang, false},
        {"wang", wang, true}, {"WL", wang, true},      {"lei", wang, true},       {"wanglei", wang, true},
        {"lv", lv, true},     {"lulei", lv, true},     {"ll", lv, true},          {"lvv", lv, false},
        {"", zhang, false},   {"张", zhang, false},    {"z3", zhang, false},      {"zh-s", zhang, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(index.Matches(c.name, PinyinIndex::LatinQuery(c.text)), c.match) << c.text.toStdString();
    EXPECT_EQ(PinyinIndex::LatinQuery(QStringLiteral(" Zhang San ")), "zhangsan");
    EXPECT_EQ(PinyinIndex::LatinQuery(QStringLiteral("zhang1")), "");
    EXPECT_EQ(PinyinIndex::LatinQuery(QStringLiteral("ｚｓ")), "") << "full-width letters are not Latin letters";
    EXPECT_EQ(index.CachedNames(), 3u) << "each name transliterated once";
}

// The pinyin built from each character's cached reading is what ICU gives
// for the whole name, polyphonic characters and surname readings included.
TEST(Pinyin, CharacterReadingsAgreeWithTheWholeNameThroughIcu) {
    const QString pool = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗单曾解区仇朴查盖乐尉迟长孙万俟覃召繁"
                                        "缪翟种秘黑吕女绿欧阳令狐澹台重行朝藏都和员车薄任华费燕过纪隗那郇阚沈沉"
                                        "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚建国志小红玉海文斌");
    std::mt19937 rng(7);
    PinyinIndex index;
    for (int round = 0; round < 3000; ++round) {
        QString name;
        const int length = 1 + int(rng() % 4);
        for (int i = 0; i < length; ++i) name += pool[int(rng() % pool.size())];
        const PinyinIndex::Entry built = index.Of(ToGbk(name));
        const PinyinIndex::Entry whole = index.Transliterated(name);
        ASSERT_EQ(built.full, whole.full) << name.toStdString();
        ASSERT_EQ(built.initials, whole.initials) << name.toStdString();
        ASSERT_EQ(built.fullV, whole.fullV) << name.toStdString();
    }
}

} // namespace
