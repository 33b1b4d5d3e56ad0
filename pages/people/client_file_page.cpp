#include "client_file_page.h"

#include "agent/pinyin.h"
#include "agent/premium_due.h"
#include "agent/record_values.h"
#include "app/message_box.h"
#include "app/page_host.h"
#include "exchange/client_review.h"
#include "resources/templates/client_file_ids.h"
#include "resources/templates/client_file_template.h"
#include "theme/skin_list_ctrl.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QTextDocument>

using namespace clients;
namespace id = ids::client_file;

namespace {

const QString kGap = QStringLiteral("—");
constexpr QRgb kGapTint = 0xF6D8CE;

// The cover grid: a list whose gaps are tinted cells with a "—", so that an
// uncovered category stands out however many people the grid shows.
class CCoverGrid : public CSkinListCtrl {
public:
    using CSkinListCtrl::CSkinListCtrl;

protected:
    void drawRow(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        CSkinListCtrl::drawRow(p, option, index);
        const int row = index.row();
        for (int col = 1; col < GetColumnCount(); ++col) {
            if (GetItemText(row, col) != kGap) continue;
            const QRect cell(columnViewportPosition(col), option.rect.top(), columnWidth(col) - 1,
                             option.rect.height() - 1);
            p->fillRect(cell, QColor::fromRgb(kGapTint));
            p->setPen(QColor::fromRgb(theme::kListText));
            p->drawText(cell, Qt::AlignCenter, kGap);
        }
    }
};

CClientFilePage::PrintResponder& Printing() {
    static CClientFilePage::PrintResponder responder;
    return responder;
}

QString DateText(const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString(); }

QString NamesText(const ClientFile& f) {
    return f.names.size() > 1 ? f.names.join(QStringLiteral(" / ")) + QStringLiteral("（姓名不一致）") : f.data.name;
}

} // namespace

void CClientFilePage::SetPrintResponder(PrintResponder responder) { Printing() = std::move(responder); }

CClientFilePage::CClientFilePage(const vantorel::DataBook& book, PageHost* host, QWidget* parent)
    : CPage(tmpl::ClientFileTemplate(), parent,
            [](const tmpl::Control& c, QWidget* parent) -> QWidget* {
                if (c.id == id::Grid) return new CCoverGrid(parent);
                auto* bar = new QProgressBar(parent);
                bar->setRange(0, 1000);
                bar->setTextVisible(false);
                return bar;
            }),
      book_(book), host_(host), people_(Ctl<CSkinListCtrl>(id::People)), policies_(Ctl<CSkinListCtrl>(id::Policies)),
      linked_(Ctl<CSkinListCtrl>(id::Linked)), grid_(Ctl<CSkinListCtrl>(id::Grid)),
      next90_(Ctl<CSkinListCtrl>(id::Next90)), progress_(Ctl<QProgressBar>(id::Progress)) {
    binding_.Text(id::Search, &search_, QStringLiteral("查找"));
    auto* search = Ctl<QLineEdit>(id::Search);
    search->setPlaceholderText(QStringLiteral("姓名、拼音、身份证号或电话"));
    SetUpList(people_, {{QStringLiteral("姓名"), 100},
                        {QStringLiteral("身份证号"), 150},
                        {QStringLiteral("手机"), 100},
                        {QStringLiteral("角色"), 170},
                        {QStringLiteral("保单数"), 50}});
    SetUpList(policies_, {{QStringLiteral("保险单号"), 80},
                          {QStringLiteral("角色"), 80},
                          {QStringLiteral("保险公司"), 70},
                          {QStringLiteral("险种名称"), 120},
                          {QStringLiteral("保险金额(万元)"), 90},
                          {QStringLiteral("年缴保费"), 70},
                          {QStringLiteral("生效日期"), 75},
                          {QStringLiteral("下次缴费日"), 75}});
    SetUpList(linked_,
              {{QStringLiteral("姓名"), 60}, {QStringLiteral("关联保单"), 150}, {QStringLiteral("身份证号"), 130}});
    SetUpList(grid_, {{QStringLiteral("类别"), 40}});
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    SetUpList(next90_, {{QStringLiteral("日期"), 72}, {QStringLiteral("事项"), 260}});
    auto* keywords = Ctl<QLabel>(id::Keywords);
    keywords->setWordWrap(true);
    keywords->setText(QStringLiteral("类别按险种名称中的关键字依次判断：") + cover::KeywordTableText());
    Ctl<QLabel>(id::Totals)->setWordWrap(true);

    OnClick(id::Find, [this] { RunSearch(); });
    // Enter in the search text finds, as the button beside it does.
    connect(search, &QLineEdit::returnPressed, this, [this] { RunSearch(); });
    // ICU takes longer to open than a few letters take to type: the first Latin letter starts it.
    connect(search, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!pinyin_ && !PinyinIndex::LatinQuery(text).empty()) PinyinIndex::Prepare();
    });
    // A row reached by the mouse or the keyboard shows its person.
    connect(people_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) OnPersonRow(current.row());
            });
    // Double click or Enter.
    connect(linked_, &QAbstractItemView::activated, this, [this](const QModelIndex& i) { OnLinked(i.row()); });
    connect(policies_, &QAbstractItemView::activated, this, [this](const QModelIndex& i) { OnPolicy(i.row()); });
    OnClick(id::Review, [this] { OnReview(); });
    OnClick(id::Print, [this] { OnPrint(); });
    setTabOrder(search, Ctl<QWidget>(id::Find));
    setTabOrder(Ctl<QWidget>(id::Find), people_);
    setTabOrder(people_, policies_);
    setTabOrder(policies_, linked_);
    setTabOrder(linked_, next90_);
    setTabOrder(next90_, Ctl<QWidget>(id::Review));
    setTabOrder(Ctl<QWidget>(id::Review), Ctl<QWidget>(id::Print));

    rebuild_.setSingleShot(true);
    rebuild_.setInterval(200);
    connect(&rebuild_, &QTimer::timeout, this, [this] {
        if (isVisible()) StartBuild();
    });
    // Told of every change, whoever makes it.
    for (const vantorel::CObject* c :
         std::initializer_list<const vantorel::CObject*>{&book_.insurance, &book_.clients, &book_.members})
        observed_.emplace_back(c, c->Observe([this](const vantorel::CollectionChange&) { Changed(); }));
    ShowValues();
    ClearFile();
}

