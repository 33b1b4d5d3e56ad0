#include "session.h"

Session::~Session() {
    if (loading_.valid()) loading_.wait();
}

void Session::BeginOpen() {
    if (loading_.valid()) return;
    stored_ = RemindSettings::Load();
    // Only records/ runs on this thread: files and memory, no windows.
    loading_ = std::async(std::launch::async, [folder = folder_] {
        Loaded l;
        l.report = vantorel::LoadAll(l.book, folder);
        return l;
    });
}

void Session::FinishOpen() {
    if (!loading_.valid()) return;
    Loaded l = loading_.get();
    book_ = std::move(l.book);
    loaded_ = std::move(l.report);
}
