// The client file (客户档案): every person the book names, once, and the
// chosen person's file: their data, their policies in every role, totals,
// the people linked to them, the family's cover by category with its gaps,
// and the next 90 days; the review as a PDF or on paper.
//
// The list of people is gathered on a thread of its own from views of the
// policies', clients' and members' bytes taken when the page is first shown
// (BookRecords): the collections may change while it runs, and they keep
// every byte viewed until the thread is done, so it reads without a lock
// and without the copy of the whole book that once held the window for a
// quarter of a second. Any change to those collections drops the list at
// once (it points into the records) and gathers it again, at once when the
// page is shown, else when it is next shown; the person shown stays chosen
// where they still are.
#pragma once

#include "agent/client_file.h"
#include "agent/person_index.h"
#include "app/page.h"
#include "records/collection.h"

#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

class CSkinListCtrl;
class PinyinIndex;
class QPrinter;
class QProgressBar;

class CClientFilePage : public CPage {
    Q_OBJECT
public:
    // Reads `book`'s policies, clients and members; opens policies through
    // `host` (may be null) and takes today from it.
    CClientFilePage(const vantorel::DataBook& book, PageHost* host, QWidget* parent = nullptr);
    ~CClientFilePage() override;

    void OnShown() override;

    // The people gathered, null while they are being gathered.
    const clients::PersonIndex* Index() const { return index_ ? &*index_ : nullptr; }
    // The file shown; person -1 for none.
    const clients::ClientFile& File() const { return file_; }
    // Shows the file of a person of the index (also in the list).
    void OpenPerson(int person);

    // Tests: the print dialog is answered here instead (true prints to the
    // printer as the responder set it up).
    using PrintResponder = std::function<bool(QPrinter& printer)>;
    static void SetPrintResponder(PrintResponder responder);

signals:
    // The list of people is filled: after the gathering, and after each search.
    void listReady();

private:
    void StartBuild();
    void Built(std::uint64_t build, std::optional<clients::PersonIndex> index);
    void Changed();
    void StopBuild();
    void RunSearch();
    void ShowPeople();
    void ShowFile();
    void ClearFile();
    void OnPersonRow(int row);
    void OnLinked(int row);
    void OnPolicy(int row);
    void OnReview();
    void OnPrint();
    bool HaveFile();
    QString PersonCell(int person, int column) const;

    const vantorel::DataBook& book_;
    PageHost* host_;
    CSkinListCtrl* people_;
    CSkinListCtrl* policies_;
    CSkinListCtrl* linked_;
    CSkinListCtrl* grid_;
    CSkinListCtrl* next90_;
    QProgressBar* progress_ = nullptr;

    std::optional<clients::PersonIndex> index_;
    clients::PersonIndex::Found found_; // what the list shows
    clients::ClientFile file_;
    // The person shown, kept by their key so that a new list finds them again.
    std::optional<std::string> keptName_, keptId_, keptBirth_;
    QString search_;
    std::unique_ptr<PinyinIndex> pinyin_;

    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> stop_;
    std::uint64_t build_ = 0; // the build whose result is awaited
    bool building_ = false;
    bool dropped_ = false; // the list and the file are gone until the next build starts
    QTimer rebuild_;       // a burst of changes gathers once
    std::vector<std::pair<const vantorel::CObject*, vantorel::ObserverId>> observed_;
};
