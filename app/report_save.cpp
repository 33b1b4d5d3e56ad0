#include "report_save.h"

#include "message_box.h"
#include "progress_job.h"

#include <QApplication>
#include <QFileInfo>
#include <optional>

void SaveReportInteractive(QWidget* parent, const QString& title, const std::vector<ReportSection>& sections,
                           const QString& suggestedName, const SheetMaker& sheet) {
    const QString text = QStringLiteral("OpenDocument 文本 (*.odt)");
    const QString workbook = QStringLiteral("Excel 工作簿 (*.xlsx)");
    QString chosen = text;
    QString path = msg::SaveFileName(parent, QStringLiteral("保存报表"), suggestedName,
                                     text + QStringLiteral(";;") + workbook, &chosen);
    if (path.isEmpty()) return;
    const QString suffix = QFileInfo(path).suffix();
    bool spreadsheet = suffix.compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) == 0;
    if (suffix.isEmpty()) {
        spreadsheet = chosen == workbook;
        path += spreadsheet ? QStringLiteral(".xlsx") : QStringLiteral(".odt");
    }
    QString said;
    if (spreadsheet) {
        // A spreadsheet of a whole book takes seconds: written off the window
        // thread from the records the page copied, with a bar and "取消".
        SheetTable table = sheet();
        std::optional<vantorel::Result<int>> result;
        const JobEnd end = RunInBackground(parent, QStringLiteral("正在保存电子表格……"), [&](JobProgress& progress) {
            table.progress = [&progress](double f) { return progress.Report(f); };
            result = WriteXlsx(path, table);
        });
        const vantorel::Result<int>& written = *result;
        if (!written && end == JobEnd::cancelled)
            said = QStringLiteral("已取消，报表没有保存。");
        else if (!written)
            said = QString::fromStdString(written.Reason());
        else if (*written > 0)
            said = QStringLiteral("报表已保存到 %1\n其中 %2 个单元格的文字超过 32767 个字，只保存了前 32767 个字。")
                       .arg(path)
                       .arg(*written);
        else
            said = QStringLiteral("报表已保存到 %1").arg(path);
    } else {
        // A report document is one record's or a list's: quick.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const vantorel::Result<void> written = WriteReport(path, title, sections);
        said = written ? QStringLiteral("报表已保存到 %1").arg(path) : QString::fromStdString(written.Reason());
        QApplication::restoreOverrideCursor();
    }
    msg::Info(parent, said);
}
