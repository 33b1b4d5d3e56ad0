#include "main_dlg.h"

#include "message_box.h"
#include "page.h"
#include "session_messages.h"
#include "template_builder.h"
#include "welcome_page.h"
#include "agent/reminders.h"
#include "resources/templates/client_file_ids.h"
#include "resources/templates/import_ids.h"
#include "resources/templates/main_ids.h"
#include "resources/templates/main_template.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/pot_client_ids.h"
#include "resources/templates/query_ids.h"
#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/schedule_ids.h"
#include "resources/templates/statistics_ids.h"
#include "resources/templates/team_member_ids.h"
#include "resources/templates/welcome_ids.h"
#include "theme/control_skin.h"
#include "theme/theme_pictures.h"

#include <QAbstractButton>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>

namespace {

// The pages in the order of creation.
constexpr int kPageOrder[] = {ids::entry::Template,   ids::query::Template,      ids::client::Template,
                              ids::member::Template,  ids::schedule::Template,   ids::remind::Template,
                              ids::welcome::Template, ids::statistics::Template, ids::client_file::Template};
constexpr int kWelcome = ids::welcome::Template;

struct Node {
    const char* text;
    int page;
};
struct Root {
    const char* text;
    std::vector<Node> children;
};
const std::vector<Root>& TreeNodes() {
    static const std::vector<Root> roots = {
        {"客户管理",
         {{"添加保单资料", ids::entry::Template},
          {"查询保单资料", ids::query::Template},
          {"潜力客户资料", ids::client::Template},
          {"客户档案", ids::client_file::Template},
          {"统计与决策", ids::statistics::Template}}},
        {"团队管理", {{"成员资料", ids::member::Template}}},
        {"提醒管理", {{"日程提醒", ids::schedule::Template}, {"其它提醒", ids::remind::Template}}},
    };
    return roots;
}

const char* const kWeekdays[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};

} // namespace

CMainDlg::CMainDlg(std::filesystem::path folder, PageFactories factories, QWidget* parent)
    : CMainDlg(Session(std::move(folder)), std::move(factories), parent) {}

CMainDlg::CMainDlg(Session session, PageFactories factories, QWidget* parent)
    : CXpDialog(parent), session_(std::move(session)), factories_(std::move(factories)),
      clock_([] { return QDateTime::currentDateTime(); }) {
    // The data files are read while the window is built, on a core of their
    // own where there is one; Initialise waits for them.
    session_.BeginOpen();
    tmpl::Build(tmpl::MainTemplate(), this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    namespace id = ids::main_window;
    tree_ = tmpl::Ctl<QTreeWidget>(this, id::Tree);
    date_ = tmpl::Ctl<QLabel>(this, id::Date);
    weekday_ = tmpl::Ctl<QLabel>(this, id::Weekday);
    time_ = tmpl::Ctl<QLabel>(this, id::Time);
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &CMainDlg::Tick);
    connect(tmpl::Ctl<QAbstractButton>(this, id::Remind), &QAbstractButton::clicked, this, &CMainDlg::OnRemindButton);
    connect(tmpl::Ctl<QAbstractButton>(this, id::Backup), &QAbstractButton::clicked, this, &CMainDlg::OnBackupButton);
    connect(tmpl::Ctl<QAbstractButton>(this, id::Import), &QAbstractButton::clicked, this, &CMainDlg::OnImportButton);
}

CMainDlg::~CMainDlg() { Shutdown(); }

void CMainDlg::Initialise() {
    if (initialised_) return;
    setWindowIcon(ThemeAppIcon());
    EnableControlSkin(nullptr, true);
    SetThemeRole(tree_, ThemeRole::navigationTree);
    FillTree();
    // From the journal's own thread: told here, on this one.
    session_.OnJournalFailure([this](const std::string& why) {
        QMetaObject::invokeMethod(
            this, [this, reason = QString::fromStdString(why)] { OnJournalFailed(reason); }, Qt::QueuedConnection);
    });
    CreatePages();
    session_.FinishOpen();
    for (const auto& [id, page] : pages_) page->OnBookLoaded();
    initialised_ = true;
    ShowClock();
    timer_->start();
    tree_->setFocus();
    tree_->setCurrentItem(tree_->topLevelItem(0));
}

