#include "test_files.h"

#include <QFile>

#include <zlib.h>
#include <minizip/zip.h>

#include <cstring>
#include <stdexcept>

namespace testfiles {

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) throw std::runtime_error("cannot write");
    return path;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read");
    return f.readAll();
}

QByteArray RawDeflate(const QByteArray& data) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflate");
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

std::uint32_t Crc(const QByteArray& data) {
    return std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
}

void WriteZip(const QString& path, const std::vector<Part>& parts) {
    zipFile zf = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zf) throw std::runtime_error("zipOpen");
    for (const Part& p : parts) {
        zip_fileinfo info{};
        const QByteArray name = p.name.toUtf8();
        const bool large = p.declaredSize >= 0xFFFFFFFFu;
        if (zipOpenNewFileInZip2_64(zf, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6,
                                    p.raw ? 1 : 0, large ? 1 : 0) != ZIP_OK)
            throw std::runtime_error("zipOpenNewFile");
        if (!p.data.isEmpty() && zipWriteInFileInZip(zf, p.data.constData(), unsigned(p.data.size())) != ZIP_OK)
            throw std::runtime_error("zipWrite");
        const int rc = p.raw ? zipCloseFileInZipRaw64(zf, p.declaredSize, p.declaredCrc) : zipCloseFileInZip(zf);
        if (rc != ZIP_OK) throw std::runtime_error("zipClose");
    }
    if (zipClose(zf, nullptr) != ZIP_OK) throw std::runtime_error("zipClose");
}

std::vector<Part> PackageParts(const Package& p) {
    QByteArray types = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                       "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" "
                      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                      "Target=\"xl/workbook.xml\"/></Relationships>";
    const std::size_t sheets = 1 + p.moreSheets.size();
    QByteArray workbook = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                          "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    if (p.date1904) workbook += "<workbookPr date1904=\"1\"/>";
    workbook += "<sheets>";
    QByteArray workbookRels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                              "<Relationships "
                              "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    const QByteArray type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    for (std::size_t i = 1; i <= sheets; ++i) {
        const QByteArray n = QByteArray::number(qulonglong(i));
        workbook += "<sheet name=\"Sheet" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        workbookRels += "<Relationship Id=\"rId" + n + "\" Type=\"" + type + "worksheet\" Target=\"worksheets/sheet" +
                        n + ".xml\"/>";
    }
    workbook += "</sheets></workbook>";
    if (!p.sharedStrings.isEmpty())
        workbookRels += "<Relationship Id=\"rS\" Type=\"" + type + "sharedStrings\" Target=\"sharedStrings.xml\"/>";
    if (!p.styles.isEmpty())
        workbookRels += "<Relationship Id=\"rT\" Type=\"" + type + "styles\" Target=\"styles.xml\"/>";
    workbookRels += "</Relationships>";

    std::vector<Part> parts = {{"[Content_Types].xml", types},
                               {"_rels/.rels", rels},
                               {"xl/workbook.xml", workbook},
                               {"xl/_rels/workbook.xml.rels", workbookRels},
                               {"xl/worksheets/sheet1.xml", p.sheetXml}};
    for (std::size_t i = 0; i < p.moreSheets.size(); ++i)
        parts.push_back({QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 2), p.moreSheets[i]});
    if (!p.sharedStrings.isEmpty()) parts.push_back({"xl/sharedStrings.xml", p.sharedStrings});
    if (!p.styles.isEmpty()) parts.push_back({"xl/styles.xml", p.styles});
    return parts;
}

namespace {

void Put32(QByteArray& b, qsizetype at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void Put16(QByteArray& b, qsizetype at, std::uint16_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

} // namespace

QByteArray CompoundFile(const std::vector<QString>& streams) {
    constexpr std::uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFat = 0xFFFFFFFD;
    // Header, one FAT sector (sector 0), one directory sector (sector 1).
    QByteArray b(512 * 3, '\0');
    const unsigned char magic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(b.data(), magic, 8);
    Put16(b, 24, 0x003E);
    Put16(b, 26, 0x0003);
    Put16(b, 28, 0xFFFE);
    Put16(b, 30, 9);
    Put16(b, 32, 6);
    Put32(b, 44, 1);    // FAT sectors
    Put32(b, 48, 1);    // first directory sector
    Put32(b, 56, 4096); // mini stream cutoff
    Put32(b, 60, kEnd); // no mini FAT
    Put32(b, 68, kEnd); // no DIFAT sectors
    Put32(b, 76, 0);    // the FAT is sector 0
    for (int i = 1; i < 109; ++i) Put32(b, 76 + 4 * i, kFree);
    const qsizetype fat = 512, dir = 1024;
    for (int i = 0; i < 128; ++i) Put32(b, fat + 4 * i, kFree);
    Put32(b, fat, kFat);
    Put32(b, fat + 4, kEnd);
    auto entry = [&](int index, const QString& name, int type, std::uint32_t child, std::uint32_t right) {
        const qsizetype at = dir + 128 * index;
        for (qsizetype i = 0; i < name.size(); ++i) Put16(b, at + 2 * i, name[i].unicode());
        Put16(b, at + 64, std::uint16_t((name.size() + 1) * 2));
        b[at + 66] = char(type);
        b[at + 67] = 1; // black
        Put32(b, at + 68, kFree);
        Put32(b, at + 72, right);
        Put32(b, at + 76, child);
        Put32(b, at + 116, kEnd);
    };
    entry(0, QStringLiteral("Root Entry"), 5, streams.empty() ? kFree : 1, kFree);
    for (std::size_t i = 0; i < streams.size() && i < 3; ++i)
        entry(int(i) + 1, streams[i], 2, kFree, i + 1 < streams.size() ? std::uint32_t(i + 2) : kFree);
    return b;
}

} // namespace testfiles
