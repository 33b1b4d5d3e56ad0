// Times the three things agents asked for over a book of 100 000 policies:
// finding a policyholder by the pinyin of the name (the query page's search:
// the first one, which reads every name, and the ones after it), the
// premium-due list of the coming month, and the book as a spreadsheet.
//
//   vantorel_features_bench [--policies N] [--runs R] [--only pinyin|due|xlsx] [--prepared yes]
//
// With --prepared yes, ICU is opened in the background while the book is made,
// as the query page opens it when the first Latin letter is typed.
//
// Names come from two pools: common surnames and given-name characters (a
// realistic book), and every character of GB2312's first level (3 755, the
// most distinct characters a book of Chinese names could need).
#include "agent/gbk.h"
#include "agent/pinyin.h"
#include "agent/policy_search.h"
#include "agent/premium_due.h"
#include "exchange/record_sheet.h"
#include "exchange/xlsx_writer.h"
#include "records/policy_record.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

struct Stats {
    double median, min, max;
};

Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

void Print(const char* what, const std::vector<double>& times) {
    const Stats s = Summarise(times);
    std::printf("  %-44s median %8.1f ms  min %8.1f  max %8.1f  (%zu runs)\n", what, s.median, s.min, s.max,
                times.size());
}

// Every character of GB2312's first level, as GBK bytes.
std::vector<std::string> LevelOne() {
    std::vector<std::string> chars;
    for (int hi = 0xB0; hi <= 0xD7; ++hi)
        for (int lo = 0xA1; lo <= 0xFE; ++lo) {
            if (hi == 0xD7 && lo > 0xF9) break;
            chars.push_back(std::string{char(hi), char(lo)});
        }
    return chars;
}

std::vector<std::string> Pool(const char* utf8) {
    std::vector<std::string> out;
    for (const QChar c : QString::fromUtf8(utf8)) out.push_back(ToGbk(QString(c)));
    return out;
}