void CMainDlg::FillTree() {
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setMouseTracking(true); // hot tracking
    tree_->clear();
    for (const Root& r : TreeNodes()) {
        auto* root = new QTreeWidgetItem(tree_, {QString::fromUtf8(r.text)});
        for (const Node& n : r.children) new QTreeWidgetItem(root, {QString::fromUtf8(n.text)});
        root->setExpanded(true);
    }
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnTreeChanged(current); });
}

void CMainDlg::CreatePages() {
    const QRect area = tmpl::Ctl(this, ids::main_window::PageArea)->geometry();
    for (int id : kPageOrder) {
        CPage* page = nullptr;
        for (const PageFactory& f : factories_)
            if (f.templateId == id && f.make) {
                page = f.make(this, this);
                break;
            }
        if (!page && id == kWelcome) page = new CWelcomePage(this);
        if (!page) continue; // a window test that asked for fewer pages
        page->setGeometry(area);
        page->hide();
        pages_.emplace_back(id, page);
    }
}

CPage* CMainDlg::Page(int templateId) const {
    for (const auto& [id, page] : pages_)
        if (id == templateId) return page;
    return nullptr;
}

void CMainDlg::ShowOnly(int templateId) {
    for (const auto& [id, page] : pages_)
        if (id != templateId) page->hide();
    if (CPage* page = Page(templateId)) page->show();
}

bool CMainDlg::EditPolicy(int index) {
    auto* editor = dynamic_cast<PolicyEditor*>(Page(ids::entry::Template));
    if (!editor || !editor->EditPolicy(index)) return false;
    ShowOnly(ids::entry::Template);
    return true;
}

void CMainDlg::OnTreeChanged(QTreeWidgetItem* current) {
    if (!current || shutDown_) return;
    int chosen = kWelcome;
    if (QTreeWidgetItem* parent = current->parent()) {
        for (const Root& r : TreeNodes()) {
            if (parent->text(0) != QString::fromUtf8(r.text)) continue;
            for (const Node& n : r.children)
                if (current->text(0) == QString::fromUtf8(n.text)) chosen = n.page;
        }
    }
    for (const auto& [id, page] : pages_)
        if (id != chosen) page->hide();
    CPage* page = Page(chosen);
    if (!page) return;
    page->OnSelected();
    page->show();
    page->OnShown();
}

void CMainDlg::ShowClock() {
    today_ = clock_();
    const QDate d = today_.date();
    const QTime t = today_.time();
    if (d != shownDate_) {
        // Set at start and again whenever the day has changed since.
        shownDate_ = d;
        date_->setText(QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day()));
        weekday_->setText(QString::fromUtf8(kWeekdays[d.dayOfWeek() % 7]));
    }
    time_->setText(QStringLiteral("%1:%2:%3").arg(t.hour()).arg(t.minute()).arg(t.second()));
}

void CMainDlg::Tick() { ShowClock(); }

ReminderSwitches CMainDlg::Switches() const {
    // A switch no page holds keeps its stored value.
    ReminderSwitches s = session_.StoredSwitches();
    for (const auto& [id, page] : pages_) page->CollectSwitches(s);
    return s;
}

bool CMainDlg::RunReminders() {
    today_ = clock_();
    const QStringList boxes = TodaysReminders(session_.Book(), Switches(), today_.date());
    bool shown = false;
    for (const QString& text : boxes) {
        if (closeRequested_) break; // the program is ending: no further boxes
        msg::Info(this, text);
        shown = true;
    }
    return shown;
}

void CMainDlg::OnRemindButton() {
    if (!RunReminders() && !closeRequested_) msg::Info(this, QStringLiteral("今日没有任何提醒!"));
}

void CMainDlg::OnBackupButton() {
    const vantorel::Result<void> backup = session_.Backup();
    if (!backup) std::fprintf(stderr, "vantorel: backup failed: %s\n", backup.Reason().c_str());
    msg::Info(this, backup ? QStringLiteral("备份成功！") : QStringLiteral("备份失败！"));
}

