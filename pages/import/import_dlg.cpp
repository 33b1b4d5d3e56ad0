#include "import_dlg.h"

#include "app/message_box.h"
#include "app/page_host.h"
#include "app/progress_job.h"
#include "app/template_builder.h"
#include "exchange/import_apply.h"
#include "exchange/import_refused.h"
#include "resources/templates/import_ids.h"
#include "resources/templates/import_template.h"
#include "theme/control_skin.h"
#include "theme/skin_list_ctrl.h"
#include "theme/theme_pictures.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <future>

using namespace vantorel;
using namespace vantorel::exchange;

namespace {

namespace id = ids::import;

constexpr int kFixedColumns = 3; // 行, 状态, 原因
// Rows offered as the header row: a header lies near the top.
constexpr int kHeaderChoices = 30;
// The longest the window thread applies rows before it lets the window paint.
constexpr auto kStepBudget = std::chrono::milliseconds(25);

const QString kWarn = QStringLiteral("⚠ ");

QString ColumnName(int column) {
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

QString Short(QString text, int length) {
    text.replace(u'\n', u' ');
    return text.size() > length ? text.left(length - 1) + u'…' : text;
}

QString FileName(const QString& path) { return QFileInfo(path).fileName(); }

} // namespace

CImportDlg::CImportDlg(PageHost* host, QWidget* owner) : CXpDialog(owner), host_(host) {
    tmpl::Build(tmpl::ImportTemplate(), this);
    SetTitle(QStringLiteral("导入数据"));
    setWindowIcon(ThemeDialogIcon());
    SetThemeRole(this, ThemeRole::page);

    pathEdit_ = tmpl::Ctl<QLineEdit>(this, id::Path);
    kind_ = tmpl::Ctl<QComboBox>(this, id::Kind);
    sheet_ = tmpl::Ctl<QComboBox>(this, id::Sheet);
    headerRow_ = tmpl::Ctl<QComboBox>(this, id::HeaderRow);
    columns_ = tmpl::Ctl<CSkinListCtrl>(this, id::Columns);
    field_ = tmpl::Ctl<QComboBox>(this, id::Field);
    matching_ = tmpl::Ctl<QLabel>(this, id::Matching);
    preview_ = tmpl::Ctl<CSkinListCtrl>(this, id::Preview);
    counts_ = tmpl::Ctl<QLabel>(this, id::Counts);
    skip_ = tmpl::Ctl<QAbstractButton>(this, id::Skip);
    update_ = tmpl::Ctl<QAbstractButton>(this, id::Update);
    keepBoth_ = tmpl::Ctl<QAbstractButton>(this, id::KeepBoth);
    start_ = tmpl::Ctl<QAbstractButton>(this, id::Start);

    SetUpList(columns_, {{QStringLiteral("列"), 36},
                         {QStringLiteral("标题"), 150},
                         {QStringLiteral("示例"), 120},
                         {QStringLiteral("对应字段"), 160}});
    SetUpList(preview_, {{QStringLiteral("行"), 44}, {QStringLiteral("状态"), 96}, {QStringLiteral("原因"), 220}});
    matching_->setWordWrap(true);
    skip_->setChecked(true);
    keepBoth_->setEnabled(false);
    sheet_->setEnabled(false);
    counts_->setText(QStringLiteral("请选择要导入的文件。"));

    connect(tmpl::Ctl<QAbstractButton>(this, id::Choose), &QAbstractButton::clicked, this, [this] {
        const QString path =
            msg::OpenFileName(this, QStringLiteral("选择要导入的文件"),
                              QStringLiteral("电子表格和 CSV 文件 (*.xlsx *.xls *.csv *.txt);;所有文件 (*)"));
        if (!path.isEmpty()) OpenFile(path);
    });
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        keepBoth_->setEnabled(KeepBothAllowed(Kind()));
        if (keepBoth_->isChecked() && !keepBoth_->isEnabled()) skip_->setChecked(true);
        Rematch();
    });
    connect(sheet_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) ReadSheet();
    });
    connect(headerRow_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) Rematch();
    });
    connect(columns_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { OnColumnSelected(); });
    connect(field_, &QComboBox::activated, this, &CImportDlg::OnFieldChosen);
    connect(tmpl::Ctl<QAbstractButton>(this, id::Check), &QAbstractButton::clicked, this, [this] { Check(); });
    for (QAbstractButton* b : {skip_, update_, keepBoth_})
        connect(b, &QAbstractButton::toggled, this, [this](bool on) {
            if (on) UpdateCounts();
        });
    connect(preview_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { EditCell(index.row(), index.column()); });
    preview_->installEventFilter(this);
    connect(start_, &QAbstractButton::clicked, this, &CImportDlg::Import);
    connect(tmpl::Ctl<QAbstractButton>(this, id::SaveRefused), &QAbstractButton::clicked, this,
            &CImportDlg::SaveRefused);
    connect(tmpl::Ctl<QAbstractButton>(this, id::Close), &QAbstractButton::clicked, this, &CImportDlg::reject);

    Rematch();
    if (owner) move(owner->window()->geometry().center() - rect().center());
}