vantorel::CInsurance MakeBook(int n, const std::vector<std::string>& surnames, const std::vector<std::string>& given) {
    std::mt19937 rng(20040529);
    auto pick = [&rng](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
    auto name = [&] { return pick(surnames) + pick(given) + (rng() % 3 ? pick(given) : std::string()); };
    const char* payment[] = {"年缴", "半年缴", "季缴", "月缴", "趸缴"};
    vantorel::CInsurance book;
    for (int i = 0; i < n; ++i) {
        vantorel::PolicyRecord p;
        p.info.policyNo = "P" + std::to_string(20040000 + i);
        p.info.company = ToGbk(QStringLiteral("Orlemont保险"));
        p.info.productName = ToGbk(QStringLiteral("鸿福终身寿险"));
        p.info.paymentMethod = ToGbk(QString::fromUtf8(payment[rng() % 5]));
        p.info.paymentYears = std::to_string(5 + rng() % 26);
        p.info.sumInsured = 1 + rng() % 100;
        p.info.annualPremium = 500 + rng() % 20000 + 0.5;
        p.info.effectiveDate = std::to_string(1995 + rng() % 30) + "/" + std::to_string(1 + rng() % 12) + "-" +
                               std::to_string(1 + rng() % 31); // some not real dates: 2004/2-31
        p.info.liabilityStartDate = p.info.effectiveDate;
        p.holder.name = name();
        p.holder.sex = std::int16_t(rng() % 2);
        p.holder.birthDate = std::to_string(1940 + rng() % 60) + "/" + std::to_string(1 + rng() % 12) + "-" +
                             std::to_string(1 + rng() % 28);
        p.holder.mobile = "13" + std::to_string(100000000 + rng() % 899999999);
        p.holder.homeAddress = ToGbk(QStringLiteral("北京市海淀区中关村大街%1号").arg(rng() % 500));
        p.insured.name = name();
        p.insured.birthDate = p.holder.birthDate;
        p.insured.height = 150 + rng() % 40;
        for (int b = 0; b < 2; ++b) {
            vantorel::BeneficiaryRecord r;
            r.name = name();
            r.share = 50;
            p.beneficiaries.push_back(r);
        }
        book.Add(std::move(p));
    }
    return book;
}

// The query page's search by "投保人姓名", rows made as the page lists them.
std::size_t Search(PinyinIndex& index, const vantorel::CInsurance& book, const char* text) {
    return policy_search::Search(book, policy_search::kHolder, QString::fromUtf8(text), &index).records.size();
}

void PinyinTimes(const char* label, const vantorel::CInsurance& book, int runs) {
    std::printf("search by 投保人姓名 over %d policies, %s:\n", book.GetSize(), label);
    std::vector<double> create, cold, warm, chinese;
    std::size_t found = 0;
    static bool firstOfProcess = true;
    for (int r = 0; r < runs; ++r) {
        auto t = Clock::now();
        PinyinIndex index;
        create.push_back(Ms(t));
        const double made = create.back();
        t = Clock::now();
        found = Search(index, book, "zhang");
        cold.push_back(Ms(t));
        // ICU reads its data once per process: only the process's first
        // search shows what the user waits for the first time.
        if (firstOfProcess)
            std::printf("  the process's first search (making the index %.1f ms, the search %.1f ms): %.1f ms\n", made,
                        cold.back(), made + cold.back());
        firstOfProcess = false;
        for (const char* q : {"zs", "wang", "lix", "zhangwei"}) {
            t = Clock::now();
            Search(index, book, q);
            warm.push_back(Ms(t));
        }
        t = Clock::now();
        Search(index, book, "张");
        chinese.push_back(Ms(t));
    }
    Print("making the index (ICU transliterators)", create);
    Print("first pinyin search, every name read", cold);
    Print("later pinyin searches", warm);
    Print("a search in Chinese (no pinyin)", chinese);
    std::printf("  (\"zhang\" found %zu policies)\n", found);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int policies = 100000, runs = 5;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--policies")) policies = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--only")) only = argv[i + 1]; // pinyin, due or xlsx
        // As the query page does at the first Latin letter typed: ICU opened in the background,
        // the first search made when a name has been typed (here: after the book is made).
        if (!std::strcmp(argv[i], "--prepared") && !std::strcmp(argv[i + 1], "yes")) PinyinIndex::Prepare();
    }
    auto wanted = [&only](const char* part) { return only.empty() || only == part; };
    const auto common =
        Pool("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏"
             "吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万"
             "钱严覃武戴莫孔向汤单解区查欧");
    const auto given = Pool("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂华建国志小红玉海燕文斌晓宇浩然子涵欣怡梓轩"
                            "思雨佳琪一诺俊杰雅婷嘉怡天佑博文昊天瑞鑫宏伟丹凤春梅秋菊冬雪德福永康长青");
    const auto levelOne = LevelOne();

    {
        const auto t = Clock::now();
        const vantorel::CInsurance book = MakeBook(policies, common, given);
        std::printf("book of %d policies made in %.0f ms\n", policies, Ms(t));
        if (wanted("pinyin")) PinyinTimes("common surnames and given names", book, runs);

        if (wanted("due")) {
            std::printf("premium-due list, today through today + 30 days:\n");
            std::vector<double> due, listed;
            std::size_t rows = 0;
            for (int r = 0; r < runs * 4; ++r) {
                auto s = Clock::now();
                const std::vector<premium::DueEntry> dates =
                    premium::DueBetween(book, QDate(2024, 2, 1), QDate(2024, 3, 2));
                due.push_back(Ms(s));
                // The rows as the reminder page shows them.
                std::vector<QStringList> shown;
                shown.reserve(dates.size());
                using vantorel::Field;
                using vantorel::PolicyRecord;
                static const Field<PolicyRecord> number([](auto& p) -> auto& { return p.info.policyNo; });
                static const Field<PolicyRecord> holder([](auto& p) -> auto& { return p.holder.name; });
                static const Field<PolicyRecord> mobile([](auto& p) -> auto& { return p.holder.mobile; });
                static const Field<PolicyRecord> premium([](auto& p) -> auto& { return p.info.annualPremium; });
                for (const premium::DueEntry& e : dates) {
                    const vantorel::CInsurance::View p = book.ViewAt(e.index);
                    const auto [no, name, phone] = p.Texts(number, holder, mobile);
                    shown.push_back({e.date.toString(QStringLiteral("yyyy-MM-dd")), FromGbk(no), FromGbk(name),
                                     FromGbk(phone), premium::Amount(p.Number(premium))});
                }
                listed.push_back(Ms(s));
                rows = shown.size();
            }
            Print("every due date of every policy, sorted", due);
            Print("the same with the list's rows made", listed);
            std::printf("  (%zu rows)\n", rows);
        }

        if (wanted("xlsx")) {
            std::printf("spreadsheet of the whole book:\n");
            {
                std::vector<double> build;
                const std::vector<vantorel::PolicyRecord> all = book.CopyAll();
                const SheetTable table = RecordSheet(all, QStringLiteral("保单"));
                std::vector<SheetCell> cells;
                const auto s = Clock::now();
                for (std::size_t r = 0; r < table.rows; ++r) {
                    cells.clear();
                    table.row(r, cells);
                }
                build.push_back(Ms(s));
                Print("the rows' cells alone (no file)", build);
                std::printf("  (%lld columns)\n", static_cast<long long>(table.header.size()));
            }
            QTemporaryDir dir;
            std::vector<double> xlsx;
            qint64 size = 0;
            for (int r = 0; r < std::max(1, runs / 2); ++r) {
                const QString path = dir.filePath(QStringLiteral("book.xlsx"));
                const auto s = Clock::now();
                const std::vector<vantorel::PolicyRecord> all = book.CopyAll();
                const vantorel::Result<int> w = WriteXlsx(path, RecordSheet(all, QStringLiteral("保单")));
                xlsx.push_back(Ms(s));
                if (!w) std::printf("  not written: %s\n", w.Reason().c_str());
                size = QFileInfo(path).size();
            }
            Print("RecordSheet + WriteXlsx", xlsx);
            std::printf("  (%.1f MB)\n", double(size) / 1e6);
        }
    }
    if (wanted("pinyin")) {
        const vantorel::CInsurance book = MakeBook(policies, levelOne, levelOne);
        PinyinTimes("every GB2312 level-1 character", book, runs);
    }
    return 0;
}
