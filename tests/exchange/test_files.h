// Files for the reader tests, made by the tests themselves: zip packages put
// together part by part with minizip (including ones whose headers lie) and a
// small OLE2 compound file.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace testfiles {

QString WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

struct Part {
    QString name;
    QByteArray data;
    // When set, the part is stored as `data` already deflated (raw), and the
    // directory declares this size and checksum instead of the true ones.
    bool raw = false;
    std::uint64_t declaredSize = 0;
    std::uint32_t declaredCrc = 0;
};

// A zip at `path` holding the parts in order.
void WriteZip(const QString& path, const std::vector<Part>& parts);

// `data` deflated without a zlib header, as a zip stores it.
QByteArray RawDeflate(const QByteArray& data);
std::uint32_t Crc(const QByteArray& data);

struct Package {
    QByteArray sheetXml;      // the first sheet's XML (xl/worksheets/sheet1.xml)
    QByteArray sharedStrings; // empty: none
    QByteArray styles;        // empty: none
    bool date1904 = false;
    std::vector<QByteArray> moreSheets; // sheet2.xml, ...
};
// The parts of an .xlsx package around the given ones, laid out as Excel does.
std::vector<Part> PackageParts(const Package& p);

// An OLE2 compound file whose directory holds the given stream names (all
// empty): enough to look like what Excel writes for a workbook with a password
// ("EncryptionInfo", "EncryptedPackage") or like some other document.
QByteArray CompoundFile(const std::vector<QString>& streams);

} // namespace testfiles
