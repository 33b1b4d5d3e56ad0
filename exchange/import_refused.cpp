#include "import_refused.h"

#include "xlsx_writer.h"

namespace vantorel::exchange {

QString RefusedReasonHeader() { return QStringLiteral("未导入原因"); }

Result<int> WriteRefusedRows(const QString& path, const ImportPlan& plan, DuplicateChoice choice) {
    std::vector<int> refused;
    for (int i = 0; i < plan.RowCount(); ++i) {
        const RowState s = plan.Row(i).state;
        if (!plan.Imports(i, choice) && s != RowState::updated) refused.push_back(i);
    }
    ::SheetTable sheet;
    sheet.sheetName = QStringLiteral("未导入的行");
    sheet.header = plan.Headers();
    const int columns = int(sheet.header.size());
    sheet.header << RefusedReasonHeader();
    sheet.rows = refused.size();
    sheet.row = [&](std::size_t r, std::vector<SheetCell>& cells) {
        const int row = refused[r];
        const int tableRow = plan.Row(row).tableRow;
        for (int c = 0; c < columns; ++c) {
            if (plan.Corrected(row, c)) {
                cells.push_back(SheetCell::Text(plan.CellText(row, c)));
                continue;
            }
            const TableCell cell = plan.Table().At(tableRow, c);
            switch (cell.Kind()) {
            case CellKind::empty: cells.emplace_back(); break;
            case CellKind::number: cells.push_back(SheetCell::Number(cell.Number())); break;
            case CellKind::date: cells.push_back(SheetCell::Date(cell.Date())); break;
            case CellKind::text: cells.push_back(SheetCell::Text(cell.Text())); break;
            case CellKind::boolean: cells.push_back(SheetCell::Text(cell.DisplayText())); break;
            }
        }
        cells.push_back(SheetCell::Text(plan.Reasons(row)));
    };
    const Result<int> written = WriteXlsx(path, sheet);
    if (!written) return Failure{written.Reason()};
    return int(refused.size());
}

} // namespace vantorel::exchange
