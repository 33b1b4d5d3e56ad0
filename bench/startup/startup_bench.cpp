// The program's start, memory and close over a large book against an empty
// folder, and "显 示 所 有 保 单" over the book.
//
//   vantorel_startup_bench [--policies N | --million] [--pairs N] [--book DIR] [--changed] [--probe | --against BENCH]
//
// Without --book it writes the benchmark book (storage_bench --write-book DIR
// writes one to keep). The book is copied into a work folder first: closing
// the program saves it.
//
// Each run is a fresh process (--one DIR) that is the program itself: the
// application object and the main window run by CAgentApp::Run with every
// page, on the offscreen platform, its settings in a temporary folder. Its
// start is timed from before the process is spawned to the moment the main
// window has been painted and no event is waiting. Then the query page is
// selected, "显 示 所 有 保 单" pressed and timed until the list has painted its
// first rows. Then the window is closed as the user closes it, and the close
// is timed until the process has ended: the shutdown sequence (SaveAll, the
// settings), freeing the pages and the book, and the process's end. Book and
// empty runs alternate; ratios are given per pair as min / median / max.
// With --against another build's benchmark both builds take turns, each over
// the empty folder and the book, and each one's ratios are given. With
// --changed one policy is stored again before the close, so that the close
// writes data1.bcm (a file the book holds unchanged is not written again).
#include "bench_util.h"
#include "kept_store.h"
#include "sample_book.h"
#include "app/agent_app.h"
#include "app/main_dlg.h"
#include "app/message_box.h"
#include "app/page.h"
#include "pages/page_registry.h"
#include "records/data_files.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractTableModel>
#include <QEventLoop>
#include <QHeaderView>
#include <QStringDecoder>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <array>
#include <filesystem>
#include <numeric>
#include <string>
#include <thread>

namespace fs = std::filesystem;
using bench::NowMs;
using bench::Spread;

namespace {

// Notes when a widget has been painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* w) : widget_(w) { w->installEventFilter(this); }
    bool painted = false;

    // Runs events until the widget has painted and nothing is left waiting.
    void WaitUntilPaintedAndIdle() {
        QEventLoop loop;
        for (int guard = 0; guard < 10000; ++guard)
            if (!loop.processEvents() && painted) return;
        if (!painted) widget_->repaint(); // the platform never asked for a paint
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == widget_ && e->type() == QEvent::Paint) painted = true;
        return false;
    }

private:
    QWidget* widget_;
};

// One run of the program in `dir`. Prints "ready peakKb boxes queryMs showAllMs
// rows closeStart" (ready and closeStart on the shared clock), then the page
// creation times.
int One(int argc, char** argv, const char* dir, bool change) {
    if (::chdir(dir) != 0) return 1;
    CAgentApp app(argc, argv);
    int boxes = 0;
    msg::SetResponder([&boxes](msg::Kind, const QString&, msg::Default) {
        ++boxes;
        return false;
    });
    // Each page's creation timed on its own, to see where a large book costs.
    std::string pageTimes;
    PageFactories pages = AllPageFactories();
    for (PageFactory& f : pages) {
        f.make = [inner = f.make, id = f.templateId, &pageTimes](PageHost* host, QWidget* parent) {
            const double t = NowMs();
            CPage* page = inner(host, parent);
            char text[32];
            std::snprintf(text, sizeof text, " %d:%.0f", id, NowMs() - t);
            pageTimes += text;
            return page;
        };
    }
    QTimer::singleShot(0, [&] {
        QWidget* main = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("102")) main = w;
        if (!main) std::exit(1);
        PaintWatch mainPaint(main);
        mainPaint.WaitUntilPaintedAndIdle();
        const double ready = NowMs();
        const long peak = bench::PeakKb();

        auto* tree = main->findChild<QTreeWidget*>(QStringLiteral("1001"));
        auto* query = main->findChild<QWidget*>(QStringLiteral("137"));
        auto* list = query->findChild<QAbstractItemView*>(QStringLiteral("1136"));
        auto* showAll = query->findChild<QAbstractButton*>(QStringLiteral("1150"));
        const auto node = tree->findItems(QStringLiteral("查询保单资料"), Qt::MatchExactly | Qt::MatchRecursive);
        if (node.isEmpty() || !list || !showAll) std::exit(1);
        double t = NowMs();
        PaintWatch shown(list->viewport());
        tree->setCurrentItem(node.first());
        shown.WaitUntilPaintedAndIdle();
        const double queryMs = NowMs() - t;
        t = NowMs();
        PaintWatch rows(list->viewport());
        showAll->click();
        rows.WaitUntilPaintedAndIdle();
        const double showAllMs = NowMs() - t;

        std::printf("%.3f %ld %d %.3f %.3f %d %.3f\npages (template:ms)%s\n", ready, peak, boxes, queryMs, showAllMs,
                    list->model()->rowCount(), NowMs(), pageTimes.c_str());
        std::fflush(stdout);
        // One policy stored again, as after the user changed it: its file is written at the close.
        if (auto* dlg = qobject_cast<CMainDlg*>(main); change && dlg && dlg->Book().insurance.GetSize() > 0)
            dlg->Book().insurance.SetAt(0, dlg->Book().insurance.GetAt(0));
        // As the frame's close button closes it.
        main->close();
    });
    return app.Run(std::move(pages), fs::current_path());
}

