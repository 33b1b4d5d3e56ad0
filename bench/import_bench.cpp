// The import through the real dialog on a large book: the policies as the
// program's own spreadsheet export writes them (.xlsx), against writing that
// same .xlsx, in alternating fresh processes; and the potential clients as a
// GBK CSV. Each import runs in a main window over an empty folder (pages,
// lists and recovery journal as the program has them): read, matched,
// checked, applied and journalled. While it runs a 10 ms timer on the window
// thread records the longest wait between its ticks, which is the longest
// the window could not paint. Memory: the importing process's peak less its
// peak before the file was opened, against the unpacked sheet.
//
//   import_bench [--policies N] [--clients N] [--pairs N] [--keep DIR]
#include "bench_util.h"
#include "gbk_csv.h"
#include "sample_book.h"
#include "app/agent_app.h"
#include "app/main_dlg.h"
#include "app/message_box.h"
#include "exchange/record_sheet.h"
#include "exchange/xlsx_writer.h"
#include "exchange/zip_package.h"
#include "pages/import/import_dlg.h"
#include "pages/page_registry.h"
#include "records/data_files.h"
#include "resources/templates/import_ids.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

namespace fs = std::filesystem;
namespace ex = vantorel::exchange;

fs::path ToPath(const QString& s) { return fs::path(QFile::encodeName(s).toStdString()); }

double CpuMs() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e6 + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec)) /
           1e3;
}

// Child: imports `path` as `kind` (0 policies, 1 clients) into an empty
// folder through the dialog; prints "ms longest-gap-ms peak-growth-KiB
// records cpu-ms".
int ImportChild(const QString& path, int kind) {
    CAgentApp::Prepare();
    QTemporaryDir folder;
    QString said;
    msg::SetResponder([&said](msg::Kind, const QString& text, msg::Default) {
        said = text;
        return false;
    });
    CMainDlg main(ToPath(folder.path()), AllPageFactories());
    main.Initialise();
    main.show();
    QCoreApplication::processEvents();
    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
    CImportDlg dlg(&main, &main);
    dlg.show();
    dlg.findChild<QComboBox*>(QString::number(ids::import::Kind))->setCurrentIndex(kind);
    QCoreApplication::processEvents();
    const long before = bench::PeakKb();
    const double start = bench::NowMs(), cpu = CpuMs();
    sinceTick.start();
    tick.start(10);
    dlg.OpenFile(path);
    dlg.Import();
    tick.stop();
    const double ms = bench::NowMs() - start, cpuMs = CpuMs() - cpu;
    longest = std::max(longest, sinceTick.elapsed());
    const int records = main.Book().Collection(vantorel::kCollections[std::size_t(kind)]).RecordCount();
    std::printf("%.1f %lld %ld %d %.1f\n", ms, static_cast<long long>(longest), bench::PeakKb() - before, records,
                cpuMs);
    std::fprintf(stderr, "%s\n", said.toLocal8Bit().constData());
    main.Shutdown();
    return 0;
}

// Child: loads the book and writes its policies as the export does; prints "ms" of the writing alone.
int WriteChild(const QString& bookDir, const QString& path) {
    vantorel::DataBook book;
    vantorel::LoadAll(book, ToPath(bookDir));
    const std::vector<vantorel::PolicyRecord> all = book.insurance.CopyAll();
    const double start = bench::NowMs();
    const vantorel::Result<int> w = WriteXlsx(path, RecordSheet(all, QStringLiteral("保单")));
    std::printf("%.1f\n", bench::NowMs() - start);
    return w ? 0 : 1;
}