CImportDlg::~CImportDlg() = default;

CollectionId CImportDlg::Kind() const { return kCollections[std::size_t(std::max(0, kind_->currentIndex()))]; }

DuplicateChoice CImportDlg::Choice() const {
    if (update_->isChecked()) return DuplicateChoice::update;
    if (keepBoth_->isChecked() && keepBoth_->isEnabled()) return DuplicateChoice::keepBoth;
    return DuplicateChoice::skip;
}

void CImportDlg::OpenFile(const QString& path) {
    // A CSV's encoding is checked over the whole file, which takes half a
    // second for a large one: on a thread of its own, as the reading.
    std::optional<Result<WorkbookInfo>> opened;
    if (RunInBackground(this, QStringLiteral("正在打开 %1……").arg(FileName(path)),
                        [&](JobProgress&) { opened = OpenSheets(path); }) == JobEnd::cancelled)
        return;
    const Result<WorkbookInfo>& info = *opened;
    if (!info) {
        msg::Info(this, QStringLiteral("无法导入 %1：%2").arg(FileName(path), QString::fromStdString(info.Reason())));
        return;
    }
    path_ = path;
    info_ = *info;
    pathEdit_->setText(QDir::toNativeSeparators(path));
    filling_ = true;
    sheet_->clear();
    if (info_.kind == FileKind::csv)
        sheet_->addItem(QStringLiteral("（CSV 文件，%1）").arg(info_.csvEncoding));
    else
        sheet_->addItems(info_.sheets);
    sheet_->setEnabled(info_.kind != FileKind::csv && info_.sheets.size() > 1);
    filling_ = false;
    ReadSheet();
}

void CImportDlg::ReadSheet() {
    table_.reset();
    Invalidate();
    if (path_.isEmpty()) return;
    std::optional<Result<vantorel::exchange::SheetTable>> read;
    const int sheet = std::max(0, sheet_->currentIndex());
    const JobEnd end = RunInBackground(this, QStringLiteral("正在读取 %1……").arg(FileName(path_)), [&](JobProgress& p) {
        read = vantorel::exchange::ReadSheet(path_, sheet, [&p](double f) { return p.Report(f); });
    });
    if (end == JobEnd::cancelled || !*read) {
        if (end != JobEnd::cancelled)
            msg::Info(this,
                      QStringLiteral("无法导入 %1：%2").arg(FileName(path_), QString::fromStdString(read->Reason())));
        Rematch();
        return;
    }
    table_ = std::make_shared<const vantorel::exchange::SheetTable>(std::move(**read));
    FillHeaderRows();
    Rematch();
}

void CImportDlg::FillHeaderRows() {
    filling_ = true;
    headerRow_->clear();
    const int first = table_ ? FirstNonEmptyRow(*table_) : -1;
    for (int i = 0; table_ && i < table_->RowCount() && headerRow_->count() < kHeaderChoices; ++i) {
        QStringList cells;
        for (const TableCell& c : table_->Row(i))
            if (!c.IsBlank()) cells << c.DisplayText();
        if (cells.isEmpty()) continue;
        headerRow_->addItem(QStringLiteral("第 %1 行：%2").arg(table_->FileRow(i)).arg(Short(cells.join(u'|'), 60)), i);
        if (i == first) headerRow_->setCurrentIndex(headerRow_->count() - 1);
    }
    filling_ = false;
}

void CImportDlg::Rematch() {
    const FieldCatalogue& fields = FieldCatalogue::Of(Kind());
    filling_ = true;
    field_->clear();
    field_->addItem(QStringLiteral("不导入"));
    for (const ImportField& f : fields.Fields()) field_->addItem(f.label);
    filling_ = false;
    mapping_.clear();
    if (table_ && headerRow_->currentIndex() >= 0) {
        const int header = headerRow_->currentData().toInt();
        QStringList headers;
        for (int c = 0; c < table_->ColumnCount(); ++c) headers << table_->At(header, c).DisplayText();
        mapping_ = MatchColumns(fields, headers);
    }
    FillColumns();
    Invalidate();
}

