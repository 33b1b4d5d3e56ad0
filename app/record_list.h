// A list of records that follows its collection: every change made to the
// collection is told to the list, which adds, removes or repaints the rows
// concerned and keeps its selection where it can. A page's own change can be
// made quietly, when the page puts its list right itself.
#pragma once

#include "records/collection.h"

#include <functional>
#include <utility>

class CSkinListCtrl;

class RecordListFollower {
public:
    // `after`, when given, is told of each change after the list followed it.
    RecordListFollower(const vantorel::CObject& records, CSkinListCtrl* list,
                       std::function<void(const vantorel::CollectionChange&)> after = {});
    ~RecordListFollower();
    RecordListFollower(const RecordListFollower&) = delete;
    RecordListFollower& operator=(const RecordListFollower&) = delete;

    // Makes a change that the list is not told of.
    template <class Change> decltype(auto) Quietly(Change&& change) {
        const bool was = quiet_;
        quiet_ = true;
        struct Restore {
            bool& flag;
            bool value;
            ~Restore() { flag = value; }
        } restore{quiet_, was};
        return std::forward<Change>(change)();
    }

private:
    void Told(const vantorel::CollectionChange& change);

    const vantorel::CObject& records_;
    CSkinListCtrl* list_;
    std::function<void(const vantorel::CollectionChange&)> after_;
    vantorel::ObserverId id_;
    bool quiet_ = false;
};
