#include "session.h"

void Session::Open() {
    journal_.reset();
    vantorel::DataBook fresh;
    loaded_ = vantorel::LoadAll(fresh, folder_);
    book_ = std::move(fresh);
    journal_ = std::make_unique<vantorel::Journal>(folder_);
    journal_->OnFailure(journalFailed_);
    recovery_ = journal_->Open(book_, loaded_);
    stored_ = RemindSettings::Load();
}

vantorel::SaveReport Session::SaveAll() {
    vantorel::SaveReport report;
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i) report[i] = SaveOne(i);
    return report;
}

vantorel::FileSaveResult Session::SaveOne(std::size_t file) {
    vantorel::FileSaveResult r = vantorel::SaveOne(book_, file, folder_, &loaded_);
    saved_[file] = r.saved || r.leftAlone;
    if (journal_) journal_->Saved(file, r, book_);
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