void CImportDlg::FillColumns() {
    const int selected = columns_->GetFirstSelected();
    const FieldCatalogue& fields = FieldCatalogue::Of(Kind());
    const std::vector<int> conflicts = ConflictingColumns(mapping_);
    const int header = table_ && headerRow_->currentIndex() >= 0 ? headerRow_->currentData().toInt() : -1;
    // The first row under the header with a value in the column, as an example.
    auto example = [&](int c) -> QString {
        for (int r = header + 1; table_ && r < table_->RowCount() && r < header + 50; ++r)
            if (const TableCell cell = table_->At(r, c); !cell.IsBlank()) return Short(cell.DisplayText(), 30);
        return {};
    };
    std::vector<QStringList> rows;
    for (int c = 0; c < int(mapping_.size()); ++c) {
        const int f = mapping_[std::size_t(c)];
        QString target = f >= 0             ? fields.At(f).label
                         : f == kBeyondList ? kWarn + QStringLiteral("第十一个以上，不能导入")
                                            : QStringLiteral("不导入");
        if (std::find(conflicts.begin(), conflicts.end(), c) != conflicts.end())
            target = kWarn + target + QStringLiteral("（冲突）");
        rows.push_back({ColumnName(c), Short(table_->At(header, c).DisplayText(), 40), example(c), target});
    }
    columns_->SetRows(std::move(rows));
    if (selected >= 0 && selected < int(mapping_.size())) columns_->SelectRow(selected);

    QStringList notes;
    if (!conflicts.empty()) {
        QStringList names;
        for (const int c : conflicts) names << ColumnName(c);
        notes << QStringLiteral("冲突：%1 列对应同一个字段，请为其中一列另选字段或选“不导入”。").arg(names.join(u'、'));
    }
    for (const int k : fields.RequiredFields())
        if (table_ && std::find(mapping_.begin(), mapping_.end(), k) == mapping_.end())
            notes << QStringLiteral("没有一列对应“%1”。").arg(fields.At(k).label);
    const auto skipped = std::count(mapping_.begin(), mapping_.end(), kSkip);
    if (table_)
        notes << QStringLiteral("%1 列导入，%2 列不导入。").arg(qsizetype(mapping_.size()) - skipped).arg(skipped);
    matching_->setText(notes.join(u'\n'));
    OnColumnSelected();
}

void CImportDlg::OnColumnSelected() {
    const int row = columns_->GetFirstSelected();
    field_->setEnabled(row >= 0 && row < int(mapping_.size()));
    if (row < 0 || row >= int(mapping_.size())) return;
    filling_ = true;
    field_->setCurrentIndex(std::max(0, mapping_[std::size_t(row)] + 1));
    filling_ = false;
}

void CImportDlg::OnFieldChosen(int index) {
    const int row = columns_->GetFirstSelected();
    if (filling_ || row < 0 || row >= int(mapping_.size())) return;
    mapping_[std::size_t(row)] = index <= 0 ? kSkip : index - 1;
    FillColumns();
    Invalidate();
}

void CImportDlg::Invalidate() {
    CloseEditor();
    plan_.reset();
    imported_ = false;
    previewColumns_.clear();
    while (preview_->GetColumnCount() > kFixedColumns) preview_->DeleteColumn(kFixedColumns);
    preview_->ShowRecords(0, {});
    counts_->setText(table_ ? QStringLiteral("按“检查”逐行检查；“开始导入”也会先检查。")
                            : QStringLiteral("请选择要导入的文件。"));
}

bool CImportDlg::Check() {
    if (!table_) {
        msg::Info(this, QStringLiteral("请先选择要导入的文件。"));
        return false;
    }
    if (!ConflictingColumns(mapping_).empty()) {
        msg::Info(this, QStringLiteral("有两列对应同一个字段，请先在“列的对应”中改正。"));
        return false;
    }
    Invalidate();
    // The keys are read here, on the thread that owns the book; the rows are
    // checked against this snapshot on a thread of their own.
    keys_ = KeyIndex::Of(host_->Book(), Kind());
    auto plan = std::make_unique<ImportPlan>(table_, headerRow_->currentData().toInt(), info_.kind, Kind(), mapping_);
    const JobEnd end = RunInBackground(this, QStringLiteral("正在检查每一行……"), [&](JobProgress& p) {
        plan->CheckAll(keys_, [&p](double f) { return p.Report(f); });
    });
    if (end == JobEnd::cancelled) return false;
    plan_ = std::move(plan);
    FillPreview();
    return true;
}

