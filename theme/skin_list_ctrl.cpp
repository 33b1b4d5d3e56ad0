#include "skin_list_ctrl.h"

#include "skin_header_ctrl.h"
#include "skin_paint.h"
#include "skin_scroll_bar.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

int CSkinListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int CSkinListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : captions.size(); }

QVariant CSkinListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) {
        const QStringList& r = rows[static_cast<std::size_t>(index.row())];
        return index.column() < r.size() ? r[index.column()] : QString();
    }
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
    const QStringList& cells = model_->rows[static_cast<std::size_t>(row)];
    for (int col = 0; col < columns && col < cells.size(); ++col) {
        if (header()->isSectionHidden(col)) continue;
        const int x = columnViewportPosition(col), w = columnWidth(col);
        if (x + w < 0 || x > viewport()->width()) continue;
        const QRect cell(x + 4, rowRect.top(), w - 8, rowRect.height());
        if (cell.width() <= 0) continue;
        p->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    fm.elidedText(cells[col], Qt::ElideRight, cell.width()));
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

int CSkinListCtrl::GetItemCount() const { return static_cast<int>(model_->rows.size()); }

int CSkinListCtrl::InsertItem(int row, const QString& text) {
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
    QStringList& r = model_->rows[static_cast<std::size_t>(row)];
    while (r.size() <= col) r << QString();
    r[col] = text;
    emit model_->dataChanged(model_->index(row, col), model_->index(row, col));
}

QString CSkinListCtrl::GetItemText(int row, int col) const {
    if (row < 0 || row >= GetItemCount()) return {};
    return model_->rows[static_cast<std::size_t>(row)].value(col);
}

void CSkinListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= GetItemCount()) return;
    model_->beginRemoveRows({}, row, row);
    model_->rows.erase(model_->rows.begin() + row);
    model_->endRemoveRows();
}

void CSkinListCtrl::DeleteAllItems() { SetRows({}); }

void CSkinListCtrl::SetRows(std::vector<QStringList> rows) {
    model_->beginResetModel();
    model_->rows = std::move(rows);
    model_->endResetModel();
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
