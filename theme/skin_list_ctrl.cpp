#include "skin_list_ctrl.h"

#include "skin_header_ctrl.h"
#include "skin_paint.h"
#include "skin_scroll_bar.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <numeric>

int CSkinListModel::Rows() const {
    switch (kind) {
    case Kind::allRecords: return recordCount;
    case Kind::someRecords: return static_cast<int>(records.size());
    default: return static_cast<int>(rows.size());
    }
}

int CSkinListModel::RecordOf(int row) const {
    if (row < 0 || row >= Rows()) return -1;
    switch (kind) {
    case Kind::allRecords: return row;
    case Kind::someRecords: return records[static_cast<std::size_t>(row)];
    default: return -1;
    }
}

QString CSkinListModel::Text(int row, int column) const {
    if (row < 0 || row >= Rows() || column < 0) return {};
    if (kind == Kind::texts) return rows[static_cast<std::size_t>(row)].value(column);
    return cellText ? cellText(RecordOf(row), column) : QString();
}

int CSkinListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows(); }

int CSkinListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : captions.size(); }

QVariant CSkinListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return Text(index.row(), index.column());
    if (role == Qt::ForegroundRole && textColor.isValid()) return textColor;
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant CSkinListModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section < captions.size()) return captions[section];
    return {};
}

namespace {
// Rows one pitch high, whatever their text.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(CSkinListCtrl* list) : QStyledItemDelegate(list), list_(list) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), list_->RowPitch());
    }

private:
    CSkinListCtrl* list_;
};
} // namespace

CSkinListCtrl::CSkinListCtrl(QWidget* parent)
    : QTreeView(parent), model_(new CSkinListModel(this)), header_(new CSkinHeaderCtrl(this)),
      bkColor_(QColor::fromRgb(kBackground)) {
    setHeader(header_);
    setModel(model_);
    setItemDelegate(new RowDelegate(this));
    // Rows are the vertical scroll unit, so the picture bar's line arithmetic
    // holds whatever the row height; horizontally the unit is the pixel.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(kBackground));
    viewport()->setPalette(pal);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(true);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { emit rowClicked(i.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit rowDoubleClicked(i.row()); });
    AttachBars();
}

CSkinListCtrl::~CSkinListCtrl() {
    // The bars are the parent's children; they go with the list.
    delete vbar_.data();
    delete hbar_.data();
}

void CSkinListCtrl::AttachBars() {
    QWidget* parent = parentWidget();
    if (!parent || isWindow()) return;
    if (!vbar_) vbar_ = new CSkinVScrollBar(parent);
    if (!hbar_) hbar_ = new CSkinHScrollBar(parent);
    if (vbar_->parentWidget() != parent) vbar_->setParent(parent);
    if (hbar_->parentWidget() != parent) hbar_->setParent(parent);
    vbar_->SetTarget(verticalScrollBar());
    hbar_->SetTarget(horizontalScrollBar());
    PlaceBars();
    const bool shown = !isHidden() || !testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (parent->isVisible() && shown) {
        vbar_->show();
        hbar_->show();
    }
}

// The bars overlap the list's last pixel column and row and meet below its
// bottom-right corner.
void CSkinListCtrl::PlaceBars() {
    const QRect g = geometry();
    if (hbar_) {
        hbar_->setGeometry(g.left() - 1, g.bottom(), g.width() + 1, 12);
        hbar_->raise();
        hbar_->UpdateThumb();
    }
    if (vbar_) {
        vbar_->setGeometry(g.right(), g.top() - 1, 12, g.height() + 12);
        vbar_->raise();
        vbar_->UpdateThumb();
    }
}

bool CSkinListCtrl::event(QEvent* e) {
    const bool result = QTreeView::event(e);
    switch (e->type()) {
    case QEvent::ParentChange: AttachBars(); break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ZOrderChange: PlaceBars(); break;
    case QEvent::Show:
        if (geometriesPending_) updateGeometries();
        break;
    case QEvent::ShowToParent:
        if (vbar_) vbar_->show();
        if (hbar_) hbar_->show();
        PlaceBars();
        break;
    case QEvent::HideToParent:
        if (vbar_) vbar_->hide();
        if (hbar_) hbar_->hide();
        break;
    default: break;
    }
    return result;
}

