// Times the client file page over the benchmark book (100 000 policies,
// 50 000 potential clients, 2 000 team members; every person on it with a
// card number of their own): from the page's first show to its list of
// people ready, the window thread's longest pause meanwhile, a search by
// each key, a person's file opened, and the index's bytes per person.
//
//   vantorel_client_file_bench [--book DIR] [--policies N] [--runs R]
//
// Without --book the book is written to a temporary folder first. Build it
// with -DCMAKE_BUILD_TYPE=Release for figures.
#include "sample_book.h"
#include "agent/person_index.h"
#include "app/agent_app.h"
#include "app/page_host.h"
#include "pages/people/client_file_page.h"
#include "records/data_files.h"
#include "resources/templates/client_file_ids.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

void Print(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("  %-52s median %8.2f ms  min %8.2f  max %8.2f  (%zu)\n", what, v[v.size() / 2], v.front(), v.back(),
                v.size());
}

class Host : public PageHost {
public:
    explicit Host(vantorel::DataBook& b) : book(b) {}
    CPage* Page(int) const override { return nullptr; }
    void ShowOnly(int) override {}
    vantorel::DataBook& Book() override { return book; }
    const ReminderSwitches& StoredSwitches() const override { return switches; }
    QDate Today() const override { return QDate(2004, 12, 20); }
    bool EditPolicy(int) override { return false; }
    vantorel::DataBook& book;
    ReminderSwitches switches;
};

// From OnShown (as the main window calls it) to the list filled and painted;
// meanwhile a timer on the window thread notes its longest wait.
struct FirstShow {
    double ready, onShown, longestPause;
};

FirstShow TimeFirstShow(vantorel::DataBook& book, Host& host) {
    CClientFilePage page(book, &host);
    page.resize(620, 600);
    page.show();
    QApplication::processEvents();
    QEventLoop loop;
    QObject::connect(&page, &CClientFilePage::listReady, &loop, &QEventLoop::quit);
    QTimer tick;
    tick.setInterval(1);
    Clock::time_point last = Clock::now();
    double longest = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, Ms(last));
        last = Clock::now();
    });
    const auto start = Clock::now();
    page.OnShown();
    const double onShown = Ms(start);
    last = Clock::now();
    tick.start();
    if (!page.Index()) loop.exec();
    tick.stop();
    page.repaint(); // the first rows painted
    return {Ms(start), onShown, longest};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CAgentApp app(argc, argv);
    QString bookDir;
    int runs = 7;
    bench::BookSize size;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--book")) bookDir = QString::fromLocal8Bit(argv[i + 1]);
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--policies")) size.policies = std::atoi(argv[i + 1]);
    }
    QTemporaryDir temp;
    if (bookDir.isEmpty()) {
        bookDir = temp.path();
        const auto t = Clock::now();
        if (!bench::WriteBook(bookDir.toStdString(), size)) {
            std::fprintf(stderr, "cannot write the book\n");
            return 1;
        }
        std::printf("benchmark book written in %.0f ms\n", Ms(t));
    }
    vantorel::DataBook book;
    vantorel::LoadAll(book, bookDir.toStdString());
    Host host(book);
    std::printf("book: %d policies, %d clients, %d members\n", book.insurance.GetSize(), book.clients.GetSize(),
                book.members.GetSize());

    std::vector<double> ready, onShown, pause;
    for (int r = 0; r < runs; ++r) {
        const FirstShow f = TimeFirstShow(book, host);
        ready.push_back(f.ready);
        onShown.push_back(f.onShown);
        pause.push_back(f.longestPause);
    }
    std::printf("first show of the page:\n");
    Print("first show to the list of people ready and painted", ready);
    Print("of which on the window thread (before the gathering)", onShown);
    Print("the window thread's longest pause meanwhile", pause);

    CClientFilePage page(book, &host);
    page.resize(620, 600);
    page.show();
    QEventLoop loop;
    QObject::connect(&page, &CClientFilePage::listReady, &loop, &QEventLoop::quit);
    page.OnShown();
    if (!page.Index()) loop.exec();
    const clients::PersonIndex& index = *page.Index();
    std::printf("people: %d; index %.1f MB, %.1f bytes per person\n", index.Count(), double(index.Bytes()) / 1e6,
                double(index.Bytes()) / index.Count());

    // Searches as the agent makes them: the text typed, Enter.
    auto* edit = page.findChild<QLineEdit*>(QString::number(ids::client_file::Search));
    auto search = [&](const char* text) {
        edit->setText(QString::fromUtf8(text));
        const auto t = Clock::now();
        emit edit->returnPressed();
        return Ms(t);
    };
    std::printf("search (the list of people found shown):\n");
    std::printf("  the first pinyin search, ICU opened and every name read: %.1f ms\n", search("zhangw"));
    std::vector<double> byName, byPinyin, byCard, byPhone;
    for (int r = 0; r < runs; ++r) {
        for (const char* t : {"王", "欧阳", "秀英"}) byName.push_back(search(t));
        for (const char* t : {"wangf", "oy", "liux"}) byPinyin.push_back(search(t));
        for (const char* t : {"110101", "88888"}) byCard.push_back(search(t));
        for (const char* t : {"1381234", "010-5555"}) byPhone.push_back(search(t));
    }
    Print("part of a name", byName);
    Print("pinyin", byPinyin);
    Print("part of a card number", byCard);
    Print("part of a phone number", byPhone);
    search("");

    std::vector<double> open;
    std::mt19937 rng(20040529);
    for (int r = 0; r < 200; ++r) {
        const int person = int(rng() % unsigned(index.Count()));
        const auto t = Clock::now();
        page.OpenPerson(person);
        open.push_back(Ms(t));
    }
    Print("a person's file opened and shown (200 people)", open);
    int most = 0;
    for (int p = 0; p < index.Count(); ++p)
        if (index.PolicyCount(p) > index.PolicyCount(most)) most = p;
    const auto t = Clock::now();
    page.OpenPerson(most);
    std::printf("  the person with the most policies (%d): %.2f ms\n", index.PolicyCount(most), Ms(t));
    return 0;
}