void CImportDlg::FillPreview() {
    const QStringList headers = plan_->Headers();
    QStringList captions;
    for (int c = 0; c < int(mapping_.size()); ++c)
        if (mapping_[std::size_t(c)] != kSkip) {
            const int f = mapping_[std::size_t(c)];
            const QString label = f >= 0 ? plan_->Fields().At(f).label : QString();
            QString caption = headers.value(c).trimmed();
            if (label != caption && !label.isEmpty()) caption += QStringLiteral("→") + label;
            captions << caption;
            previewColumns_.push_back(c);
        }
    preview_->AppendColumns(captions, 110);
    preview_->ShowRecords(plan_->RowCount(), [this](int row, int column) { return PreviewText(row, column); });
    UpdateCounts();
}

int CImportDlg::PreviewFileColumn(int previewColumn) const {
    const int k = previewColumn - kFixedColumns;
    return k >= 0 && k < int(previewColumns_.size()) ? previewColumns_[std::size_t(k)] : -1;
}

QString CImportDlg::PreviewText(int row, int column) const {
    if (!plan_ || row >= plan_->RowCount()) return {};
    const PlannedRow& p = plan_->Row(row);
    switch (column) {
    case 0: return QString::number(plan_->Table().FileRow(p.tableRow));
    case 1: {
        QString state = StateText(p.state);
        if (p.state == RowState::updated && !plan_->Imports(row, Choice())) state += QStringLiteral("（跳过）");
        if (p.state == RowState::updated && Choice() == DuplicateChoice::keepBoth && plan_->Imports(row, Choice()))
            state += QStringLiteral("（都保留）");
        return state;
    }
    case 2: return plan_->Reasons(row);
    default: break;
    }
    const int c = PreviewFileColumn(column);
    if (c < 0) return {};
    const QString text = plan_->CellText(row, c);
    if (!plan_->CellIssueText(row, c).isEmpty()) return kWarn + text;
    const CellReading r = plan_->Read(row, c);
    return r.shown.isEmpty() ? text : QStringLiteral("%1（%2）").arg(text, r.shown);
}

void CImportDlg::UpdateCounts() {
    if (!plan_) return;
    const ImportCounts n = plan_->Count(Choice());
    int errors = 0, duplicates = 0;
    for (int i = 0; i < plan_->RowCount(); ++i) {
        errors += plan_->Row(i).state == RowState::error;
        duplicates += plan_->Row(i).state == RowState::duplicate && !plan_->Imports(i, Choice());
    }
    counts_->setText(QStringLiteral("共 %1 行：新增 %2，更新 %3，跳过 %4，不导入 %5（错误 %6，重复 %7）")
                         .arg(plan_->RowCount())
                         .arg(n.added)
                         .arg(n.updated)
                         .arg(n.skipped)
                         .arg(n.refused)
                         .arg(errors)
                         .arg(duplicates));
    preview_->viewport()->update();
}

