// The import dialog: a file of the agent's (.xlsx, .xls, .csv, .txt) into
// one collection of the book. The user picks the file, the kind of records,
// the sheet and the header row; checks the field each column goes to; checks
// every row against the forms' rules, corrects bad cells in place (double
// click or F2, Enter checks the row again); chooses what happens to keys the
// book holds already; and imports in one step with a progress bar and 取消.
// The rows go in through the collections, as if typed.
#pragma once

#include "exchange/import_plan.h"
#include "exchange/sheet_reader.h"
#include "theme/xp_dialog.h"

#include <memory>
#include <vector>

class CSkinListCtrl;
class PageHost;
class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;

class CImportDlg : public CXpDialog {
    Q_OBJECT
public:
    CImportDlg(PageHost* host, QWidget* owner);
    ~CImportDlg() override;

    // The steps as the buttons run them, for the keyboard and for tests.
    void OpenFile(const QString& path);
    bool Check();
    void Import();
    void SaveRefused();
    // Opens the editor on a cell of the preview (a column of the preview, 3
    // and up: the file's mapped columns; below 3: the row's first bad cell).
    void EditCell(int row, int previewColumn);
    // The preview's columns: 行, 状态, 原因, then the mapped columns of the file.
    int PreviewFileColumn(int previewColumn) const;
    const vantorel::exchange::ImportPlan* Plan() const { return plan_.get(); }
    vantorel::exchange::DuplicateChoice Choice() const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    vantorel::CollectionId Kind() const;
    void ReadSheet();
    void FillHeaderRows();
    void Rematch();
    void FillColumns();
    void OnColumnSelected();
    void OnFieldChosen(int index);
    void Invalidate();
    void FillPreview();
    void UpdateCounts();
    QString PreviewText(int row, int column) const;
    void CommitEdit();
    void CloseEditor();

    PageHost* host_;
    QString path_;
    vantorel::exchange::WorkbookInfo info_;
    std::shared_ptr<const vantorel::exchange::SheetTable> table_;
    vantorel::exchange::ColumnMapping mapping_;
    std::unique_ptr<vantorel::exchange::ImportPlan> plan_;
    vantorel::exchange::KeyIndex keys_;
    std::vector<int> previewColumns_; // file columns shown in the preview
    bool imported_ = false;           // the plan went in: check again before another import

    QLineEdit* pathEdit_;
    QComboBox* kind_;
    QComboBox* sheet_;
    QComboBox* headerRow_;
    CSkinListCtrl* columns_;
    QComboBox* field_;
    QLabel* matching_;
    CSkinListCtrl* preview_;
    QLabel* counts_;
    QAbstractButton* skip_;
    QAbstractButton* update_;
    QAbstractButton* keepBoth_;
    QAbstractButton* start_;
    QLineEdit* editor_ = nullptr;
    int editRow_ = -1, editColumn_ = -1;
    bool filling_ = false; // controls being filled: their signals change nothing
};