// Laying out the rows is what the scroll bars' ranges need, and the tree view
// does it for every row: a list on a hidden page waits until it is shown, so
// that a page of a million rows costs nothing before.
void CSkinListCtrl::updateGeometries() {
    geometriesPending_ = !isVisible();
    if (!geometriesPending_) QTreeView::updateGeometries();
}

void CSkinListCtrl::paintEvent(QPaintEvent* e) {
    {
        QPainter p(viewport());
        p.fillRect(viewport()->rect(), QColor::fromRgb(kBackground));
    }
    QTreeView::paintEvent(e);
    if (gridLines_) {
        QPainter p(viewport());
        PaintGrid(p);
    }
}

// One line of text, Latin or Chinese (whose stand-in fonts have taller
// lines), whatever the rows hold: every row and the ruling below them share it.
int CSkinListCtrl::RowPitch() const {
    QStyleOptionViewItem opt;
    initViewItemOption(&opt);
    opt.features |= QStyleOptionViewItem::HasDisplay;
    opt.text = QStringLiteral("0国");
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), this).height();
}

// Over the rows, as the platform's report view draws its grid: the columns'
// right edges the full height, a line under every row across the whole width.
// Rows scroll by whole rows, so the lines keep their pitch from the top.
void CSkinListCtrl::PaintGrid(QPainter& p) const {
    const int w = viewport()->width(), h = viewport()->height();
    const QColor face = skinpaint::ButtonFace();
    for (int col = 0; col < model_->columnCount(); ++col) {
        if (header()->isSectionHidden(col) || columnWidth(col) <= 0) continue;
        const int x = columnViewportPosition(col) + columnWidth(col) - 1;
        if (x >= 0 && x < w) p.fillRect(QRect(x, 0, 1, h), face);
    }
    const int pitch = RowPitch();
    if (pitch <= 0) return;
    for (int y = pitch - 1; y < h; y += pitch) p.fillRect(QRect(0, y, w, 1), face);
}

// Every row is drawn here: the fixed ground and selection colours, the
// owner's text colour for the others, and a dotted focus frame round the
// current row while the list has the focus.
void CSkinListCtrl::drawRow(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int row = index.row();
    const bool selected = selectionModel() && selectionModel()->isRowSelected(row, {});
    const QRect rowRect(0, option.rect.top(), viewport()->width(), option.rect.height());
    const QColor text = selected ? QColor::fromRgb(kSelectedText)
                                 : (model_->textColor.isValid() ? model_->textColor : palette().color(QPalette::Text));
    p->save();
    p->setFont(option.font);
    const int columns = model_->columnCount();
    int right = 0;
    for (int col = 0; col < columns; ++col) {
        if (header()->isSectionHidden(col)) continue;
        const int x = columnViewportPosition(col), w = columnWidth(col);
        right = qMax(right, x + w);
    }
    p->fillRect(QRect(0, rowRect.top(), qMax(right, 0), rowRect.height()),
                QColor::fromRgb(selected ? kSelectedBack : kBackground));
    p->setPen(text);
    const QFontMetrics fm(option.font);
    for (int col = 0; col < columns; ++col) {
        if (header()->isSectionHidden(col)) continue;
        const int x = columnViewportPosition(col), w = columnWidth(col);
        if (x + w < 0 || x > viewport()->width()) continue;
        const QRect cell(x + 4, rowRect.top(), w - 8, rowRect.height());
        if (cell.width() <= 0) continue;
        const QString text = model_->Text(row, col);
        if (text.isEmpty()) continue;
        p->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    fm.elidedText(text, Qt::ElideRight, cell.width()));
    }
    if (hasFocus() && currentIndex().row() == row && right > 0) {
        QPen pen(text, 1, Qt::DotLine);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawRect(QRect(0, rowRect.top(), right, rowRect.height()).adjusted(0, 0, -1, -1));
    }
    p->restore();
}

int CSkinListCtrl::InsertColumn(int col, const QString& caption, int width) {
    col = qBound(0, col, int(model_->captions.size()));
    model_->beginInsertColumns({}, col, col);
    model_->captions.insert(col, caption);
    for (auto& r : model_->rows)
        if (col <= r.size()) r.insert(col, QString());
    model_->endInsertColumns();
    header()->resizeSection(col, width);
    return col;
}

