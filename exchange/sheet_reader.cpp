#include "sheet_reader.h"

#include "csv_reader.h"
#include "read_reasons.h"
#include "xls_reader.h"
#include "xlsx_reader.h"
#include "zip_package.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace vantorel::exchange {

namespace {

Failure Fail(const char* reason) { return Failure{reason}; }

constexpr char kZip[] = "PK\x03\x04";
constexpr char kEmptyZip[] = "PK\x05\x06";
constexpr unsigned char kOle2[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Whether an OLE2 file holds a stream named EncryptedPackage: how Excel (and
// WPS) store an .xlsx with a password. Directory entries are 128 bytes on
// 128-byte boundaries: a name of up to 32 UTF-16 units, then its length in
// bytes with the terminating NUL.
bool HoldsEncryptedPackage(QFile& f) {
    static const QByteArray name = [] {
        QByteArray n;
        for (char c : std::string_view("EncryptedPackage")) n.append(c).append('\0');
        return n.append(2, '\0');
    }();
    f.seek(0);
    QByteArray block;
    while (!(block = f.read(1 << 20)).isEmpty()) {
        for (qsizetype at = 0; at + 128 <= block.size(); at += 128) {
            const char* e = block.constData() + at;
            if (std::memcmp(e, name.constData(), std::size_t(name.size())) == 0 && e[64] == char(name.size()) &&
                e[65] == 0)
                return true;
        }
    }
    return false;
}

} // namespace

Result<FileKind> DetectKind(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Fail(reasons::kCannotOpen);
    const QByteArray head = f.read(8);
    if (head.startsWith(kZip) || head.startsWith(kEmptyZip)) return FileKind::xlsx;
    if (head.size() == 8 && std::memcmp(head.constData(), kOle2, 8) == 0)
        return HoldsEncryptedPackage(f) ? Result<FileKind>(Fail(reasons::kPassword)) : FileKind::xls;
    // WPS's own names for its workbooks and templates count as workbooks too.
    static const QStringList workbooks = {"xlsx", "xlsm", "xltx", "xltm", "xls", "xlt", "et", "ett"};
    if (workbooks.contains(QFileInfo(path).suffix().toLower())) return Fail(reasons::kNotWorkbook);
    return FileKind::csv;
}

Result<WorkbookInfo> OpenSheets(const QString& path) {
    const auto kind = DetectKind(path);
    if (!kind) return Failure{kind.Reason()};
    WorkbookInfo info;
    info.kind = *kind;
    switch (*kind) {
    case FileKind::xlsx: {
        auto package = ZipPackage::Open(path);
        if (!package) return Failure{package.Reason()};
        const auto wb = xlsx::ReadWorkbook(**package);
        if (!wb) return Failure{wb.Reason()};
        for (const xlsx::SheetPart& s : wb->sheets) info.sheets << s.name;
        break;
    }
    case FileKind::xls: {
        const auto names = xls::SheetNames(path);
        if (!names) return Failure{names.Reason()};
        info.sheets = *names;
        break;
    }
    case FileKind::csv: {
        const auto layout = csv::Inspect(path);
        if (!layout) return Failure{layout.Reason()};
        info.sheets << QString();
        info.csvEncoding = layout->encoding;
        info.csvSeparator = layout->separator;
        break;
    }
    }
    return info;
}

Result<SheetTable> ReadSheet(const QString& path, int sheet, const Progress& progress) {
    const auto kind = DetectKind(path);
    if (!kind) return Failure{kind.Reason()};
    Result<SheetTable> table = Fail(reasons::kNoSuchSheet);
    switch (*kind) {
    case FileKind::xlsx: {
        auto package = ZipPackage::Open(path);
        if (!package) return Failure{package.Reason()};
        const auto wb = xlsx::ReadWorkbook(**package);
        if (!wb) return Failure{wb.Reason()};
        table = xlsx::ReadSheet(**package, *wb, sheet, progress);
        break;
    }
    case FileKind::xls: table = xls::ReadSheet(path, sheet, progress); break;
    case FileKind::csv:
        if (sheet != 0) return Fail(reasons::kNoSuchSheet);
        table = csv::ReadFile(path, progress);
        break;
    }
    if (table && FirstNonEmptyRow(*table) < 0) return Fail(reasons::kEmptySheet);
    if (table && progress) progress(1.0);
    return table;
}

} // namespace vantorel::exchange