void Report(const char* what, const std::vector<double>& v, const char* unit = "ms") {
    std::printf("  %-50s %s %s\n", what, bench::Spread(v, "%.0f").c_str(), unit);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && !std::strcmp(argv[1], "--import")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        CAgentApp app(argc, argv);
        return ImportChild(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    }
    QCoreApplication app(argc, argv);
    if (argc == 4 && !std::strcmp(argv[1], "--write"))
        return WriteChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    bench::BookSize size;
    size.clients = 100000;
    size.members = 100;
    size.schedule = 100;
    int pairs = 3;
    QString keep;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--policies")) size.policies = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--clients")) size.clients = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--pairs")) pairs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--keep")) keep = QString::fromLocal8Bit(argv[i + 1]);
    }
    QTemporaryDir temp;
    const QString dir = keep.isEmpty() ? temp.path() : keep;
    QDir().mkpath(dir);
    const QString bookDir = dir + QStringLiteral("/book");
    QDir().mkpath(bookDir);
    if (!bench::WriteBook(ToPath(bookDir), size)) return 1;
    vantorel::DataBook book;
    vantorel::LoadAll(book, ToPath(bookDir));
    const QString xlsx = dir + QStringLiteral("/policies.xlsx"), written = dir + QStringLiteral("/written.xlsx"),
                  csv = dir + QStringLiteral("/clients.csv");
    if (!WriteXlsx(xlsx, RecordSheet(book.insurance.CopyAll(), QStringLiteral("保单"))) ||
        !bench::WriteGbkCsv(book, csv))
        return 1;
    auto package = ex::ZipPackage::Open(xlsx);
    if (!package) return 1;
    const double sheetBytes = double((*package)->DeclaredSize(QStringLiteral("xl/worksheets/sheet1.xml")));
    std::printf("%d policies: .xlsx %.1f MB, its sheet unpacked %.1f MB; %d clients: GBK CSV %.1f MB (load %s)\n",
                size.policies, QFileInfo(xlsx).size() / 1e6, sheetBytes / 1e6, size.clients,
                QFileInfo(csv).size() / 1e6, bench::LoadAverage().c_str());

    const std::string self = bench::SelfPath();
    std::vector<double> import, write, gap, growth, cpu, csvImport, csvGap, csvGrowth, csvCpu;
    for (int p = 0; p < pairs; ++p) {
        auto importOnce = [&] {
            const bench::ChildRun r = bench::RunChild({self, "--import", xlsx.toStdString(), "0"});
            if (r.numbers.size() < 5 || int(r.numbers[3]) != size.policies) {
                std::printf("import failed: %s\n", r.rest.c_str());
                std::exit(1);
            }
            import.push_back(r.numbers[0]);
            gap.push_back(r.numbers[1]);
            growth.push_back(r.numbers[2] * 1024 / sheetBytes);
            cpu.push_back(r.numbers[4]);
        };
        auto writeOnce = [&] {
            write.push_back(
                bench::RunChild({self, "--write", bookDir.toStdString(), written.toStdString()}).numbers.at(0));
        };
        // Each pair's two sides take turns going first.
        if (p % 2) {
            writeOnce();
            importOnce();
        } else {
            importOnce();
            writeOnce();
        }
        const bench::ChildRun c = bench::RunChild({self, "--import", csv.toStdString(), "1"});
        if (c.numbers.size() < 5 || int(c.numbers[3]) != size.clients) {
            std::printf("CSV import failed: %s\n", c.rest.c_str());
            return 1;
        }
        csvImport.push_back(c.numbers[0]);
        csvGap.push_back(c.numbers[1]);
        csvGrowth.push_back(c.numbers[2] * 1024 / double(QFileInfo(csv).size()));
        csvCpu.push_back(c.numbers[4]);
    }
    std::printf("min / median / max of %d runs\n", pairs);
    Report("import the policies' .xlsx (read, check, apply)", import);
    Report("write the same .xlsx (RecordSheet + WriteXlsx)", write);
    std::printf("  %-50s %s\n", "import / write", bench::Spread(bench::Ratios(import, write)).c_str());
    Report("  processor time of the import (user + system)", cpu);
    Report("  longest the window thread did not tick", gap);
    std::printf("  %-50s %s x the unpacked sheet\n", "peak memory growth while importing",
                bench::Spread(growth).c_str());
    Report("import the clients' GBK CSV", csvImport);
    Report("  processor time of the import (user + system)", csvCpu);
    Report("  longest the window thread did not tick", csvGap);
    std::printf("  %-50s %s x the file\n", "peak memory growth while importing", bench::Spread(csvGrowth).c_str());
    return 0;
}
