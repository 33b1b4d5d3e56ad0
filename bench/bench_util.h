// What the benchmarks share: clocks, peak memory, child processes and the
// spread of ratios from alternating runs. Linux only, like the benchmarks.
#pragma once

#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

// Milliseconds on the system-wide monotonic clock: comparable between a
// parent and its children.
inline double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Peak resident memory of this process so far (VmHWM), in KiB.
inline long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

inline std::string LoadAverage() {
    std::ifstream f("/proc/loadavg");
    std::string a, b, c;
    f >> a >> b >> c;
    return a + " " + b + " " + c;
}

inline std::string SelfPath() {
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) std::abort();
    return self;
}

struct ChildRun {
    double startMs = 0;          // parent's clock just before the child was spawned
    double exitMs = 0;           // parent's clock once the child had ended
    std::vector<double> numbers; // the numbers of the child's first output line
    std::string rest;            // the rest of its output
};

// A child started with its standard output on a pipe.
struct Spawned {
    pid_t pid = 0;
    int out = -1; // the pipe's read end
};

// Starts `args` (args[0] is the program) as a fresh process whose standard
// output the caller reads from `out`.
inline Spawned Spawn(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Spawned s;
    if (posix_spawn(&s.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) std::abort();
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    s.out = out[0];
    return s;
}

// Runs `args` (args[0] is the program) as a fresh process, waits for it and
// returns what it printed. Exits the benchmark if the child fails.
inline ChildRun RunChild(const std::vector<std::string>& args) {
    ChildRun run;
    run.startMs = NowMs();
    const Spawned child = Spawn(args);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(child.out, buf, sizeof buf)) > 0;) text.append(buf, std::size_t(n));
    ::close(child.out);
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    run.exitMs = NowMs();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "child failed: %s %s\n%s", args[0].c_str(), args.size() > 1 ? args[1].c_str() : "",
                     text.c_str());
        std::exit(1);
    }
    std::istringstream lines(text);
    std::string first;
    std::getline(lines, first);
    std::istringstream nums(first);
    for (double v; nums >> v;) run.numbers.push_back(v);
    run.rest.assign(std::istreambuf_iterator<char>(lines), {});
    return run;
}

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// min / median / max of a series, as printed everywhere.
inline std::string Spread(const std::vector<double>& v, const char* format = "%.2f") {
    if (v.empty()) return "-";
    char a[32], b[32], c[32];
    std::snprintf(a, sizeof a, format, *std::min_element(v.begin(), v.end()));
    std::snprintf(b, sizeof b, format, Median(v));
    std::snprintf(c, sizeof c, format, *std::max_element(v.begin(), v.end()));
    return std::string(a) + " / " + b + " / " + c;
}

// The ratio of each pair a[i] / b[i].
inline std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> r;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) r.push_back(b[i] > 0 ? a[i] / b[i] : 0);
    return r;
}

} // namespace bench
