#include "report_writer.h"

#include "exchange/write_failure.h"

#include <QBuffer>
#include <QSaveFile>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>
#include <QTextTableFormat>

namespace {

QTextCharFormat Bold(double pointSize) {
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setFontPointSize(pointSize);
    return f;
}

QTextCharFormat Plain() {
    QTextCharFormat f;
    f.setFontPointSize(10.5);
    return f;
}

void FillCell(QTextTable* table, int row, int column, const QString& text, const QTextCharFormat& format) {
    QTextCursor c = table->cellAt(row, column).firstCursorPosition();
    c.insertText(text, format);
}

void AddTable(QTextCursor& cursor, int rows, int columns, QTextTable** out) {
    QTextTableFormat format;
    format.setBorder(0.5);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    *out = cursor.insertTable(rows, columns, format);
}

} // namespace

vantorel::Result<void> WriteReport(const QString& path, const QString& title,
                                   const std::vector<ReportSection>& sections) {
    QTextDocument doc;
    QTextCursor cursor(&doc);

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(title, Bold(16));

    QTextBlockFormat left;
    left.setAlignment(Qt::AlignLeft);
    left.setTopMargin(8);

    for (const ReportSection& section : sections) {
        cursor.movePosition(QTextCursor::End);
        cursor.insertBlock(left);
        cursor.insertText(section.heading, Bold(12));

        if (!section.fields.empty()) {
            cursor.insertBlock(left);
            QTextTable* table = nullptr;
            AddTable(cursor, static_cast<int>(section.fields.size()), 2, &table);
            for (int i = 0; i < static_cast<int>(section.fields.size()); ++i) {
                FillCell(table, i, 0, section.fields[i].first, Bold(10.5));
                FillCell(table, i, 1, section.fields[i].second, Plain());
            }
            cursor.movePosition(QTextCursor::End);
        }

        for (const ReportTable& t : section.tables) {
            cursor.insertBlock(left);
            cursor.insertText(t.caption, Bold(10.5));
            const int columns = std::max<int>(1, static_cast<int>(t.headers.size()));
            cursor.insertBlock(left);
            QTextTable* table = nullptr;
            AddTable(cursor, 1 + static_cast<int>(t.rows.size()), columns, &table);
            // Walk the cells in order with one cursor: looking each cell up is quadratic on long lists.
            QTextCursor cell = table->cellAt(0, 0).firstCursorPosition();
            const QTextCharFormat header = Bold(10.5), plain = Plain();
            for (int c = 0; c < columns; ++c) {
                cell.insertText(t.headers.value(c), header);
                cell.movePosition(QTextCursor::NextCell);
            }
            for (const QStringList& row : t.rows)
                for (int c = 0; c < columns; ++c) {
                    if (c < row.size()) cell.insertText(row[c], plain);
                    cell.movePosition(QTextCursor::NextCell);
                }
            cursor.movePosition(QTextCursor::End);
        }
    }

    // The document is built in memory: the zip writer closes its device, which a QSaveFile must not be.
    QBuffer odt;
    QTextDocumentWriter writer(&odt, "odf");
    QSaveFile file(path);
    const auto failed = [&](const QString& why) {
        file.cancelWriting();
        return vantorel::exchange::CannotWrite(path, why);
    };
    if (!writer.write(&doc)) return failed(odt.errorString());
    if (!file.open(QIODevice::WriteOnly) || file.write(odt.data()) != odt.data().size() || !file.commit())
        return failed(file.errorString());
    return {};
}
