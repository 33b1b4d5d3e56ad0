// Reads the input as every kind of file the spreadsheet import takes: as an
// .xlsx package, as an .xls workbook, as CSV text, through the one entry point
// that decides by the first bytes, and as the XML of a package's sheet,
// shared strings and styles all at once (inside a package made here, so that
// the XML readers see mutations a zip's checksums would otherwise stop).
// Whatever reads must make a table that keeps its own rules.
#include "exchange/csv_reader.h"
#include "exchange/sheet_reader.h"
#include "exchange/xls_reader.h"
#include "exchange/xlsx_reader.h"
#include "exchange/zip_package.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <unistd.h>
#include <minizip/zip.h>

#include <cstdint>
#include <cstdlib>

using namespace vantorel::exchange;

namespace {

void Check(const SheetTable& t) {
    int lastRow = 0;
    for (int i = 0; i < t.RowCount(); ++i) {
        if (t.FileRow(i) <= lastRow || t.IndexOfFileRow(t.FileRow(i)) != i) std::abort();
        lastRow = t.FileRow(i);
        const int width = t.RowWidth(i);
        if (width <= 0 || width > t.ColumnCount()) std::abort(); // rows without cells are not stored
        const std::vector<TableCell> cells = t.Row(i);
        if (int(cells.size()) != width || cells.back().IsEmpty()) std::abort();
        for (int c = 0; c < width; ++c) {
            const TableCell& cell = cells[std::size_t(c)];
            if (t.At(i, c).Kind() != cell.Kind() || t.At(i, c).DisplayText() != cell.DisplayText()) std::abort();
            if (cell.Kind() == CellKind::text && cell.Text().isEmpty()) std::abort();
            if (cell.Kind() == CellKind::date && !cell.Date().isValid()) std::abort();
        }
    }
    (void)FirstNonEmptyRow(t);
}

template <class R> void CheckIf(const R& r) {
    if (r) Check(*r);
}

QString TempPath(const char* what) {
    return QStringLiteral("/tmp/fuzz_sheets.%1.%2").arg(::getpid()).arg(QString::fromLatin1(what));
}

bool Write(const QString& path, const char* data, std::size_t size) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data, qint64(size)) == qint64(size);
}

// A package whose sheet, shared strings and styles are all the input.
bool WritePackage(const QString& path, const QByteArray& xml) {
    static const QByteArray rels =
        "<Relationships><Relationship Id=\"1\" Type=\"x/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    static const QByteArray workbook =
        "<workbook xmlns:r=\"r\"><sheets><sheet name=\"a\" r:id=\"s\"/></sheets></workbook>";
    static const QByteArray workbookRels =
        "<Relationships><Relationship Id=\"s\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"t\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
        "<Relationship Id=\"y\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";
    const std::pair<const char*, const QByteArray*> parts[] = {{"_rels/.rels", &rels},
                                                               {"xl/workbook.xml", &workbook},
                                                               {"xl/_rels/workbook.xml.rels", &workbookRels},
                                                               {"xl/worksheets/sheet1.xml", &xml},
                                                               {"xl/sharedStrings.xml", &xml},
                                                               {"xl/styles.xml", &xml}};
    zipFile zf = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zf) return false;
    bool ok = true;
    for (const auto& [name, data] : parts) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip64(zf, name, &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0) == ZIP_OK &&
             (data->isEmpty() || zipWriteInFileInZip(zf, data->constData(), unsigned(data->size())) == ZIP_OK) &&
             zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

void AsXlsx(const QString& path) {
    auto package = ZipPackage::Open(path);
    if (!package) return;
    const auto wb = xlsx::ReadWorkbook(**package);
    if (!wb) return;
    for (int i = 0; i < int(wb->sheets.size()) && i < 3; ++i) CheckIf(xlsx::ReadSheet(**package, *wb, i, {}));
}

} // namespace

// A fault of libfreexl's own that cannot be mended here (see freexl.supp) must
// not hide the faults after it.
extern "C" const char* __asan_default_options() { return "suppressions=" VANTOREL_FREEXL_SUPPRESSIONS; }
// libfreexl 1.0.6 also loses a block on some failed opens, though the handle is closed.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfreexl.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const QString path = TempPath("in");
    if (!Write(path, bytes, size)) std::abort();

    AsXlsx(path);
    const auto names = xls::SheetNames(path);
    if (names)
        for (int i = 0; i < names->size() && i < 3; ++i) CheckIf(xls::ReadSheet(path, i, {}));
    const QByteArray raw(bytes, qsizetype(size));
    if (const auto text = csv::Decode(raw)) {
        const QChar sep = csv::DetectSeparator(*text);
        CheckIf(csv::Parse(*text, sep, {}));
    }
    if (const auto info = OpenSheets(path))
        CheckIf(ReadSheet(path, 0, [](double f) {
            if (!(f >= 0 && f <= 1)) std::abort();
            return true;
        }));

    const QString package = TempPath("xlsx");
    QFile::remove(package);
    if (WritePackage(package, raw)) AsXlsx(package);
    return 0;
}