// A list model that formats only the rows a view asks for: the policy number
// and the policyholder of each listed record, from the kept bytes.
class KeptPolicyModel : public QAbstractTableModel {
public:
    explicit KeptPolicyModel(const bench::KeptBytes<vantorel::PolicyRecord>& book) : book_(book) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) return {};
        const int record = rows_[std::size_t(index.row())];
        const std::string_view t =
            index.column() == 0
                ? book_.Text(record, [](vantorel::PolicyRecord& r) -> std::string& { return r.info.policyNo; })
                : book_.Text(record, [](vantorel::PolicyRecord& r) -> std::string& { return r.holder.name; });
        return QString(decoder_.decode(QByteArrayView(t.data(), qsizetype(t.size()))));
    }
    // "显 示 所 有 保 单": every record, in order.
    void ShowAll() {
        beginResetModel();
        rows_.resize(std::size_t(book_.Size()));
        std::iota(rows_.begin(), rows_.end(), 0);
        endResetModel();
    }

private:
    const bench::KeptBytes<vantorel::PolicyRecord>& book_;
    std::vector<int> rows_;
    mutable QStringDecoder decoder_{"GBK", QStringConverter::Flag::Stateless};
};

// Over the kept book: a list of every policy from empty to its first rows
// painted, in ms. The program's lists are tree views; a table view keeps no
// item of its own per row.
template <class View> double ShowAllKept(const bench::KeptBytes<vantorel::PolicyRecord>& book) {
    KeptPolicyModel model(book);
    View view;
    if constexpr (std::is_same_v<View, QTreeView>) {
        view.setUniformRowHeights(true);
        view.setRootIsDecorated(false);
    } else {
        view.verticalHeader()->hide();
    }
    view.setModel(&model);
    view.resize(420, 300);
    view.show();
    PaintWatch(view.viewport()).WaitUntilPaintedAndIdle();
    const double t = NowMs();
    PaintWatch rows(view.viewport());
    model.ShowAll();
    rows.WaitUntilPaintedAndIdle();
    return NowMs() - t;
}

// The probe's run: the program over `empty`, the book in `book` kept
// ("serial" before the start, "overlap" on a thread waited for by the pages,
// "late" on a thread waited for after the first paint, "mapped" before the
// start from files mapped instead of read, "none" not at all).
// Prints "ready peakKb policies treeMs tableMs" (the last two with the book
// kept before the start, else 0).
int Probe(int argc, char** argv, const std::string& mode, const char* empty, const char* book) {
    auto* kept = new bench::KeptBook; // left to the process's end, as the book would be
    std::thread loader;
    if (mode == "overlap" || mode == "late") loader = std::thread([kept, book] { kept->Load(book); });
    if ((mode == "serial" || mode == "mapped") && !kept->Load(book, mode == "mapped")) return 1;
    if (::chdir(empty) != 0) return 1;
    CAgentApp app(argc, argv);
    msg::SetResponder([](msg::Kind, const QString&, msg::Default) { return false; });
    PageFactories pages = AllPageFactories();
    for (PageFactory& f : pages) // the pages need the book: the first one waits for it
        f.make = [inner = f.make, &loader, mode](PageHost* host, QWidget* parent) {
            if (mode == "overlap" && loader.joinable()) loader.join();
            return inner(host, parent);
        };
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("102")) PaintWatch(w).WaitUntilPaintedAndIdle();
        if (loader.joinable()) loader.join();
        const double ready = NowMs();
        const long peak = bench::PeakKb();
        const bool lists = mode == "serial";
        const double tree = lists ? ShowAllKept<QTreeView>(kept->insurance) : 0;
        const double table = lists ? ShowAllKept<QTableView>(kept->insurance) : 0;
        std::printf("%.3f %ld %d %.3f %.3f\n", ready, peak, kept->insurance.Size(), tree, table);
        std::fflush(stdout);
        std::_Exit(0);
    });
    return app.Run(std::move(pages), fs::current_path());
}