CClientFilePage::~CClientFilePage() {
    for (const auto& [collection, observer] : observed_) collection->Unobserve(observer);
    StopBuild();
    for (CSkinListCtrl* l : {people_, policies_, linked_, grid_, next90_}) l->DeleteAllItems();
}

void CClientFilePage::OnShown() {
    // A build stopped by a change is started again.
    if (!index_ && (!building_ || stop_->load())) StartBuild();
}

void CClientFilePage::StopBuild() {
    if (stop_) stop_->store(true);
    if (worker_.joinable()) worker_.join();
    building_ = false;
}

void CClientFilePage::StartBuild() {
    StopBuild();
    rebuild_.stop();
    // The views are taken here, where the records change; the thread reads only them.
    auto records = std::make_shared<const BookRecords>(book_);
    dropped_ = false;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    stop_ = stop;
    const std::uint64_t build = ++build_;
    building_ = true;
    progress_->setValue(0);
    progress_->show();
    Ctl<QLabel>(id::Status)->hide();
    worker_ = std::thread([this, records, stop, build] {
        int told = -1;
        std::optional<PersonIndex> index = PersonIndex::Build(*records, [&](std::int64_t done, std::int64_t total) {
            if (stop->load()) return false;
            const int permille = total > 0 ? int(done * 1000 / total) : 1000;
            if (permille >= told + 10) { // every 1 %
                told = permille;
                QMetaObject::invokeMethod(
                    this,
                    [this, build, permille] {
                        if (build == build_) progress_->setValue(permille);
                    },
                    Qt::QueuedConnection);
            }
            return true;
        });
        if (stop->load()) return;
        auto result = std::make_shared<std::optional<PersonIndex>>(std::move(index));
        QMetaObject::invokeMethod(
            this, [this, build, result] { Built(build, std::move(*result)); }, Qt::QueuedConnection);
    });
}

void CClientFilePage::Built(std::uint64_t build, std::optional<PersonIndex> index) {
    if (build != build_ || !index) return; // a change came after the views: another build follows
    if (worker_.joinable()) worker_.join();
    building_ = false;
    index_ = std::move(index);
    progress_->hide();
    Ctl<QLabel>(id::Status)->show();
    RunSearch(); // the text typed meanwhile, or every person
}