void CImportDlg::Import() {
    CloseEditor();
    if (imported_) {
        msg::Info(this, QStringLiteral("这些行已经导入。要再导入，请先按“检查”。"));
        return;
    }
    if (!plan_ && !Check()) return;
    const DuplicateChoice choice = Choice();
    if (plan_->Count(choice).added + plan_->Count(choice).updated == 0) {
        msg::Info(this, QStringLiteral("没有可以导入的行。"));
        return;
    }
    ImportApplier apply(*plan_, choice, host_->Book());
    // A row counts as imported once the recovery journal holds it on disk:
    // the journal is flushed on a thread of its own while rows go on.
    std::future<Result<void>> flushing;
    int flushingAt = 0, confirmed = 0;
    const int rows = plan_->RowCount();
    auto flushed = [&] {
        if (!flushing.valid() || flushing.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
        // A journal that cannot be written is told by the main window itself.
        (void)flushing.get();
        confirmed = flushingAt;
        return true;
    };
    auto flush = [&] {
        flushingAt = apply.RowsDone();
        flushing = std::async(std::launch::async, [host = host_] { return host->FlushJournal(); });
    };
    const JobEnd end = RunInSteps(this, QStringLiteral("正在导入……"), [&](JobProgress& p) {
        flushed();
        if (!p.Cancelled()) {
            if (!apply.Done()) apply.Step(kStepBudget);
            if (!flushing.valid() && confirmed < apply.RowsDone()) flush();
            p.Report(double(confirmed) / std::max(1, rows));
            p.SetText(QStringLiteral("已导入 %1 / %2 行").arg(confirmed).arg(rows));
            return apply.Done() && confirmed == rows;
        }
        // Cancelled: every change goes back through the collections, so that
        // the book and its journal end as they were.
        if (flushing.valid()) return false;
        const auto start = std::chrono::steady_clock::now();
        while (!apply.Undo(64))
            if (std::chrono::steady_clock::now() - start > kStepBudget) return false;
        (void)host_->FlushJournal();
        return true;
    });
    if (flushing.valid()) flushing.wait();
    if (end == JobEnd::cancelled) {
        msg::Info(this, QStringLiteral("导入已取消，资料没有改动。"));
        return;
    }
    imported_ = true;
    const ImportCounts n = apply.Counts();
    QString said = QStringLiteral("导入完成：新增 %1 条，更新 %2 条，跳过 %3 条，未导入 %4 条。")
                       .arg(n.added)
                       .arg(n.updated)
                       .arg(n.skipped)
                       .arg(n.refused);
    if (n.refused > 0) said += QStringLiteral("\n未导入的行可以用“保存未导入的行”保存为电子表格，改正后再导入。");
    counts_->setText(said.section(u'\n', 0, 0));
    msg::Info(this, said);
}

void CImportDlg::SaveRefused() {
    CloseEditor();
    if (!plan_) {
        msg::Info(this, QStringLiteral("请先按“检查”。"));
        return;
    }
    if (plan_->Count(Choice()).refused == 0) {
        msg::Info(this, QStringLiteral("没有未导入的行。"));
        return;
    }
    QString chosen = QStringLiteral("Excel 工作簿 (*.xlsx)");
    QString path =
        msg::SaveFileName(this, QStringLiteral("保存未导入的行"),
                          QFileInfo(path_).completeBaseName() + QStringLiteral("-未导入.xlsx"), chosen, &chosen);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xlsx");
    const Result<int> written = WriteRefusedRows(path, *plan_, Choice());
    msg::Info(this, written ? QStringLiteral("%1 行已保存到 %2，原因在最后一列。").arg(*written).arg(path)
                            : QString::fromStdString(written.Reason()));
}

void CImportDlg::EditCell(int row, int previewColumn) {
    CloseEditor();
    if (!plan_ || row < 0 || row >= plan_->RowCount() || previewColumns_.empty()) return;
    int column = PreviewFileColumn(previewColumn);
    if (column < 0) { // the row's first bad cell, else its first cell
        column = previewColumns_.front();
        for (const int c : previewColumns_)
            if (!plan_->CellIssueText(row, c).isEmpty()) {
                column = c;
                break;
            }
    }
    const int shown = kFixedColumns +
                      int(std::find(previewColumns_.begin(), previewColumns_.end(), column) - previewColumns_.begin());
    preview_->SelectRow(row);
    const QModelIndex index = preview_->model()->index(row, shown);
    preview_->scrollTo(index);
    editor_ = new QLineEdit(preview_->viewport());
    editor_->setObjectName(QStringLiteral("cellEditor"));
    editor_->setGeometry(preview_->visualRect(index));
    editor_->setText(plan_->CellText(row, column));
    editor_->setToolTip(plan_->CellIssueText(row, column));
    editor_->installEventFilter(this);
    editRow_ = row;
    editColumn_ = column;
    editor_->show();
    editor_->setFocus();
    editor_->selectAll();
}

void CImportDlg::CommitEdit() {
    if (!editor_ || !plan_) return;
    const QString text = editor_->text();
    const int row = editRow_, column = editColumn_;
    CloseEditor();
    plan_->Correct(row, column, text, keys_);
    UpdateCounts();
    preview_->SelectRow(row);
    preview_->setFocus();
}

void CImportDlg::CloseEditor() {
    if (!editor_) return;
    QLineEdit* e = editor_;
    editor_ = nullptr;
    e->hide();
    e->deleteLater();
    editRow_ = editColumn_ = -1;
}

bool CImportDlg::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return CXpDialog::eventFilter(watched, e);
    const int key = static_cast<QKeyEvent*>(e)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Enter edits and checks cells here; it never reaches the default
    // button, which would start the import.
    if (watched == preview_ && (key == Qt::Key_F2 || enter)) {
        EditCell(preview_->GetFirstSelected(), preview_->currentIndex().column());
        return true;
    }
    if (watched == editor_ && enter) {
        CommitEdit();
        return true;
    }
    if (watched == editor_ && key == Qt::Key_Escape) {
        CloseEditor();
        preview_->setFocus();
        return true;
    }
    return CXpDialog::eventFilter(watched, e);
}
