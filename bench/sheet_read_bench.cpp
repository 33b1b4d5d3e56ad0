// The import's readers on a large book: the policies as the program's own
// spreadsheet export writes them (.xlsx) and the potential clients as a GBK
// CSV, each read in a fresh process. The .xlsx read alternates with writing
// the same .xlsx (the export), so their ratio is measured under the same load.
// Memory: the reading process's peak less its peak before the read, against
// the unpacked sheet (the sheet's XML; for the CSV, the file).
//
//   sheet_read_bench [--policies N] [--clients N] [--pairs N] [--keep DIR]
#include "bench_util.h"
#include "gbk_csv.h"
#include "sample_book.h"
#include "exchange/record_sheet.h"
#include "exchange/sheet_reader.h"
#include "exchange/xlsx_writer.h"
#include "exchange/zip_package.h"
#include "records/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace ex = vantorel::exchange;

fs::path ToPath(const QString& s) { return fs::path(QFile::encodeName(s).toStdString()); }

// The processor time this process has used (user and system), in ms.
double CpuMs() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e6 + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec)) /
           1e3;
}

// Child: reads one sheet; prints "ms peak-growth-KiB table-bytes rows cpu-ms".
int ReadChild(const QString& path) {
    const long before = bench::PeakKb();
    const double start = bench::NowMs(), cpu = CpuMs();
    const auto table = ex::ReadSheet(path, 0);
    const double ms = bench::NowMs() - start, cpuMs = CpuMs() - cpu;
    if (!table) {
        std::printf("not read: %s\n", table.Reason().c_str());
        return 1;
    }
    std::printf("%.1f %ld %zu %d %.1f\n", ms, bench::PeakKb() - before, table->MemoryBytes(), table->RowCount(), cpuMs);
    return 0;
}

// Child: loads the book and writes its policies as the export does; prints "ms" of the writing alone.
int WriteChild(const QString& bookDir, const QString& path) {
    vantorel::DataBook book;
    vantorel::LoadAll(book, ToPath(bookDir));
    const std::vector<vantorel::PolicyRecord> all = book.insurance.CopyAll();
    const double start = bench::NowMs();
    const vantorel::Result<int> w = WriteXlsx(path, RecordSheet(all, QStringLiteral("保单")));
    const double ms = bench::NowMs() - start;
    if (!w) {
        std::printf("not written: %s\n", w.Reason().c_str());
        return 1;
    }
    std::printf("%.1f\n", ms);
    return 0;
}

void Report(const char* what, const std::vector<double>& v, const char* unit = "ms") {
    std::printf("  %-46s %s %s\n", what, bench::Spread(v, "%.0f").c_str(), unit);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && !std::strcmp(argv[1], "--read")) return ReadChild(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && !std::strcmp(argv[1], "--write"))
        return WriteChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    bench::BookSize size;
    size.clients = 100000;
    size.members = 100;
    size.schedule = 100;
    int pairs = 7;
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
    std::vector<double> read, write, growth, table, csvRead, csvGrowth, csvTable, readCpu, csvCpu;
    for (int p = 0; p < pairs; ++p) {
        // Each pair's two sides take turns going first.
        auto readOnce = [&] {
            const bench::ChildRun r = bench::RunChild({self, "--read", xlsx.toStdString()});
            read.push_back(r.numbers.at(0));
            readCpu.push_back(r.numbers.at(4));
            growth.push_back(r.numbers.at(1) * 1024 / sheetBytes);
            table.push_back(r.numbers.at(2) / sheetBytes);
        };
        auto writeOnce = [&] {
            write.push_back(
                bench::RunChild({self, "--write", bookDir.toStdString(), written.toStdString()}).numbers.at(0));
        };
        if (p % 2) {
            writeOnce();
            readOnce();
        } else {
            readOnce();
            writeOnce();
        }
        const bench::ChildRun c = bench::RunChild({self, "--read", csv.toStdString()});
        csvRead.push_back(c.numbers.at(0));
        csvCpu.push_back(c.numbers.at(4));
        csvGrowth.push_back(c.numbers.at(1) * 1024 / double(QFileInfo(csv).size()));
        csvTable.push_back(c.numbers.at(2) / double(QFileInfo(csv).size()));
    }
    std::printf("min / median / max of %d runs\n", pairs);
    Report("read the policies' .xlsx (ReadSheet)", read);
    Report("write the same .xlsx (RecordSheet + WriteXlsx)", write);
    std::printf("  %-46s %s\n", "read / write", bench::Spread(bench::Ratios(read, write)).c_str());
    Report("  processor time of the read (user + system)", readCpu);
    std::printf("  %-46s %s x the unpacked sheet\n", "peak memory growth while reading", bench::Spread(growth).c_str());
    std::printf("  %-46s %s x the unpacked sheet\n", "the table it made", bench::Spread(table).c_str());
    Report("read the clients' GBK CSV", csvRead);
    Report("  processor time of the read (user + system)", csvCpu);
    std::printf("  %-46s %s x the file\n", "peak memory growth while reading", bench::Spread(csvGrowth).c_str());
    std::printf("  %-46s %s x the file\n", "the table it made", bench::Spread(csvTable).c_str());
    return 0;
}