void CClientFilePage::Changed() {
    // An import changes the book a hundred thousand times: once the list
    // and the file are gone, a change only puts the next gathering off.
    if (dropped_) {
        if (isVisible()) rebuild_.start();
        return;
    }
    dropped_ = true;
    // The list points into the records as they were: it goes at once.
    if (index_ && file_.person >= 0) {
        const PersonTexts t = PersonIndex::Texts(book_, index_->Shown(file_.person));
        keptName_ = std::string(t.name);
        keptId_ = std::string(t.idNumber);
        keptBirth_ = std::string(t.birthDate);
    }
    index_.reset();
    ++build_; // a list gathered before this change is not shown
    found_ = {};
    people_->DeleteAllItems();
    ClearFile();
    if (stop_) stop_->store(true);
    progress_->hide();
    auto* status = Ctl<QLabel>(id::Status);
    status->setText(QStringLiteral("资料有改动，正在重新整理…"));
    status->show();
    // Gathered again when the page is shown: now, after a burst of changes, or later.
    if (isVisible()) rebuild_.start();
}

void CClientFilePage::RunSearch() {
    CommitQuiet();
    if (!index_) return; // the list, once gathered, applies the search
    if (!pinyin_ && !PinyinIndex::LatinQuery(search_).empty()) pinyin_ = std::make_unique<PinyinIndex>();
    found_ = index_->Search(book_, search_, pinyin_.get());
    ShowPeople();
}

void CClientFilePage::ShowPeople() {
    auto cell = [this](int person, int column) { return PersonCell(person, column); };
    const int shown = file_.person;
    if (found_.all)
        people_->ShowRecords(index_->Count(), cell);
    else
        people_->ShowRecords(found_.people, cell);
    auto* status = Ctl<QLabel>(id::Status);
    status->setText(found_.all ? QStringLiteral("共 %1 人").arg(index_->Count())
                               : QStringLiteral("找到 %1 人").arg(found_.people.size()));
    // The person kept across a change is found again by their key.
    int wanted = shown;
    if (wanted < 0 && keptName_) {
        wanted = index_->Find(book_, {*keptName_, *keptId_, *keptBirth_, {}, {}, {}});
        keptName_.reset();
    }
    if (wanted >= 0) {
        int row = -1;
        if (found_.all)
            row = wanted;
        else if (auto it = std::lower_bound(found_.people.begin(), found_.people.end(), wanted);
                 it != found_.people.end() && *it == wanted)
            row = int(it - found_.people.begin());
        if (row >= 0) {
            people_->SelectRow(row);
            people_->scrollTo(people_->model()->index(row, 0));
            if (file_.person != wanted) OpenPerson(wanted);
        }
    }
    emit listReady();
}

QString CClientFilePage::PersonCell(int person, int column) const {
    if (!index_ || person < 0 || person >= index_->Count()) return {};
    const PersonTexts t = PersonIndex::Texts(book_, index_->Shown(person));
    switch (column) {
    case 0: return index_->NamesDiffer(person) ? TextOf(t.name) + QStringLiteral("（姓名不一致）") : TextOf(t.name);
    case 1: return TextOf(t.idNumber);
    case 2: return TextOf(t.mobile);
    case 3: return RolesText(index_->Roles(person));
    case 4: return QString::number(index_->PolicyCount(person));
    default: return {};
    }
}

void CClientFilePage::OnPersonRow(int row) {
    const int person = people_->RecordOfRow(row);
    if (person >= 0 && person != file_.person) OpenPerson(person);
}

void CClientFilePage::OpenPerson(int person) {
    if (!index_ || person < 0 || person >= index_->Count()) return;
    file_ = OpenFile(*index_, book_, person, host_ ? host_->Today() : QDate::currentDate());
    // The person stands in the list too: when a search hides them, every person is listed again.
    const int row = found_.all
                        ? person
                        : int(std::find(found_.people.begin(), found_.people.end(), person) - found_.people.begin());
    if (!found_.all && row >= int(found_.people.size())) {
        found_ = {};
        search_.clear();
        ShowValues();
        ShowPeople(); // selects the person shown
        ShowFile();
        return;
    }
    if (people_->GetFirstSelected() != row) {
        people_->SelectRow(row);
        people_->scrollTo(people_->model()->index(row, 0));
    }
    ShowFile();
}