void CopyBook(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const char* n : vantorel::kDataFileNames)
        fs::copy_file(from / n, to / n, fs::copy_options::overwrite_existing);
}

struct Sample {
    double start, peakKb, queryMs, showAllMs, rows, close;
    std::string pages;
};

// A change before the close (--changed): this build's children only.
bool g_change = false;

Sample Measure(const std::string& bin, const fs::path& dir) {
    const bool change = g_change && bin == bench::SelfPath();
    const bench::ChildRun r = bench::RunChild({bin, change ? "--one-changed" : "--one", dir.string()});
    if (r.numbers.size() != 7) {
        std::fprintf(stderr, "a start over %s printed no figures\n", dir.c_str());
        std::exit(1);
    }
    return {r.numbers[0] - r.startMs, r.numbers[1], r.numbers[3], r.numbers[4], r.numbers[5],
            r.exitMs - r.numbers[6],  r.rest};
}

void ClearFolder(const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir);
}

// Both builds over the same book and an empty folder, alternating: each
// build's own ratios (per pair), and this build's figures against the other's.
int RunAgainst(const std::string& self, const std::string& other, const fs::path& book, const fs::path& empty,
               int pairs) {
    Measure(other, book); // once untimed each
    Measure(self, book);
    // [build][0 empty, 1 book]
    std::vector<double> start[2][2], peak[2][2], close[2][2], showAll[2];
    int policies = 0;
    for (int i = 0; i < pairs; ++i) {
        for (int b = 0; b < 2; ++b) {
            const std::string& bin = b ? self : other;
            ClearFolder(empty); // the last close wrote four empty files
            const Sample e = Measure(bin, empty);
            const Sample k = Measure(bin, book);
            policies = int(k.rows);
            for (int w = 0; w < 2; ++w) {
                const Sample& s = w ? k : e;
                start[b][w].push_back(s.start);
                peak[b][w].push_back(s.peakKb / 1024);
                close[b][w].push_back(s.close);
            }
            showAll[b].push_back(k.showAllMs);
        }
        std::printf("  pair %d: start other %.0f / %.0f, this %.0f / %.0f ms (empty / book)\n", i + 1,
                    start[0][0].back(), start[0][1].back(), start[1][0].back(), start[1][1].back());
        std::fflush(stdout);
    }
    std::vector<double> perPolicy[2];
    for (int b = 0; b < 2; ++b)
        for (int i = 0; i < pairs; ++i)
            perPolicy[b].push_back((peak[b][1][i] - peak[b][0][i]) * 1024 * 1024 / policies);
    std::printf("\nthis build against %s, over the same book of %d policies and an empty folder\n", other.c_str(),
                policies);
    std::printf("%-38s %-24s %-24s %-20s %s\n", "", "other: min/median/max", "this: min/median/max", "this / other",
                "goal");
    auto row = [](const char* what, const std::vector<double>* v, const char* format, const char* goal = "") {
        std::printf("%-38s %-24s %-24s %-20s %s\n", what, Spread(v[0], format).c_str(), Spread(v[1], format).c_str(),
                    Spread(bench::Ratios(v[1], v[0])).c_str(), goal);
    };
    auto pick = [](std::vector<double>(*v)[2], int w) { return std::array<std::vector<double>, 2>{v[0][w], v[1][w]}; };
    auto ratio = [](std::vector<double>(*v)[2]) {
        return std::array<std::vector<double>, 2>{bench::Ratios(v[0][1], v[0][0]), bench::Ratios(v[1][1], v[1][0])};
    };
    row("start, empty folder (ms)", pick(start, 0).data(), "%.0f");
    row("start, book (ms)", pick(start, 1).data(), "%.0f");
    row("start book / empty (per pair)", ratio(start).data(), "%.2f", "<= 2");
    row("peak memory at start, empty (MB)", pick(peak, 0).data(), "%.0f");
    row("peak memory at start, book (MB)", pick(peak, 1).data(), "%.0f");
    row("bytes per policy (peak book - empty)", perPolicy, "%.0f", "<= 2048");
    row("close, empty folder (ms)", pick(close, 0).data(), "%.0f");
    row("close, book (ms)", pick(close, 1).data(), "%.0f");
    row("close book / empty (per pair)", ratio(close).data(), "%.2f", "<= 2");
    row("\"显 示 所 有 保 单\" to first rows (ms)", showAll, "%.1f", "< 100 at 1M");
    std::printf("load average at end: %s\n", bench::LoadAverage().c_str());
    return 0;
}