void CMainDlg::OnImportButton() {
    for (const PageFactory& f : factories_)
        if (f.templateId == ids::import::Template && f.open) f.open(this, this);
}

void CMainDlg::OnJournalFailed(const QString& reason) {
    std::fprintf(stderr, "vantorel: cannot write %s: %s\n", vantorel::kJournalFileName,
                 reason.toLocal8Bit().constData());
    if (!closeRequested_ && interactive_) msg::Info(this, messages::JournalFailure(reason));
}

void CMainDlg::ShowStartMessages() {
    // One box: the files as loaded, then what the journal brought back.
    QStringList parts;
    for (const QString& part : {messages::DamagedFiles(session_.LoadResults(), session_.Folder()),
                                messages::Recovery(session_.Recovery(), session_.Folder())})
        if (!part.isEmpty()) parts << part;
    const vantorel::JournalRecovery& r = session_.Recovery();
    if (r.found)
        std::fprintf(stderr, "vantorel: the last run did not end in order: %d changes replayed, %d not applied%s%s\n",
                     r.Applied(), r.Unapplied(), r.setAside.empty() ? "" : "; journal kept as ",
                     r.setAside.empty() ? "" : r.setAside.string().c_str());
    if (!parts.isEmpty() && !closeRequested_) msg::Info(this, parts.join(QStringLiteral("\n\n")));
    RunReminders();
}

void CMainDlg::keyPressEvent(QKeyEvent* e) {
    // Escape would close the window behind the back of the shutdown sequence's caller.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept();
        return;
    }
    CXpDialog::keyPressEvent(e);
}

void CMainDlg::done(int r) {
    closeRequested_ = true;
    CXpDialog::done(r);
}

void CMainDlg::RequestClose(bool interactive) {
    if (!interactive) interactive_ = false;
    closeRequested_ = true;
    msg::CloseOpenBoxes();
    if (isVisible()) done(QDialog::Rejected);
}

void CMainDlg::SaveData() {
    vantorel::SaveReport report = session_.SaveAll();
    const vantorel::LoadReport& loaded = session_.LoadResults();
    QStringList beside;
    for (std::size_t i = 0; i < vantorel::kFileCount; ++i) {
        // A file kept from the load, its collection untouched: the user heard at start.
        if (report[i].outcome == vantorel::SaveOutcome::leftAlone) continue;
        while (report[i].outcome == vantorel::SaveOutcome::failed) {
            if (!interactive_ || !msg::Ask(nullptr, messages::SaveFailed(report[i].file, report[i].reason))) {
                std::fprintf(stderr, "vantorel: %s not saved: %s\n", report[i].file.c_str(), report[i].reason.c_str());
                break;
            }
            report[i] = session_.SaveOne(i);
        }
        if (report[i].outcome != vantorel::SaveOutcome::savedBeside) continue;
        // Typed into a collection whose file stays as it was: say where it went.
        const QString path =
            QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdString(report[i].savedAs.string())));
        const bool unreadable = loaded[i].state == vantorel::LoadState::unreadable;
        beside << messages::SavedBeside(report[i].file, unreadable, path);
        std::fprintf(stderr,
                     "vantorel: %s was not %sread at start-up and is left as it was; its records were saved to %s\n",
                     report[i].file.c_str(), unreadable ? "" : "completely ", path.toLocal8Bit().constData());
    }
    if (!beside.isEmpty() && interactive_) msg::Info(nullptr, beside.join(QLatin1Char('\n')));
}

void CMainDlg::WriteSwitches() { RemindSettings::Save(Switches()); }

void CMainDlg::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    closeRequested_ = true;
    if (initialised_) {
        SaveData();
        // Removed only now that the files hold everything; kept if one could not be saved.
        if (const vantorel::Result<void> closed = session_.CloseJournal(); !closed)
            std::fprintf(stderr, "vantorel: %s: %s\n", vantorel::kJournalFileName, closed.Reason().c_str());
        WriteSwitches();
        for (auto& [id, page] : pages_) delete page;
        pages_.clear();
    }
    timer_->stop();
}
