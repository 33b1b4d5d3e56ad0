#include "xlsx_writer.h"

#include "exchange/write_failure.h"
#include "records/data_files.h"
#include "records/platform_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

constexpr qsizetype kCellChars = 32767;

fs::path ToPath(const QString& s) { return fs::path(QFile::encodeName(s).toStdString()); }
QString FromPath(const fs::path& p) { return QFile::decodeName(QByteArray::fromStdString(p.string())); }

// The file that writing `path` replaces: symbolic links followed, so that a
// link stays a link and its target gets the new contents.
QString SaveTarget(const QString& path) { return FromPath(vantorel::SaveTarget(ToPath(path))); }

// A workbook given up before it is complete is freed without writing it.
struct FreeWorkbook {
    void operator()(lxw_workbook* wb) const {
        if (wb) lxw_workbook_free(wb);
    }
};

// A sheet name as spreadsheets take it: at most 31 characters, none of []:*?/\.
QString SheetName(QString name) {
    static const QString bad = QStringLiteral("[]:*?/\\");
    for (QChar& c : name)
        if (bad.contains(c)) c = u'_';
    name = name.left(31);
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}

// Display width of a header: a Chinese character takes two columns.
double Width(const QString& text) {
    double w = 0;
    for (QChar c : text) w += c.unicode() >= 0x2E80 ? 2 : 1;
    return std::clamp(w + 2, 10.0, 40.0);
}

class Writer {
public:
    Writer(lxw_workbook* wb, lxw_worksheet* ws) : wb_(wb), ws_(ws) {
        bold_ = workbook_add_format(wb_);
        format_set_bold(bold_);
        date_ = workbook_add_format(wb_);
        format_set_num_format(date_, "yyyy-mm-dd");
        amount_ = workbook_add_format(wb_);
        format_set_num_format(amount_, "0.00");
    }

    lxw_error Header(const QStringList& header) {
        // Widths first: a sheet written row by row describes its columns before its rows.
        for (qsizetype c = 0; c < header.size(); ++c)
            worksheet_set_column(ws_, lxw_col_t(c), lxw_col_t(c), Width(header[c]), nullptr);
        for (qsizetype c = 0; c < header.size(); ++c)
            if (const lxw_error e = Text(0, lxw_col_t(c), header[c], bold_)) return e;
        return LXW_NO_ERROR;
    }

    lxw_error Cell(lxw_row_t row, lxw_col_t col, const SheetCell& cell) {
        switch (cell.kind) {
        case SheetCell::Kind::empty: return LXW_NO_ERROR;
        case SheetCell::Kind::text: return Text(row, col, cell.text, nullptr);
        case SheetCell::Kind::number:
        case SheetCell::Kind::amount:
            // A spreadsheet has no infinity or NaN: say what it is rather than lose it.
            if (!std::isfinite(cell.number)) return Text(row, col, QString::number(cell.number), nullptr);
            return worksheet_write_number(ws_, row, col, cell.number,
                                          cell.kind == SheetCell::Kind::amount ? amount_ : nullptr);
        case SheetCell::Kind::date: {
            if (!cell.date.isValid() || cell.date.year() < 1900 || cell.date.year() > 9999)
                return Text(row, col, cell.date.isValid() ? cell.date.toString(Qt::ISODate) : QString(), nullptr);
            lxw_datetime dt{cell.date.year(), cell.date.month(), cell.date.day(), 0, 0, 0};
            return worksheet_write_datetime(ws_, row, col, &dt, date_);
        }
        }
        return LXW_NO_ERROR;
    }

    int cut = 0;

private:
    lxw_error Text(lxw_row_t row, lxw_col_t col, QString text, lxw_format* format) {
        if (text.isEmpty()) return LXW_NO_ERROR;
        // Counted in characters: a pair of surrogates is one.
        if (text.size() > kCellChars) {
            const QList<uint> ucs = text.toUcs4();
            if (ucs.size() > kCellChars) {
                text = QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs.constData()), kCellChars);
                ++cut;
            }
        }
        return worksheet_write_string(ws_, row, col, text.toUtf8().constData(), format);
    }

    lxw_workbook* wb_;
    lxw_worksheet* ws_;
    lxw_format* bold_;
    lxw_format* date_;
    lxw_format* amount_;
};

QString Reason(lxw_error e) { return QString::fromUtf8(lxw_strerror(e)); }

} // namespace

vantorel::Result<int> WriteXlsx(const QString& path, const SheetTable& table) {
    auto fail = [&](const QString& why) { return vantorel::exchange::CannotWrite(path, why); };
    if (table.rows + 1 > LXW_ROW_MAX) return fail(QStringLiteral("表格超过 %1 行").arg(LXW_ROW_MAX));
    if (qsizetype(table.header.size()) > LXW_COL_MAX) return fail(QStringLiteral("表格超过 %1 列").arg(LXW_COL_MAX));

    const QString target = SaveTarget(path);
    const QFileInfo info(target);
    // Beside the target, so that the rename cannot cross file systems; private until renamed.
    QTemporaryFile temp(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    if (!temp.open()) return fail(temp.errorString());
    if (info.exists()) temp.setPermissions(info.permissions());

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    std::unique_ptr<lxw_workbook, FreeWorkbook> wb(
        workbook_new_opt(QFile::encodeName(temp.fileName()).constData(), &options));
    lxw_worksheet* ws =
        wb ? workbook_add_worksheet(wb.get(), SheetName(table.sheetName).toUtf8().constData()) : nullptr;
    if (!ws) return fail(QStringLiteral("无法创建工作簿"));

    Writer w(wb.get(), ws);
    if (const lxw_error e = w.Header(table.header)) return fail(Reason(e));
    worksheet_freeze_panes(ws, 1, 0);
    if (!table.header.isEmpty())
        worksheet_autofilter(ws, 0, 0, lxw_row_t(table.rows), lxw_col_t(table.header.size() - 1));
    std::vector<SheetCell> cells;
    // The rows take most of the time; packing the workbook at its close the rest.
    constexpr double kRowsShare = 0.8;
    for (std::size_t r = 0; r < table.rows; ++r) {
        if (table.progress && r % 256 == 0 && !table.progress(kRowsShare * double(r) / double(table.rows)))
            return vantorel::Failure{kXlsxCancelled};
        cells.clear();
        table.row(r, cells);
        for (std::size_t c = 0; c < cells.size() && c < std::size_t(LXW_COL_MAX); ++c)
            if (const lxw_error e = w.Cell(lxw_row_t(r + 1), lxw_col_t(c), cells[c])) return fail(Reason(e));
    }
    if (table.progress && !table.progress(kRowsShare)) return vantorel::Failure{kXlsxCancelled};
    if (const lxw_error e = workbook_close(wb.release())) return fail(Reason(e));
    if (table.progress) table.progress(1);

#ifdef Q_OS_UNIX
    if (::fsync(temp.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    temp.close();
    if (const auto renamed = vantorel::ReplaceByRename(ToPath(temp.fileName()), ToPath(target)); !renamed)
        return fail(QString::fromStdString(renamed.Reason()));
    temp.setAutoRemove(false);
    // The file is whole either way; the folder's sync only makes the rename durable sooner.
    (void)vantorel::SyncDirectory(ToPath(info.absolutePath()));
    return w.cut;
}