void CSkinListCtrl::AppendColumns(const QStringList& captions, int width) {
    if (captions.isEmpty()) return;
    const int first = int(model_->captions.size());
    model_->beginInsertColumns({}, first, first + int(captions.size()) - 1);
    model_->captions += captions;
    for (auto& r : model_->rows)
        if (first <= r.size())
            for (qsizetype k = 0; k < captions.size(); ++k) r.insert(first + k, QString());
    model_->endInsertColumns();
    for (int col = first; col < first + int(captions.size()); ++col) header()->resizeSection(col, width);
}

void CSkinListCtrl::DeleteColumn(int col) {
    if (col < 0 || col >= model_->captions.size()) return;
    model_->beginRemoveColumns({}, col, col);
    model_->captions.removeAt(col);
    for (auto& r : model_->rows)
        if (col < r.size()) r.removeAt(col);
    model_->endRemoveColumns();
}

int CSkinListCtrl::GetColumnCount() const { return int(model_->captions.size()); }

QString CSkinListCtrl::GetColumnCaption(int col) const { return model_->captions.value(col); }

int CSkinListCtrl::GetItemCount() const { return model_->Rows(); }

void CSkinListCtrl::HoldTexts() {
    if (model_->kind == CSkinListModel::Kind::texts) return;
    std::vector<QStringList> rows(static_cast<std::size_t>(model_->Rows()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < model_->captions.size(); ++c) rows[std::size_t(r)] << model_->Text(r, c);
    model_->kind = CSkinListModel::Kind::texts;
    model_->rows = std::move(rows);
    model_->records.clear();
    model_->recordCount = 0;
    model_->cellText = {};
}

int CSkinListCtrl::InsertItem(int row, const QString& text) {
    HoldTexts();
    row = qBound(0, row, GetItemCount());
    model_->beginInsertRows({}, row, row);
    QStringList r;
    r << text;
    model_->rows.insert(model_->rows.begin() + row, r);
    model_->endInsertRows();
    return row;
}

void CSkinListCtrl::SetItemText(int row, int col, const QString& text) {
    if (row < 0 || row >= GetItemCount() || col < 0) return;
    HoldTexts();
    QStringList& r = model_->rows[static_cast<std::size_t>(row)];
    while (r.size() <= col) r << QString();
    r[col] = text;
    emit model_->dataChanged(model_->index(row, col), model_->index(row, col));
}

QString CSkinListCtrl::GetItemText(int row, int col) const { return model_->Text(row, col); }

template <class Remove> void CSkinListCtrl::RemovingRows(Remove&& remove) {
    QList<QPersistentModelIndex> selected;
    for (int row : GetSelectedRows()) selected << QPersistentModelIndex(model_->index(row, 0));
    {
        const QSignalBlocker quiet(selectionModel());
        remove();
    }
    QList<int> kept;
    for (const QPersistentModelIndex& i : selected)
        if (i.isValid()) kept << i.row();
    std::sort(kept.begin(), kept.end());
    if (GetSelectedRows() == kept) return;
    QItemSelection want;
    const int last = qMax(0, model_->columnCount() - 1);
    for (int row : kept) want.select(model_->index(row, 0), model_->index(row, last));
    selectionModel()->select(want, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    viewport()->update();
}

void CSkinListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= GetItemCount()) return;
    RemovingRows([&] { DeleteRow(row); });
}

void CSkinListCtrl::DeleteRow(int row) {
    if (model_->kind == CSkinListModel::Kind::allRecords) {
        // Rows no longer show every record: list them.
        model_->records.resize(std::size_t(model_->recordCount));
        std::iota(model_->records.begin(), model_->records.end(), 0);
        model_->kind = CSkinListModel::Kind::someRecords;
    }
    model_->beginRemoveRows({}, row, row);
    if (model_->kind == CSkinListModel::Kind::texts)
        model_->rows.erase(model_->rows.begin() + row);
    else
        model_->records.erase(model_->records.begin() + row);
    model_->endRemoveRows();
}

void CSkinListCtrl::DeleteAllItems() { SetRows({}); }

void CSkinListCtrl::SetRows(std::vector<QStringList> rows) {
    model_->beginResetModel();
    model_->kind = CSkinListModel::Kind::texts;
    model_->rows = std::move(rows);
    model_->records.clear();
    model_->recordCount = 0;
    model_->cellText = {};
    model_->endResetModel();
}

void CSkinListCtrl::ShowRecords(int count, CellText text) {
    model_->beginResetModel();
    model_->kind = CSkinListModel::Kind::allRecords;
    model_->recordCount = qMax(count, 0);
    model_->rows.clear();
    model_->records.clear();
    model_->cellText = std::move(text);
    model_->endResetModel();
}

