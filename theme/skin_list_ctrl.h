// The report-view list used by every page: a light model view that stays
// quick with a million rows. The API follows the list-control operations the
// pages are written in (columns, rows by index, selection by row).
//
// Its look: a #E1E1EB ground, selected rows #E5E5E5 on #737BA5 whether or not
// the list has the focus, grid lines in the button-face colour (a pixel column
// at the right edge of every column, a pixel row under every row and on below
// the last one at the same pitch), a picture header and two picture scroll bars that
// stand beside it in its parent (12 pixels to the right and below; a layout
// leaves that room). The list's own scroll bars stay hidden and are driven by
// the keyboard, the wheel and the picture bars.
#pragma once

#include "theme/skin_header_ctrl.h"
#include "theme/skin_scroll_bar.h"
#include "theme/theme_colours.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QTreeView>
#include <functional>
#include <initializer_list>
#include <vector>

// The list's rows: texts held by the list, or records of a collection that
// the owner formats cell by cell when a row is painted or asked for, so that
// a list of a whole large book holds no more than the record of each row.
class CSkinListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using CellText = std::function<QString(int record, int column)>;
    enum class Kind { texts, allRecords, someRecords };

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    int Rows() const;
    QString Text(int row, int column) const;
    int RecordOf(int row) const;

    Kind kind = Kind::texts;
    std::vector<QStringList> rows; // texts
    int recordCount = 0;           // allRecords: row i shows record i
    std::vector<int> records;      // someRecords: row i shows records[i]
    CellText cellText;             // both kinds of records
    QStringList captions;
    QColor textColor;
    friend class CSkinListCtrl;
};

class CSkinListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CSkinListCtrl(QWidget* parent = nullptr);
    ~CSkinListCtrl() override;

    static constexpr QRgb kBackground = theme::kListBackground;
    static constexpr QRgb kSelectedText = theme::kListSelectedText;
    static constexpr QRgb kSelectedBack = theme::kListSelectedBack;

    int InsertColumn(int col, const QString& caption, int width);
    // Columns added at the end in one step: the view lays itself out once,
    // not once a column (tens of milliseconds for the import's sixty).
    void AppendColumns(const QStringList& captions, int width);
    void DeleteColumn(int col);
    int GetColumnCount() const;
    QString GetColumnCaption(int col) const;

    int GetItemCount() const;
    int InsertItem(int row, const QString& text); // returns the row
    void SetItemText(int row, int col, const QString& text);
    QString GetItemText(int row, int col) const;
    void DeleteItem(int row);
    void DeleteAllItems();
    // Replaces every row at once.
    void SetRows(std::vector<QStringList> rows);

    // Rows that show records of a collection, each cell's text given by
    // `text` when the row is painted or asked for: every record in order
    // (row i shows record i), or the records listed.
    using CellText = CSkinListModel::CellText;
    void ShowRecords(int count, CellText text);
    void ShowRecords(std::vector<int> records, CellText text);
    // The record a row shows, -1 for none (or a row of texts).
    int RecordOfRow(int row) const;
    // Row `row` goes, and its collection lost record `removed` (the row's own
    // record, or another with the same key, which the row's record then
    // stands in for): rows of later records follow their records down.
    void RemoveRecordRow(int row, int removed);

    // Following the collection the rows show, as it changes elsewhere. The
    // selection stays on its record where that record stays.
    // A record was appended at `index`: a list of every record shows it too.
    void RecordAppended(int index);
    // Record `index` went: its rows go, rows of later records follow them down.
    void RecordRemoved(int index);
    // Record `index` holds other values: its rows are painted anew.
    void RecordReplaced(int index);
    // Every record went.
    void RecordsCleared();

    // Lowest selected row, or -1.
    int GetFirstSelected() const;
    QList<int> GetSelectedRows() const;
    void SelectRow(int row); // -1 clears
    void SetMultiSelect(bool multi);

    // The owner's ground colour is kept but the list is always painted on
    // its own #E1E1EB, as the theme wants every list alike.
    void SetBkColor(const QColor& c);
    // Text colour of rows that are not selected.
    void SetTextColor(const QColor& c);
    // Grid lines, like full-row selection and movable columns, are on for
    // every list of the program.
    void SetGridLines(bool on);
    bool GridLines() const { return gridLines_; }
    // The height of one row, also where there are no rows.
    int RowPitch() const;

    CSkinHeaderCtrl* HeaderCtrl() const { return header_; }
    // The picture bars; null until the list has a parent.
    CSkinVScrollBar* VScrollBar() const { return vbar_; }
    CSkinHScrollBar* HScrollBar() const { return hbar_; }

signals:
    // A row clicked with the mouse (not reached by the keyboard); -1 for a
    // click on the empty part of the list.
    void rowClicked(int row);
    void rowDoubleClicked(int row);

protected:
    bool event(QEvent* e) override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Removes rows by `remove`: a selected row that stays keeps its
    // selection, a selected row that goes takes it along. (A single-selection
    // view would choose the next row by itself, and the row that looks
    // selected would not be the one the page acts on.)
    template <class Remove> void RemovingRows(Remove&& remove);
    void DeleteRow(int row);
    // Rows of records become rows of texts, for the calls that edit texts.
    void HoldTexts();
    void AttachBars();
    void PlaceBars();
    void PaintGrid(QPainter& p) const;

    CSkinListModel* model_;
    CSkinHeaderCtrl* header_;
    QPointer<CSkinVScrollBar> vbar_;
    QPointer<CSkinHScrollBar> hbar_;
    QColor bkColor_;
    bool gridLines_ = true;
    bool geometriesPending_ = false; // hidden when they were due
};

// The one set-up of every list on a page or dialog: the theme's list colours
// and these columns, left to right (caption, width in pixels). Grid lines,
// full-row selection and movable columns are every list's own.
struct ListColumn {
    QString caption;
    int width;
};
void SetUpList(CSkinListCtrl* list, std::initializer_list<ListColumn> columns);