int RunProbe(const std::string& self, const fs::path& empty, const fs::path& book, int pairs) {
    const char* modes[] = {"none", "serial", "overlap", "late", "mapped"};
    constexpr int kModes = 5;
    std::vector<double> start[kModes], peak[kModes], tree, table;
    int policies = 0;
    for (int i = -1; i < pairs; ++i) // the first round untimed
        for (int m = 0; m < kModes; ++m) {
            ClearFolder(empty);
            const bench::ChildRun r = bench::RunChild({self, "--probe-one", modes[m], empty.string(), book.string()});
            if (i < 0) continue;
            start[m].push_back(r.numbers.at(0) - r.startMs);
            peak[m].push_back(r.numbers.at(1));
            policies = std::max(policies, int(r.numbers.at(2)));
            if (m == 1) tree.push_back(r.numbers.at(3));
            if (m == 1) table.push_back(r.numbers.at(4));
        }
    std::printf("\nprobe: the program over an empty folder, with the book of %d policies kept by a loader that\n"
                "reads each file whole and walks it once\n",
                policies);
    std::printf("%-44s %s\n", "", "min / median / max");
    const char* names[] = {"not loaded", "kept before the start", "kept on a thread, pages wait",
                           "kept on a thread, first paint waits", "kept from mapped files"};
    for (int m = 0; m < kModes; ++m)
        std::printf("start, book %-32s %s\n", (std::string(names[m]) + " (ms)").c_str(),
                    Spread(start[m], "%.0f").c_str());
    for (int m = 1; m < kModes; ++m)
        std::printf("  %-42s %s\n", (std::string(names[m]) + " / not loaded").c_str(),
                    Spread(bench::Ratios(start[m], start[0])).c_str());
    std::vector<double> perPolicy;
    for (int i = 0; i < pairs; ++i) perPolicy.push_back((peak[1][i] - peak[0][i]) * 1024 / policies);
    std::printf("%-44s %s\n", "bytes per policy, kept (peak - not loaded)", Spread(perPolicy, "%.0f").c_str());
    std::printf("all policies listed, first rows painted, over a model that formats only the rows shown:\n");
    std::printf("%-44s %s\n", "  in a tree view, as the program's lists (ms)", Spread(tree, "%.1f").c_str());
    std::printf("%-44s %s\n", "  in a table view (ms)", Spread(table, "%.1f").c_str());
    std::printf("load average at end: %s\n", bench::LoadAverage().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bench::BookSize size;
    int pairs = 7;
    fs::path given;
    bool probe = false;
    std::string against;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool value = i + 1 < argc;
        if (a == "--one" && value) return One(argc, argv, argv[i + 1], false);
        if (a == "--one-changed" && value) return One(argc, argv, argv[i + 1], true);
        if (a == "--probe-one" && i + 3 < argc) return Probe(argc, argv, argv[i + 1], argv[i + 2], argv[i + 3]);
        if (a == "--policies" && value)
            size.policies = std::max(1, std::atoi(argv[++i]));
        else if (a == "--million")
            size.policies = 1000000;
        else if (a == "--pairs" && value)
            pairs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--book" && value)
            given = argv[++i];
        else if (a == "--probe")
            probe = true;
        else if (a == "--against" && value)
            against = argv[++i];
        else if (a == "--changed")
            g_change = true;
        else {
            std::fprintf(stderr,
                         "usage: %s [--policies N | --million] [--pairs N] [--book DIR] [--changed] [--probe | "
                         "--against BENCH]\n",
                         argv[0]);
            return 2;
        }
    }
    const std::string self = bench::SelfPath();
    const fs::path work = fs::temp_directory_path() / ("vantorel-startup-" + std::to_string(::getpid()));
    const fs::path book = work / "book", empty = work / "empty";
    ClearFolder(empty);
    if (given.empty()) {
        std::printf("writing the benchmark book (%d policies)...\n", size.policies);
        std::fflush(stdout);
        if (!bench::WriteBook(book, size)) return 1;
    } else {
        CopyBook(given, book);
    }
    // The children: no display, settings of their own.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    fs::create_directories(work / "runtime");
    fs::permissions(work / "runtime", fs::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", (work / "runtime").c_str(), 1);
    std::printf("load average at start: %s; %d alternating pairs (empty, book)\n", bench::LoadAverage().c_str(), pairs);
    std::fflush(stdout);
    if (probe || !against.empty()) {
        const int status = probe ? RunProbe(self, empty, book, pairs) : RunAgainst(self, against, book, empty, pairs);
        fs::remove_all(work);
        return status;
    }

    Measure(self, empty); // once untimed each: fonts and files in the cache
    const Sample first = Measure(self, book);
    const int policies = int(first.rows);
    std::vector<double> start[2], peak[2], close[2], query[2], showAll[2];
    std::string pages;
    for (int i = 0; i < pairs; ++i) {
        for (int b = 0; b < 2; ++b) {
            if (b == 0) ClearFolder(empty); // its close wrote four empty files
            const Sample s = Measure(self, b ? book : empty);
            start[b].push_back(s.start);
            peak[b].push_back(s.peakKb / 1024);
            close[b].push_back(s.close);
            query[b].push_back(s.queryMs);
            showAll[b].push_back(s.showAllMs);
            if (b) pages = s.pages;
        }
        std::printf("  pair %d: start %.0f / %.0f ms, close %.0f / %.0f ms (empty / book)\n", i + 1, start[0].back(),
                    start[1].back(), close[0].back(), close[1].back());
        std::fflush(stdout);
    }
    std::vector<double> perPolicy;
    for (int i = 0; i < pairs; ++i) perPolicy.push_back((peak[1][i] - peak[0][i]) * 1024 * 1024 / policies);

    std::printf("\nbook of %d policies%s\n", policies, given.empty() ? "" : (" from " + given.string()).c_str());
    std::printf("%-44s %-28s %s\n", "", "min / median / max", "goal");
    std::printf("%-44s %-28s\n", "start, empty folder (ms)", Spread(start[0], "%.0f").c_str());
    std::printf("%-44s %-28s\n", "start, book (ms)", Spread(start[1], "%.0f").c_str());
    std::printf("%-44s %-28s %s\n", "start book / empty (per pair)", Spread(bench::Ratios(start[1], start[0])).c_str(),
                "<= 2");
    std::printf("%-44s %-28s\n", "peak memory at start, empty (MB)", Spread(peak[0], "%.0f").c_str());
    std::printf("%-44s %-28s\n", "peak memory at start, book (MB)", Spread(peak[1], "%.0f").c_str());
    std::printf("%-44s %-28s %s\n", "bytes per policy (peak book - empty)", Spread(perPolicy, "%.0f").c_str(),
                "<= 2048");
    std::printf("%-44s %-28s\n", "close, empty folder (ms)", Spread(close[0], "%.0f").c_str());
    std::printf("%-44s %-28s\n", "close, book (ms)", Spread(close[1], "%.0f").c_str());
    std::printf("%-44s %-28s %s\n", "close book / empty (per pair)", Spread(bench::Ratios(close[1], close[0])).c_str(),
                "<= 2");
    std::printf("%-44s %-28s\n", "query page selected, book (ms)", Spread(query[1], "%.1f").c_str());
    std::printf("%-44s %-28s %s\n", "\"显 示 所 有 保 单\" to first rows, book (ms)",
                Spread(showAll[1], "%.1f").c_str(), "< 100 at 1M");
    std::printf("page creation, last book run: %s", pages.c_str());
    std::printf("load average at end: %s\n", bench::LoadAverage().c_str());
    fs::remove_all(work);
    return 0;
}
