// Times the agent's calendar file over the benchmark book (100 000 policies,
// 50 000 potential clients, 2 000 team members, 100 000 schedule entries):
// the events alone, and the whole file written with libical.
//
//   calendar_bench [--policies N] [--runs R] [--book DIR]
//
// Without --book the book is written to a temporary folder first. Every
// switch is on; today is fixed, so that every run writes the same events.
#include "sample_book.h"
#include "agent/calendar_events.h"
#include "exchange/calendar_file.h"
#include "records/data_files.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }
// The process's processor time, in ms: the machine's load moves the wall time.
double CpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

void Print(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("  %-36s median %8.1f ms  min %8.1f  max %8.1f  (%zu runs)\n", what, v[v.size() / 2], v.front(),
                v.back(), v.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::BookSize size;
    int runs = 5;
    const char* bookDir = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--policies")) size.policies = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--book")) bookDir = argv[i + 1];
    }
    QTemporaryDir temp;
    const std::filesystem::path dir =
        bookDir ? std::filesystem::path(bookDir) : std::filesystem::path(temp.path().toStdString());
    if (!bookDir && !bench::WriteBook(dir, size)) {
        std::fprintf(stderr, "cannot write the book into %s\n", dir.c_str());
        return 1;
    }
    vantorel::DataBook book;
    for (const vantorel::CollectionId id : vantorel::kCollections)
        (void)vantorel::LoadFile(book.Collection(id), dir / vantorel::kDataFileNames[id]);
    std::printf("book: %d policies, %d clients, %d members, %d schedule entries\n", book.insurance.GetSize(),
                book.clients.GetSize(), book.members.GetSize(), book.calendar.GetSize());

    const QDate today(2026, 3, 15);
    std::vector<double> events, file, eventsCpu, fileCpu;
    agenda::CalendarCounts counts;
    qint64 bytes = 0;
    for (int r = 0; r < runs; ++r) {
        auto s = Clock::now();
        double c = CpuMs();
        long n = 0;
        agenda::ForEachCalendarEvent(book, ReminderSwitches{}, today, [&](const agenda::CalendarEvent&) { ++n; });
        events.push_back(Ms(s));
        eventsCpu.push_back(CpuMs() - c);
        s = Clock::now();
        c = CpuMs();
        const auto w =
            WriteCalendarFile(temp.filePath(QStringLiteral("calendar.ics")), book, ReminderSwitches{}, today);
        file.push_back(Ms(s));
        fileCpu.push_back(CpuMs() - c);
        if (!w) {
            std::fprintf(stderr, "not written: %s\n", w.Reason().c_str());
            return 1;
        }
        counts = w->counts;
        bytes = w->bytes;
    }
    std::printf("calendar: %d schedule entries, %d birthdays, %d renewal premiums (%d events)\n", counts.schedule,
                counts.birthdays, counts.premiums, counts.Total());
    Print("the events alone (no file), wall", events);
    Print("  processor", eventsCpu);
    Print("WriteCalendarFile, wall", file);
    Print("  processor", fileCpu);
    std::printf("  (%.1f MB)\n", double(bytes) / 1e6);
    return 0;
}
