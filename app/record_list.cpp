#include "record_list.h"

#include "theme/skin_list_ctrl.h"

using vantorel::CollectionChange;

RecordListFollower::RecordListFollower(const vantorel::CObject& records, CSkinListCtrl* list,
                                       std::function<void(const CollectionChange&)> after)
    : records_(records), list_(list), after_(std::move(after)),
      id_(records.Observe([this](const CollectionChange& c) { Told(c); })) {}

RecordListFollower::~RecordListFollower() { records_.Unobserve(id_); }

void RecordListFollower::Told(const CollectionChange& c) {
    if (quiet_) return;
    switch (c.kind) {
    case CollectionChange::Kind::add: list_->RecordAppended(c.index); break;
    case CollectionChange::Kind::replace: list_->RecordReplaced(c.index); break;
    case CollectionChange::Kind::remove: list_->RecordRemoved(c.index); break;
    case CollectionChange::Kind::removeAll: list_->RecordsCleared(); break;
    }
    if (after_) after_(c);
}
