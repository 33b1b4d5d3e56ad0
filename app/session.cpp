#include "session.h"

void Session::Open() {
    vantorel::DataBook fresh;
    loaded_ = vantorel::LoadAll(fresh, folder_);
    book_ = std::move(fresh);
    stored_ = RemindSettings::Load();
}
