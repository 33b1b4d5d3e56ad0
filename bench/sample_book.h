// A realistic book for benchmarks: Chinese names, addresses and products as
// GBK bytes, generated from a fixed seed so every run sees the same data.
#pragma once

#include "records/data_files.h"

namespace bench {

struct BookSize {
    int policies = 100000;
    int clients = 50000;
    int members = 2000;
    int schedule = 100000;
};

void MakeBook(vantorel::DataBook& book, const BookSize& size);

} // namespace bench
