// A realistic book for benchmarks: Chinese names, addresses and products as
// GBK bytes, generated from a fixed seed so every run sees the same data.
#pragma once

#include <filesystem>

namespace bench {

struct BookSize {
    int policies = 100000;
    int clients = 50000;
    int members = 2000;
    int schedule = 100000;
};

// Writes the book's four data files into `dir`, one record at a time (a book
// of a million policies never has to fit in memory here). The bytes are
// those SaveAll writes for the same records. False if a file cannot be written.
bool WriteBook(const std::filesystem::path& dir, const BookSize& size);

} // namespace bench