void CSkinListCtrl::ShowRecords(std::vector<int> records, CellText text) {
    model_->beginResetModel();
    model_->kind = CSkinListModel::Kind::someRecords;
    model_->records = std::move(records);
    model_->recordCount = 0;
    model_->rows.clear();
    model_->cellText = std::move(text);
    model_->endResetModel();
}

int CSkinListCtrl::RecordOfRow(int row) const { return model_->RecordOf(row); }

void CSkinListCtrl::RemoveRecordRow(int row, int removed) {
    const int kept = RecordOfRow(row);
    if (kept < 0) return;
    if (model_->kind == CSkinListModel::Kind::allRecords && kept == removed) {
        RemovingRows([&] {
            model_->beginRemoveRows({}, row, row);
            --model_->recordCount;
            model_->endRemoveRows();
        });
        return;
    }
    DeleteItem(row);
    for (int& r : model_->records) {
        if (r == removed) r = kept;
        if (r > removed) --r;
    }
    // Rows after the removed record show other indices now: painted anew.
    if (GetItemCount() > 0)
        emit model_->dataChanged(model_->index(0, 0),
                                 model_->index(GetItemCount() - 1, qMax(0, int(model_->captions.size()) - 1)));
}

int CSkinListCtrl::GetFirstSelected() const {
    const QList<int> rows = GetSelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> CSkinListCtrl::GetSelectedRows() const {
    QList<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& i : selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CSkinListCtrl::RecordAppended(int index) {
    if (model_->kind != CSkinListModel::Kind::allRecords || index != model_->recordCount) return;
    model_->beginInsertRows({}, index, index);
    ++model_->recordCount;
    model_->endInsertRows();
}

void CSkinListCtrl::RecordRemoved(int index) {
    RemovingRows([&] {
        switch (model_->kind) {
        case CSkinListModel::Kind::texts: return;
        case CSkinListModel::Kind::allRecords:
            if (index < 0 || index >= model_->recordCount) return;
            model_->beginRemoveRows({}, index, index);
            --model_->recordCount;
            model_->endRemoveRows();
            return;
        case CSkinListModel::Kind::someRecords:
            for (int row = int(model_->records.size()); row-- > 0;) {
                if (model_->records[std::size_t(row)] != index) continue;
                model_->beginRemoveRows({}, row, row);
                model_->records.erase(model_->records.begin() + row);
                model_->endRemoveRows();
            }
            for (int& r : model_->records)
                if (r > index) --r;
            return;
        }
    });
}

void CSkinListCtrl::RecordReplaced(int index) {
    const int columns = qMax(0, int(model_->captions.size()) - 1);
    for (int row = 0; row < model_->Rows(); ++row)
        if (model_->RecordOf(row) == index)
            emit model_->dataChanged(model_->index(row, 0), model_->index(row, columns));
}

void CSkinListCtrl::RecordsCleared() {
    if (model_->kind == CSkinListModel::Kind::texts) return;
    model_->beginResetModel();
    model_->recordCount = 0;
    model_->records.clear();
    model_->endResetModel();
}

void CSkinListCtrl::SelectRow(int row) {
    if (row < 0 || row >= GetItemCount()) {
        clearSelection();
        return;
    }
    const QModelIndex i = model_->index(row, 0);
    selectionModel()->select(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
}

void CSkinListCtrl::SetMultiSelect(bool multi) {
    setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void CSkinListCtrl::SetBkColor(const QColor& c) { bkColor_ = c; }

void CSkinListCtrl::SetGridLines(bool on) {
    gridLines_ = on;
    viewport()->update();
}

void CSkinListCtrl::SetTextColor(const QColor& c) {
    model_->textColor = c;
    viewport()->update();
}

void CSkinListCtrl::mouseReleaseEvent(QMouseEvent* e) {
    const bool empty = e->button() == Qt::LeftButton && !indexAt(e->position().toPoint()).isValid();
    QTreeView::mouseReleaseEvent(e);
    if (empty) emit rowClicked(-1);
}

void SetUpList(CSkinListCtrl* list, std::initializer_list<ListColumn> columns) {
    list->SetBkColor(QColor::fromRgb(theme::kListBackground));
    list->SetTextColor(QColor::fromRgb(theme::kListText));
    int col = 0;
    for (const ListColumn& c : columns) list->InsertColumn(col++, c.caption, c.width);
}