void CClientFilePage::ClearFile() {
    file_ = {};
    for (int edit : {id::Name, id::IdNumber, id::Sex, id::Birth, id::Mobile, id::HomePhone, id::WorkPhone,
                     id::Occupation, id::Address, id::Source})
        Ctl<QLineEdit>(edit)->clear();
    Ctl<QLabel>(id::Totals)->clear();
    for (CSkinListCtrl* l : {policies_, linked_, grid_, next90_}) l->DeleteAllItems();
    while (grid_->GetColumnCount() > 1) grid_->DeleteColumn(grid_->GetColumnCount() - 1);
}

void CClientFilePage::ShowFile() {
    const ClientFile& f = file_;
    const PersonalData& d = f.data;
    const std::pair<int, QString> fields[] = {
        {id::Name, NamesText(f)},     {id::IdNumber, d.idNumber},     {id::Sex, d.sex},
        {id::Birth, d.birthDate},     {id::Mobile, d.mobile},         {id::HomePhone, d.homePhone},
        {id::WorkPhone, d.workPhone}, {id::Occupation, d.occupation}, {id::Address, d.homeAddress},
        {id::Source, d.source},
    };
    for (const auto& [edit, text] : fields) {
        auto* e = Ctl<QLineEdit>(edit);
        e->setText(text);
        e->setCursorPosition(0);
    }
    QStringList own;
    for (std::size_t k = 0; k < cover::kCategories; ++k)
        own << cover::Name(k) + QLatin1Char(' ') + CoverCell(f.own, cover::Category(k));
    Ctl<QLabel>(id::Totals)
        ->setText(QStringLiteral("年缴保费（作为投保人，含附加险）：%1 元\n保险金额（作为被保险人，万元）：%2")
                      .arg(premium::Amount(f.premiumAsHolder), own.join(QStringLiteral("，"))));

    std::vector<QStringList> rows;
    for (const PolicyLine& l : f.policies)
        rows.push_back({l.policyNo, RolesText(l.roles), l.company,
                        (l.rider ? QStringLiteral("（附加）") : QString()) + l.product, SumText(l.sumInsured),
                        premium::Amount(l.annualPremium), l.effectiveDate, DateText(l.nextDue)});
    policies_->SetRows(std::move(rows));

    rows.clear();
    for (const LinkedPerson& l : f.linked) rows.push_back({l.name, l.how, l.idNumber});
    linked_->SetRows(std::move(rows));

    while (grid_->GetColumnCount() > 1) grid_->DeleteColumn(grid_->GetColumnCount() - 1);
    for (const CoverColumn& c : f.grid) grid_->InsertColumn(grid_->GetColumnCount(), c.name, 64);
    rows.clear();
    for (std::size_t k = 0; k < cover::kCategories; ++k) {
        QStringList row = {cover::Name(k)};
        for (const CoverColumn& c : f.grid) row << CoverCell(c, cover::Category(k));
        rows.push_back(row);
    }
    grid_->SetRows(std::move(rows));

    rows.clear();
    for (const DueLine& l : f.next90) rows.push_back({DateText(l.date), l.what});
    next90_->SetRows(std::move(rows));
}

void CClientFilePage::OnLinked(int row) {
    if (row < 0 || row >= int(file_.linked.size())) return;
    OpenPerson(file_.linked[std::size_t(row)].person);
}

void CClientFilePage::OnPolicy(int row) {
    if (row < 0 || row >= int(file_.policies.size()) || !host_) return;
    host_->EditPolicy(file_.policies[std::size_t(row)].policy);
}

bool CClientFilePage::HaveFile() {
    if (file_.person >= 0) return true;
    msg::Info(this, QStringLiteral("请先选择客户!"));
    return false;
}

void CClientFilePage::OnReview() {
    if (!HaveFile()) return;
    const QString filter = QStringLiteral("PDF 文件 (*.pdf)");
    QString path = msg::SaveFileName(this, QStringLiteral("保存保单检视报告"), ReviewFileName(file_), filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const vantorel::Result<void> written = WriteReviewPdf(path, file_);
    QApplication::restoreOverrideCursor();
    msg::Info(this,
              written ? QStringLiteral("保单检视报告已保存到 %1").arg(path) : QString::fromStdString(written.Reason()));
}

void CClientFilePage::OnPrint() {
    if (!HaveFile()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("保单检视报告"));
    bool go = false;
    if (Printing()) {
        go = Printing()(printer);
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("打印保单检视报告"));
        go = dialog.exec() == QDialog::Accepted;
    }
    if (!go) return;
    ReviewDocument(file_)->print(&printer);
    if (printer.printerState() == QPrinter::Error) msg::Info(this, QStringLiteral("打印失败！"));
}
