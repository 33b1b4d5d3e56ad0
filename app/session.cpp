#include "session.h"

Session::~Session() {
    if (loading_.valid()) loading_.wait();
}

void Session::BeginOpen() {
    if (loading_.valid()) return;
    stored_ = RemindSettings::Load();
    // Only records/ runs on this thread: files and memory, no windows.
    loading_ = std::async(std::launch::async, [folder = folder_, storage = storage_] {
        Loaded l;
        l.report = vantorel::LoadAll(l.book, folder, *storage);
        return l;
    });
}

void Session::FinishOpen() {
    if (!loading_.valid()) return;
    Loaded l = loading_.get();
    journal_.reset();
    book_ = std::move(l.book);
    loaded_ = std::move(l.report);
    journal_ = std::make_unique<vantorel::Journal>(folder_, *storage_);
    journal_->OnFailure(journalFailed_);
    recovery_ = journal_->Open(book_, loaded_);
}

vantorel::SaveReport Session::SaveAll() {
    vantorel::SaveReport report;
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i) report[i] = SaveOne(i);
    return report;
}

vantorel::FileSaveResult Session::SaveOne(std::size_t file) {
    const vantorel::CollectionId id = vantorel::kCollections[file];
    vantorel::FileSaveResult r = vantorel::SaveOne(book_, id, folder_, &loaded_, *storage_);
    saved_[file] = r.outcome != vantorel::SaveOutcome::failed;
    if (journal_) journal_->Saved(id, r, book_);
    return r;
}

vantorel::Result<void> Session::CloseJournal() {
    if (!journal_) return {};
    bool all = true;
    for (bool s : saved_) all = all && s;
    return journal_->Close(all);
}

vantorel::Result<void> Session::FlushJournal() {
    if (!journal_) return {};
    return journal_->Flush();
}
