#include "xlsx_reader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

namespace xlsx {

namespace {

// "BC12" -> column 54 (0-based) and row 11 (0-based).
bool CellRef(const QString& ref, std::size_t& row, std::size_t& column) {
    qsizetype i = 0;
    std::size_t col = 0;
    while (i < ref.size() && ref[i].isUpper()) col = col * 26 + std::size_t(ref[i++].unicode() - u'A' + 1);
    bool ok = false;
    const std::size_t r = ref.mid(i).toULong(&ok);
    if (col == 0 || !ok || r == 0) return false;
    row = r - 1;
    column = col - 1;
    return true;
}

struct Style {
    QString format;
    bool bold = false;
};

std::vector<Style> Styles(const QByteArray& xml) {
    std::map<int, QString> formats = {{14, QStringLiteral("m/d/yyyy")}};
    std::vector<bool> boldFonts;
    std::vector<Style> styles;
    QXmlStreamReader r(xml);
    bool inCellXfs = false, inFonts = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const auto name = r.name();
            if (name == u"numFmt")
                formats[r.attributes().value("numFmtId").toInt()] = r.attributes().value("formatCode").toString();
            else if (name == u"fonts")
                inFonts = true;
            else if (inFonts && name == u"font")
                boldFonts.push_back(false);
            else if (inFonts && name == u"b" && !boldFonts.empty())
                boldFonts.back() = true;
            else if (name == u"cellXfs")
                inCellXfs = true;
            else if (inCellXfs && name == u"xf") {
                const int fmt = r.attributes().value("numFmtId").toInt();
                const int font = r.attributes().value("fontId").toInt();
                styles.push_back({formats.count(fmt) ? formats[fmt] : QString(),
                                  font >= 0 && std::size_t(font) < boldFonts.size() && boldFonts[std::size_t(font)]});
            }
        } else if (r.isEndElement()) {
            if (r.name() == u"cellXfs") inCellXfs = false;
            if (r.name() == u"fonts") inFonts = false;
        }
    }
    return styles;
}

std::vector<QString> SharedStrings(const QByteArray& xml) {
    std::vector<QString> strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"si")
            strings.emplace_back();
        else if (r.isStartElement() && r.name() == u"t" && !strings.empty())
            strings.back() += r.readElementText();
    }
    return strings;
}

} // namespace

QDate Cell::Date() const {
    // Serial 60 is the 29 February 1900 that never was; later serials count from 30 December 1899.
    if (type != "n" || value < 61) return {};
    return QDate(1899, 12, 30).addDays(qint64(value));
}

const Cell& Sheet::At(std::size_t row, std::size_t column) const {
    static const Cell empty;
    if (row >= rows.size() || column >= rows[row].size()) return empty;
    return rows[row][column];
}

QStringList Sheet::Header() const {
    QStringList texts;
    if (!rows.empty())
        for (const Cell& c : rows[0]) texts << c.text;
    return texts;
}

Sheet Read(const QString& path) {
    Sheet sheet;
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip) {
        sheet.error = QStringLiteral("not a zip file");
        return sheet;
    }
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        char name[512];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        if (unzOpenCurrentFile(zip) != UNZ_OK) break;
        QByteArray data(qsizetype(info.uncompressed_size), '\0');
        const int got = data.isEmpty() ? 0 : unzReadCurrentFile(zip, data.data(), unsigned(data.size()));
        unzCloseCurrentFile(zip);
        if (got != data.size()) {
            sheet.error = QStringLiteral("cannot read %1").arg(QString::fromUtf8(name));
            unzClose(zip);
            return sheet;
        }
        sheet.parts[QString::fromUtf8(name)] = data;
    }
    unzClose(zip);

    const QByteArray xml = sheet.parts[QStringLiteral("xl/worksheets/sheet1.xml")];
    if (xml.isEmpty()) {
        sheet.error = QStringLiteral("no first sheet");
        return sheet;
    }
    const std::vector<Style> styles = Styles(sheet.parts[QStringLiteral("xl/styles.xml")]);
    const std::vector<QString> shared = SharedStrings(sheet.parts[QStringLiteral("xl/sharedStrings.xml")]);
    QXmlStreamReader wb(sheet.parts[QStringLiteral("xl/workbook.xml")]);
    while (!wb.atEnd())
        if (wb.readNext() == QXmlStreamReader::StartElement && wb.name() == u"sheet") {
            sheet.name = wb.attributes().value("name").toString();
            break;
        }

    QXmlStreamReader r(xml);
    Cell* cell = nullptr;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"c") {
            std::size_t row = 0, column = 0;
            if (!CellRef(r.attributes().value("r").toString(), row, column)) {
                sheet.error = QStringLiteral("bad cell reference");
                return sheet;
            }
            if (sheet.rows.size() <= row) sheet.rows.resize(row + 1);
            if (sheet.rows[row].size() <= column) sheet.rows[row].resize(column + 1);
            cell = &sheet.rows[row][column];
            cell->type = r.attributes().hasAttribute("t") ? r.attributes().value("t").toString() : QStringLiteral("n");
            const int s = r.attributes().value("s").toInt();
            if (s >= 0 && std::size_t(s) < styles.size()) {
                cell->format = styles[std::size_t(s)].format;
                cell->bold = styles[std::size_t(s)].bold;
            }
        } else if (r.isStartElement() && cell && (r.name() == u"v" || r.name() == u"t")) {
            const bool value = r.name() == u"v";
            const QString text = r.readElementText();
            if (cell->type == "s" && value) {
                const std::size_t i = text.toULong();
                cell->text = i < shared.size() ? shared[i] : QString();
            } else {
                cell->text += text;
                if (cell->type == "n") cell->value = text.toDouble();
            }
        } else if (r.isEndElement() && r.name() == u"c") {
            cell = nullptr;
        }
    }
    if (r.hasError()) {
        sheet.error = r.errorString();
        return sheet;
    }
    sheet.ok = true;
    return sheet;
}

} // namespace xlsx
