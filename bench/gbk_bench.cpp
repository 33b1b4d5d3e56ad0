// Times the text conversions at the windows' edge (agent/gbk.h) over every text
// field of a realistic book: what the lists, the reminders and the forms pay
// for each value they show or store.
//
//   gbk_bench [--runs N]
#include "sample_book.h"
#include "agent/gbk.h"
#include "records/data_files.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Every text field of a record, in the order the files hold them.
struct Texts {
    std::vector<const std::string*> all;
    void operator()(const char*, const std::string& s) { all.push_back(&s); }
    template <class T> void operator()(const char*, const T&) {}
    template <class T> void Again(const char*, const T&) {}
    template <class T> void Object(const char*, const T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, const std::vector<T>& list) {
        for (const T& item : list) VisitFields(*this, item);
    }
};

struct Figures {
    double median, min, max;
};

template <class F> Figures Time(int runs, F&& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto begin = Clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

void Print(const char* what, const Figures& f, std::size_t n) {
    std::printf("%-14s median %8.1f ms (min %.1f, max %.1f)  %6.0f ns per text\n", what, f.median, f.min, f.max,
                f.median * 1e6 / double(n));
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: %s [--runs N]\n", argv[0]);
            return 2;
        }
    }
    // The benchmark book, written and read back as the program reads it.
    const auto dir = std::filesystem::temp_directory_path() / ("gbk_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    vantorel::DataBook book;
    const bool written = bench::WriteBook(dir, {});
    if (written) vantorel::LoadAll(book, dir);
    std::filesystem::remove_all(dir);
    if (!written) {
        std::fprintf(stderr, "cannot write the benchmark book into %s\n", dir.c_str());
        return 1;
    }
    Texts texts;
    const auto policies = book.insurance.CopyAll();
    const auto clients = book.clients.CopyAll();
    const auto members = book.members.CopyAll();
    const auto calendar = book.calendar.CopyAll();
    for (const auto& r : policies) VisitFields(texts, r);
    for (const auto& r : clients) VisitFields(texts, r);
    for (const auto& r : members) VisitFields(texts, r);
    for (const auto& r : calendar) VisitFields(texts, r);
    std::size_t empty = 0, ascii = 0;
    for (const std::string* s : texts.all) {
        if (s->empty())
            ++empty;
        else if (std::all_of(s->begin(), s->end(), [](char c) { return (unsigned char)c < 0x80; }))
            ++ascii;
    }
    const std::size_t n = texts.all.size();
    std::printf("%zu texts: %zu empty, %zu ASCII, %zu with Chinese; %d runs\n", n, empty, ascii, n - empty - ascii,
                runs);

    std::vector<QString> decoded(n);
    qsizetype sink = 0;
    Print("FromGbk",
          Time(runs,
               [&] {
                   for (std::size_t i = 0; i < n; ++i) decoded[i] = FromGbk(*texts.all[i]);
               }),
          n);
    // The texts that need the converter, without the ASCII ones that skip it.
    std::vector<const std::string*> chinese;
    for (const std::string* s : texts.all)
        if (std::any_of(s->begin(), s->end(), [](char c) { return (unsigned char)c >= 0x80; })) chinese.push_back(s);
    Print("  Chinese only",
          Time(runs,
               [&] {
                   for (const std::string* s : chinese) sink += FromGbk(*s).size();
               }),
          chinese.size());
    Print("ToGbk",
          Time(runs,
               [&] {
                   for (const QString& s : decoded) sink += qsizetype(ToGbk(s).size());
               }),
          n);
    Print("CanStoreAsGbk",
          Time(runs,
               [&] {
                   for (const QString& s : decoded) sink += CanStoreAsGbk(s);
               }),
          n);
    // The round trip gives every text back byte for byte.
    std::size_t same = 0;
    for (std::size_t i = 0; i < n; ++i) same += ToGbk(decoded[i]) == *texts.all[i];
    std::printf("round trip: %zu of %zu texts unchanged (%lld)\n", same, n, (long long)(sink % 10));
    return same == n ? 0 : 1;
}
