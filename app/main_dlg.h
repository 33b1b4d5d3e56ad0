// The program's one top-level window: navigation tree, page area, clock,
// today's reminders, backup, and the one place where the data are saved.
#pragma once

#include "page_host.h"
#include "session.h"
#include "theme/xp_dialog.h"

#include <QDateTime>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

class CPage;
class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class CMainDlg : public CXpDialog, public PageHost {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // The window of the program working on the data files in `folder`,
    // which it starts reading at once.
    CMainDlg(std::filesystem::path folder, PageFactories factories, QWidget* parent = nullptr);
    // The window over a session that may already be reading its files.
    CMainDlg(Session session, PageFactories factories, QWidget* parent = nullptr);
    // Runs the shutdown sequence if nothing ran it before.
    ~CMainDlg() override;

    // Creates the eight pages hidden (while the data files load), waits for
    // the files and fills the pages' lists, sets the clock labels, starts
    // timer 1 and selects the first node (the welcome page).
    void Initialise();
    // Once the window is up: one box naming the files that could not be read
    // completely, then today's reminders.
    void ShowStartMessages();
    // Today's reminders, one box at a time; true if a box was shown.
    bool RunReminders();
    // Saves the four files, writes the reminder switches, deletes the pages,
    // stops the timer. Runs once, and only after Initialise.
    void Shutdown();
    // Ends the program in order from outside (a signal, the session ending):
    // any open box is closed, no box is shown after it, the window closes.
    void RequestClose(bool interactive);
    bool CloseRequested() const { return closeRequested_; }

    CPage* Page(int templateId) const override;
    void ShowOnly(int templateId) override;
    vantorel::DataBook& Book() override { return session_.Book(); }
    const ReminderSwitches& StoredSwitches() const override { return session_.StoredSwitches(); }
    ReminderSwitches CurrentSwitches() const override { return Switches(); }
    QDate Today() const override { return clock_().date(); }
    bool EditPolicy(int index) override;
    vantorel::Result<void> FlushJournal() override { return session_.FlushJournal(); }

    // Where "now" comes from (tests move it past midnight).
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // Timer 1.
    void Tick();
    // The switches as the pages hold them now.
    ReminderSwitches Switches() const;
    const vantorel::LoadReport& LoadResults() const { return session_.LoadResults(); }
    const vantorel::JournalRecovery& Recovery() const { return session_.Recovery(); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void done(int r) override;

private:
    void FillTree();
    void CreatePages();
    void OnTreeChanged(QTreeWidgetItem* current);
    void ShowClock();
    void OnRemindButton();
    void OnBackupButton();
    void OnImportButton();
    void SaveData();
    void OnJournalFailed(const QString& reason);
    void WriteSwitches();

    Session session_;
    PageFactories factories_;
    QDateTime today_;
    std::vector<std::pair<int, CPage*>> pages_; // in the order of creation
    QLabel* time_ = nullptr;
    QLabel* weekday_ = nullptr;
    QLabel* date_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QTimer* timer_ = nullptr;
    Clock clock_;
    QDate shownDate_;
    bool initialised_ = false;
    bool shutDown_ = false;
    bool closeRequested_ = false;
    bool interactive_ = true;
};
