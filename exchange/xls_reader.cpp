#include "xls_reader.h"

#include "read_limits.h"
#include "read_reasons.h"
#include "sheet_table_builder.h"

#include <QFile>

#include <freexl.h>

#include <memory>
#include <unordered_map>

namespace vantorel::exchange::xls {

namespace {

constexpr unsigned kProgressEvery = 2048;

Failure Fail(const char* reason) { return Failure{reason}; }

struct CloseHandle {
    void operator()(const void* h) const { freexl_close(h); }
};
using Handle = std::unique_ptr<const void, CloseHandle>;

const char* OpenReason(int rc) {
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND: return reasons::kCannotOpen;
    // A compound file without a workbook stream: a Word document, say.
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND: return reasons::kNotWorkbook;
    default: return reasons::kCorruptXls;
    }
}

Result<Handle> Open(const QString& path) {
    const void* raw = nullptr;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &raw);
    // Closed even when the open failed: FreeXL may have allocated by then.
    Handle h(raw);
    if (rc != FREEXL_OK) return Fail(OpenReason(rc));
    unsigned int info = 0;
    if (freexl_get_info(h.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        return Fail(reasons::kPassword);
    return h;
}

unsigned SheetCount(const void* h) {
    unsigned int count = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) return 0;
    return count;
}

// "2004-02-29" and "2004-02-29 10:30:00" as FreeXL gives dates.
bool ParseDate(const char* text, QDate& date, int& msecs) {
    const QString s = QString::fromLatin1(text);
    date = QDate::fromString(s.left(10), Qt::ISODate);
    if (!date.isValid()) return false;
    msecs = -1;
    if (s.size() > 10) {
        const QTime t = QTime::fromString(s.mid(11), Qt::ISODate);
        if (!t.isValid()) return false;
        if (t.msecsSinceStartOfDay()) msecs = t.msecsSinceStartOfDay();
    }
    return true;
}

} // namespace

Result<QStringList> SheetNames(const QString& path) {
    const auto h = Open(path);
    if (!h) return Failure{h.Reason()};
    QStringList names;
    const unsigned count = SheetCount(h->get());
    for (unsigned i = 0; i < count && i <= 0xFFFF; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(h->get(), (unsigned short)i, &name) != FREEXL_OK)
            return Fail(reasons::kCorruptXls);
        names << QString::fromUtf8(name ? name : "");
    }
    if (names.isEmpty()) return Fail(reasons::kEmptySheet);
    return names;
}

Result<SheetTable> ReadSheet(const QString& path, int index, const Progress& progress) {
    const auto opened = Open(path);
    if (!opened) return Failure{opened.Reason()};
    const void* h = opened->get();
    if (index < 0 || unsigned(index) >= SheetCount(h) || index > 0xFFFF) return Fail(reasons::kNoSuchSheet);
    if (freexl_select_active_worksheet(h, (unsigned short)index) != FREEXL_OK) return Fail(reasons::kCorruptXls);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(h, &rows, &columns) != FREEXL_OK) return Fail(reasons::kCorruptXls);
    if (rows > kMaxRows) return Fail(reasons::kTooManyRows);

    SheetTableBuilder table;
    // A string of the shared table is the same pointer in every cell that uses it: kept once.
    std::unordered_map<const char*, SheetTableBuilder::TextRef> shared;
    for (unsigned r = 0; r < rows; ++r) {
        if (r % kProgressEvery == 0 && progress && !progress(double(r) / rows)) return Fail(reasons::kCancelled);
        bool started = false;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v{};
            if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK) return Fail(reasons::kCorruptXls);
            if (v.type == FREEXL_CELL_NULL) continue;
            if (!started && !table.StartRow(r + 1)) return Fail(reasons::kCorruptXls);
            started = true;
            switch (v.type) {
            case FREEXL_CELL_INT: table.Number(c, v.value.int_value); break;
            case FREEXL_CELL_DOUBLE: table.Number(c, v.value.double_value); break;
            case FREEXL_CELL_SST_TEXT: {
                if (!v.value.text_value) break;
                auto it = shared.find(v.value.text_value);
                if (it == shared.end()) {
                    SheetTableBuilder::TextRef ref;
                    if (!table.AddText(QString::fromUtf8(v.value.text_value), ref)) return Fail(reasons::kCorruptXls);
                    it = shared.emplace(v.value.text_value, ref).first;
                }
                table.Text(c, it->second);
                break;
            }
            case FREEXL_CELL_TEXT:
                if (v.value.text_value) table.Text(c, QString::fromUtf8(v.value.text_value));
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME: {
                QDate d;
                int ms = -1;
                if (v.value.text_value && ParseDate(v.value.text_value, d, ms))
                    table.Date(c, d, ms);
                else if (v.value.text_value)
                    table.Text(c, QString::fromUtf8(v.value.text_value));
                break;
            }
            case FREEXL_CELL_TIME: // a time of day alone is no date: its text
                if (v.value.text_value) table.Text(c, QString::fromUtf8(v.value.text_value));
                break;
            default: break;
            }
        }
    }
    SheetTable out;
    std::string why;
    if (!table.Finish(out, why)) return Failure{why};
    return out;
}

} // namespace vantorel::exchange::xls
