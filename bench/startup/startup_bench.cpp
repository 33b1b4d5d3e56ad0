// Measures how long the main window takes to come up over a large book
// compared with an empty folder, and the peak memory of each start.
//
//   vantorel_startup_bench [--book DIR] [--runs N]
//
// Without --book it writes a book of 100 000 policies, 50 000 potential
// clients, 2 000 members and 100 000 schedule entries into a temporary folder
// (storage_bench --write-book DIR writes one to keep).
//
// Each start runs in a fresh child process (--one DIR) so that caches, fonts
// and memory peaks of one start do not carry over into the next.
#include "app/agent_app.h"
#include "app/gbk.h"
#include "app/main_dlg.h"
#include "app/message_box.h"
#include "app/page.h"
#include "pages/page_registry.h"
#include "records/data_files.h"

#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// One start: application, main window with every page, loaded and painted.
int One(int argc, char** argv, const char* dir, Clock::time_point begin) {
    QTemporaryDir config;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    CAgentApp app(argc, argv);
    int boxes = 0;
    msg::SetResponder([&boxes](msg::Kind, const QString&, msg::Default) {
        ++boxes;
        return false;
    });
    {
        // Each page's creation timed on its own, to see where a large book costs.
        std::string pageTimes;
        PageFactories pages = AllPageFactories();
        for (PageFactory& f : pages) {
            f.make = [inner = f.make, id = f.templateId, &pageTimes](PageHost* host, QWidget* parent) {
                const auto t = Clock::now();
                CPage* page = inner(host, parent);
                pageTimes += " " + std::to_string(id) + ":" +
                             std::to_string(int(std::chrono::duration<double, std::milli>(Clock::now() - t).count()));
                return page;
            };
        }
        auto* dlg = new CMainDlg(dir, std::move(pages));
        dlg->Initialise();
        dlg->show();
        dlg->ShowStartMessages();
        dlg->grab(); // the first full paint
        QApplication::processEvents();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        std::printf("%.1f %ld %d\npages (template:ms)%s\n", ms, PeakKb(), boxes, pageTimes.c_str());
        std::fflush(stdout);
    }
    // Leave without the shutdown sequence: the measured folder is not rewritten.
    std::_Exit(0);
}

// Loading the data files alone, for the share of the start-up it takes.
int LoadOnly(const char* dir) {
    vantorel::DataBook book;
    const auto begin = Clock::now();
    vantorel::LoadAll(book, dir);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    std::printf("%.1f %ld 0\n", ms, PeakKb());
    return 0;
}

void MakeBook(const std::string& dir, int policies, int clients, int members, int schedule) {
    vantorel::DataBook book;
    std::mt19937 rng(20040529);
    auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    const QStringList family = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    const QStringList given = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋"};
    auto name = [&] { return ToGbk(family[pick(10)] + given[pick(10)] + given[pick(10)]); };
    auto date = [&] {
        return std::to_string(1940 + pick(70)) + "/" + std::to_string(1 + pick(12)) + "-" + std::to_string(1 + pick(28));
    };
    for (int i = 0; i < policies; ++i) {
        vantorel::PolicyRecord p;
        p.info.policyNo = "P" + std::to_string(1000000 + i);
        p.info.company = ToGbk(QStringLiteral("中国人寿"));
        p.info.productName = ToGbk(QStringLiteral("终身寿险"));
        p.info.sumInsured = 100000 + pick(900000);
        p.info.annualPremium = 1000 + pick(20000);
        p.info.effectiveDate = date();
        p.holder.name = name();
        p.holder.birthDate = date();
        p.holder.homeAddress = ToGbk(QStringLiteral("北京市海淀区中关村大街%1号").arg(pick(500)));
        p.insured.name = name();
        p.insured.birthDate = date();
        for (int b = 0; b < 2; ++b) {
            vantorel::BeneficiaryRecord r;
            r.name = name();
            r.share = 50;
            p.beneficiaries.push_back(r);
        }
        book.insurance.Add(std::move(p));
    }
    for (int i = 0; i < clients; ++i) {
        vantorel::PotClientRecord c;
        c.person.name = name();
        c.person.idNumber = std::to_string(110101196000000000LL + i);
        c.person.birthDate = date();
        c.hobby = ToGbk(QStringLiteral("钓鱼"));
        book.clients.Add(std::move(c));
    }
    for (int i = 0; i < members; ++i) {
        vantorel::MemberRecord m;
        m.staffNo = std::to_string(10000 + i);
        m.person.name = name();
        m.person.birthDate = date();
        m.level = ToGbk(QStringLiteral("主任"));
        book.members.Add(std::move(m));
    }
    for (int i = 0; i < schedule; ++i)
        book.calendar.Add({19900101.0 + pick(30) * 10000 + (1 + pick(12)) * 100 + 1 + pick(28),
                           ToGbk(QStringLiteral("拜访客户，商谈续保事宜"))});
    for (const auto& r : vantorel::SaveAll(book, dir))
        if (!r.saved) std::fprintf(stderr, "could not write %s: %s\n", r.file.c_str(), r.reason.c_str());
}

struct Result {
    double ms;
    long peakKb;
    std::string detail; // the child's second line, from its last run
};

// Median time of `runs` starts over `dir`, and the largest peak.
Result Measure(const std::string& self, const std::string& dir, int runs, const char* mode = "--one") {
    std::vector<double> times;
    long peak = 0;
    std::string last;
    for (int i = 0; i < runs; ++i) {
        const std::string cmd = "'" + self + "' " + mode + " '" + dir + "'";
        FILE* child = ::popen(cmd.c_str(), "r");
        double ms = 0;
        long kb = 0;
        int boxes = 0;
        if (!child || std::fscanf(child, "%lf %ld %d", &ms, &kb, &boxes) != 3) {
            std::fprintf(stderr, "a start over %s failed\n", dir.c_str());
            std::exit(1);
        }
        char line[1024] = {};
        std::string detail;
        while (std::fgets(line, sizeof line, child))
            if (line[0] != '\n') detail = line;
        ::pclose(child);
        last = detail;
        times.push_back(ms);
        peak = std::max(peak, kb);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], peak, last};
}

} // namespace

int main(int argc, char** argv) {
    const auto begin = Clock::now();
    std::string book;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--one" && i + 1 < argc) return One(argc, argv, argv[i + 1], begin);
        if (a == "--load" && i + 1 < argc) return LoadOnly(argv[i + 1]);
        if (a == "--book" && i + 1 < argc) book = argv[++i];
        else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: %s [--book DIR] [--runs N]\n", argv[0]);
            return 2;
        }
    }
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;

    QTemporaryDir empty, generated;
    if (book.empty()) {
        book = generated.path().toStdString();
        std::printf("writing the benchmark book (100000 policies, 50000 clients, 2000 members, 100000 entries)...\n");
        std::fflush(stdout);
        MakeBook(book, 100000, 50000, 2000, 100000);
    }
    const Result e = Measure(self, empty.path().toStdString(), runs);
    const Result b = Measure(self, book, runs);
    const Result l = Measure(self, book, runs, "--load");
    std::printf("empty folder:  start %8.1f ms   peak memory %7.1f MB\n", e.ms, e.peakKb / 1024.0);
    std::printf("large book:    start %8.1f ms   peak memory %7.1f MB\n", b.ms, b.peakKb / 1024.0);
    std::printf("  %s", b.detail.c_str());
    std::printf("  of which loading the four files: %.1f ms, peak %.1f MB\n", l.ms, l.peakKb / 1024.0);
    std::printf("ratio large/empty: %.2f (goal: at most 2)\n", b.ms / e.ms);
    return 0;
}
