#include "window_template.h"

namespace tmpl::presets {

namespace {
char g_numbers[99][3];

std::vector<const char*> Numbered(int last) {
    std::vector<const char*> out;
    for (int i = 1; i <= last; ++i) {
        char* s = g_numbers[i - 1];
        s[0] = char('0' + i / 10);
        s[1] = char('0' + i % 10);
        s[2] = '\0';
        out.push_back(s);
    }
    return out;
}
} // namespace

const std::vector<const char*> twoDigits = Numbered(99);
const std::vector<const char*> months(twoDigits.begin(), twoDigits.begin() + 12);
const std::vector<const char*> days(twoDigits.begin(), twoDigits.begin() + 31);
const std::vector<const char*> sexes = {"男", "女"};
const std::vector<const char*> marital = {"已婚", "未婚", "离异", "丧偶", "分居"};
const std::vector<const char*> nations = {"汉", "回", "满", "藏", "维吾尔", "其他民族"};
const std::vector<const char*> educations = {"无", "小学", "初中", "高中/中专", "大专", "本科", "硕士", "博士"};
const std::vector<const char*> relations = {"本人", "配偶", "儿子", "女儿", "父亲", "母亲", "其它"};
const std::vector<const char*> insurers = {"Calvenor人寿", "Dernholt",    "Feyland保险", "Garrow保险", "Orlemont保险",
                                           "Hestwyn人寿",  "Ibrance人寿", "Jorvale",     "Kelbury人寿"};
const std::vector<const char*> paymentMethods = {"年缴", "趸缴", "半年缴", "月缴", "季缴"};
const std::vector<const char*> benefitMethods = {"一次性领取", "每月领取",   "每年领取",           "每三年领取",
                                                 "每五年领取", "领费至终身", "身故颂取或疾病领取", "其它领取"};
const std::vector<const char*> benefitAges = {
    "18", "30", "45", "50", "55", "60", "65", "70", "从生效之日起每三年", "从生效之日起每五年", "终身后", "意外后"};
const std::vector<const char*> incomeBands = {"1万以下",    "1万～2万元", "2万～4万元", "4万～6万元",
                                              "6万～9万元", "10万元以上", "50万元以上"};

} // namespace tmpl::presets
