#include "xlsx_reader.h"

#include "read_limits.h"
#include "read_reasons.h"
#include "sheet_table_builder.h"
#include "unpack_ahead.h"
#include "xml_scanner.h"

#include <QDateTime>
#include <QXmlStreamReader>

#include <charconv>
#include <map>

namespace vantorel::exchange::xlsx {

namespace {

// The small parts (relationships, workbook) are read whole; no honest one comes near this.
constexpr qint64 kSmallPart = 64 << 20;
// How often, in rows or strings, the reader tells its progress and looks for a cancel.
constexpr int kProgressEvery = 2048;

Failure Fail(const char* reason) { return Failure{reason}; }

// The folder of a part, with its slash: "xl/" for "xl/workbook.xml".
QString Folder(const QString& part) { return part.left(part.lastIndexOf(u'/') + 1); }

// A relationship's target as a part name: relative to the source's folder,
// or from the package's root when it starts with "/".
QString Resolve(const QString& folder, QString target) {
    target.replace(u'\\', u'/');
    QStringList parts = target.startsWith(u'/') ? QStringList() : folder.split(u'/', Qt::SkipEmptyParts);
    for (const QString& p : target.split(u'/', Qt::SkipEmptyParts)) {
        if (p == u"..") {
            if (!parts.isEmpty()) parts.removeLast();
        } else if (p != u".") {
            parts << p;
        }
    }
    return parts.join(u'/');
}

struct Relationship {
    QString type; // the last word of its type: "worksheet", "styles", "sharedStrings", "officeDocument"
    QString target;
};

// The relationships of `source` ("" for the package's own), by id.
Result<std::map<QString, Relationship>> Relationships(ZipPackage& package, const QString& source) {
    const QString folder = Folder(source);
    const QString relsPart = folder + QStringLiteral("_rels/") + source.mid(folder.size()) + QStringLiteral(".rels");
    std::map<QString, Relationship> rels;
    if (!package.Has(relsPart)) return rels;
    const auto xml = package.ReadAll(relsPart, kSmallPart);
    if (!xml) return Failure{xml.Reason()};
    QXmlStreamReader r(*xml);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != u"Relationship") continue;
        const QXmlStreamAttributes a = r.attributes();
        if (a.value("TargetMode") == u"External") continue;
        const QStringView type = a.value("Type");
        rels[a.value("Id").toString()] = {type.mid(type.lastIndexOf(u'/') + 1).toString(),
                                          Resolve(folder, a.value("Target").toString())};
    }
    if (r.hasError()) return Fail(reasons::kCorruptSheet);
    return rels;
}

// The number formats of the cell styles: true where a style shows a date.
Result<std::vector<bool>> DateStyles(ZipPackage& package, const QString& part) {
    std::vector<bool> dates;
    if (part.isEmpty() || !package.Has(part)) return dates;
    const auto xml = package.ReadAll(part, kSmallPart);
    if (!xml) return Failure{xml.Reason()};
    std::map<int, QString> codes;
    QXmlStreamReader r(*xml);
    int depthInXfs = 0;
    while (!r.atEnd()) {
        const auto token = r.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = r.name();
            if (name == u"numFmt") {
                codes[r.attributes().value("numFmtId").toInt()] = r.attributes().value("formatCode").toString();
            } else if (name == u"cellXfs") {
                depthInXfs = 1;
            } else if (depthInXfs) {
                ++depthInXfs;
                if (name == u"xf" && depthInXfs == 2) {
                    const int id = r.attributes().value("numFmtId").toInt();
                    const auto code = codes.find(id);
                    dates.push_back(IsDateFormat(id, code == codes.end() ? QStringView() : QStringView(code->second)));
                }
            }
        } else if (token == QXmlStreamReader::EndElement && depthInXfs) {
            --depthInXfs;
        }
    }
    if (r.hasError()) return Fail(reasons::kCorruptSheet);
    return dates;
}

// The shared strings and then the sheet, as one count of unpacked bytes, so
// that the fraction told only grows.
struct Share {
    const Progress& progress;
    qint64 before = 0; // bytes of the parts read before this one
    qint64 total = 0;  // bytes of both parts
};

bool Cancelled(const Share& share, const XmlScanner& x) {
    if (!share.progress) return false;
    const double done = share.total > 0 ? double(share.before + x.Consumed()) / double(share.total) : 0.0;
    return !share.progress(std::min(1.0, done));
}

// The part's end, once the helper thread has let go of it: false when it was damaged.
bool Finish(UnpackAhead& ahead, ZipPackage::Stream& s) {
    ahead.Stop();
    return s.Finish();
}

// The shared strings, each added once to the table's pool. Rich text runs
// join; phonetic guides (rPh) are left out, as spreadsheets show them.
Result<std::vector<SheetTableBuilder::TextRef>> SharedStrings(ZipPackage& package, const QString& part,
                                                              SheetTableBuilder& table, const Share& share) {
    std::vector<SheetTableBuilder::TextRef> strings;
    if (part.isEmpty() || !package.Has(part)) return strings;
    auto stream = package.OpenPart(part);
    if (!stream) return Failure{stream.Reason()};
    ZipPackage::Stream& s = **stream;
    UnpackAhead ahead(s);
    XmlScanner x(ahead);
    std::string text;
    bool inItem = false, inText = false;
    int phonetic = 0;
    for (;;) {
        switch (x.Next()) {
        case XmlScanner::startElement: {
            const std::string_view name = x.Name();
            if (name == "si") {
                inItem = true;
                text.clear();
            } else if (name == "rPh") {
                ++phonetic;
            } else if (name == "t" && inItem && !phonetic) {
                inText = true;
            }
            break;
        }
        case XmlScanner::endElement: {
            const std::string_view name = x.Name();
            if (name == "t") {
                inText = false;
            } else if (name == "rPh") {
                --phonetic;
            } else if (name == "si" && inItem) {
                inItem = false;
                SheetTableBuilder::TextRef ref;
                if (!table.AddUtf8(text, ref)) return Fail(reasons::kUnpackedTooLarge);
                strings.push_back(ref);
                if (strings.size() % (kProgressEvery * 8) == 0 && Cancelled(share, x)) return Fail(reasons::kCancelled);
            }
            break;
        }
        case XmlScanner::text:
            if (inText) text += x.Text();
            break;
        case XmlScanner::done:
            if (!Finish(ahead, s)) return Fail(reasons::kCorruptZip);
            return strings;
        case XmlScanner::error:
            // A part cut short or damaged is the zip's fault; a whole part that is no XML, the sheet's.
            return Fail(Finish(ahead, s) ? reasons::kCorruptSheet : reasons::kCorruptZip);
        }
    }
}

enum class Type { number, shared, inlineText, text, boolean, error, isoDate };

Type TypeOf(std::string_view t) {
    if (t.empty() || t == "n") return Type::number;
    if (t == "s") return Type::shared;
    if (t == "inlineStr") return Type::inlineText;
    if (t == "str") return Type::text;
    if (t == "b") return Type::boolean;
    if (t == "e") return Type::error;
    if (t == "d") return Type::isoDate;
    return Type::text;
}

std::string_view Trimmed(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\n' || v.front() == '\t' || v.front() == '\r'))
        v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\n' || v.back() == '\t' || v.back() == '\r'))
        v.remove_suffix(1);
    return v;
}

template <class T> bool Whole(std::string_view v, T& out) {
    v = Trimmed(v);
    const auto r = std::from_chars(v.data(), v.data() + v.size(), out);
    return !v.empty() && r.ec == std::errc() && r.ptr == v.data() + v.size();
}

// Reads one worksheet's XML into the table.
class SheetParser {
public:
    SheetParser(SheetTableBuilder& table, const std::vector<SheetTableBuilder::TextRef>& shared,
                const std::vector<bool>& dateStyles, bool date1904)
        : table_(table), shared_(shared), dateStyles_(dateStyles), date1904_(date1904) {}

    // nullptr when the sheet was read, the reason otherwise.
    const char* Parse(ZipPackage::Stream& s, const Share& share) {
        UnpackAhead ahead(s);
        XmlScanner x(ahead);
        for (;;) {
            switch (x.Next()) {
            case XmlScanner::startElement:
                if (const char* why = Start(x)) return why;
                break;
            case XmlScanner::endElement: {
                const std::string_view name = x.Name();
                if (name == "c" && inCell_) {
                    inCell_ = false;
                    if (const char* why = EndCell()) return why;
                } else if (name == "v" || name == "t") {
                    inValue_ = false;
                } else if (name == "rPh") {
                    --phonetic_;
                } else if (name == "is") {
                    inInline_ = false;
                } else if (name == "row" && inRow_) {
                    inRow_ = false;
                    if (!rowStarted_) lastRow_ = pendingRow_ ? pendingRow_ : lastRow_ + 1;
                    if (++rowsSeen_ % kProgressEvery == 0 && Cancelled(share, x)) return reasons::kCancelled;
                }
                break;
            }
            case XmlScanner::text:
                if (inValue_ && !phonetic_) value_ += x.Text();
                break;
            case XmlScanner::done: return Finish(ahead, s) ? nullptr : reasons::kCorruptZip;
            case XmlScanner::error: return Finish(ahead, s) ? reasons::kCorruptSheet : reasons::kCorruptZip;
            }
        }
    }

private:
    const char* Start(XmlScanner& x) {
        const std::string_view name = x.Name();
        if (name == "c") {
            if (!inRow_) return reasons::kCorruptSheet;
            inCell_ = true;
            value_.clear();
            std::uint32_t column = lastColumn_ + 1, row = 0;
            const std::string_view ref = x.Attribute("r");
            if (!ref.empty() && !ParseCellRef(ref, column, row)) return reasons::kCorruptSheet;
            type_ = TypeOf(x.Attribute("t"));
            style_ = 0;
            const std::string_view style = x.Attribute("s");
            if (!style.empty() && !Whole(style, style_)) return reasons::kCorruptSheet;
            if (column >= kMaxColumns) return reasons::kCorruptSheet;
            if (!rowStarted_) {
                // A row without its number takes it from its first cell, or follows the last.
                const std::uint32_t number = pendingRow_ ? pendingRow_ : row ? row : lastRow_ + 1;
                if (number > kMaxRows) return reasons::kTooManyRows;
                if (!table_.StartRow(number)) return reasons::kCorruptSheet;
                lastRow_ = number;
                rowStarted_ = true;
            }
            if (lastColumn_ != UINT32_MAX && column <= lastColumn_) return reasons::kCorruptSheet;
            column_ = lastColumn_ = column;
        } else if (name == "v") {
            inValue_ = inCell_;
        } else if (name == "t") {
            inValue_ = inCell_ && inInline_;
        } else if (name == "is") {
            inInline_ = inCell_;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "row") {
            if (inRow_) return reasons::kCorruptSheet;
            inRow_ = true;
            rowStarted_ = false;
            lastColumn_ = UINT32_MAX;
            pendingRow_ = 0;
            const std::string_view number = x.Attribute("r");
            if (!number.empty()) {
                std::uint64_t n = 0;
                if (!Whole(number, n) || n == 0) return reasons::kCorruptSheet;
                if (n > kMaxRows) return reasons::kTooManyRows;
                if (n <= lastRow_) return reasons::kCorruptSheet;
                pendingRow_ = std::uint32_t(n);
            }
            if (rowsSeen_ >= kMaxRows) return reasons::kTooManyRows;
        } else if (name == "mergeCell") {
            const std::string_view ref = x.Attribute("ref");
            const std::size_t colon = ref.find(':');
            std::uint32_t c1, r1, c2, r2;
            if (colon != std::string_view::npos && ParseCellRef(ref.substr(0, colon), c1, r1) &&
                ParseCellRef(ref.substr(colon + 1), c2, r2) && r1 && r2)
                table_.Merge(r1, c1, r2, c2);
        }
        return nullptr;
    }

    void Text(std::uint32_t column) {
        SheetTableBuilder::TextRef ref;
        if (table_.AddUtf8(value_, ref)) table_.Text(column, ref);
    }

    const char* EndCell() {
        const std::uint32_t column = column_;
        switch (type_) {
        case Type::shared: {
            std::uint64_t i = 0;
            if (Trimmed(value_).empty()) return nullptr;
            if (!Whole(value_, i) || i >= shared_.size()) return reasons::kCorruptSheet;
            table_.Text(column, shared_[std::size_t(i)]);
            return nullptr;
        }
        case Type::inlineText:
        case Type::text:
        case Type::error: Text(column); return nullptr;
        case Type::boolean: {
            const std::string_view v = Trimmed(value_);
            if (!v.empty()) table_.Boolean(column, v == "1" || v == "true");
            return nullptr;
        }
        case Type::isoDate: {
            const QString iso = QString::fromUtf8(Trimmed(value_));
            const QDateTime dt = QDateTime::fromString(iso, Qt::ISODateWithMs);
            const QDate d = dt.isValid() ? dt.date() : QDate::fromString(iso, Qt::ISODate);
            if (d.isValid()) {
                const int ms = dt.isValid() ? dt.time().msecsSinceStartOfDay() : 0;
                table_.Date(column, d, ms ? ms : -1);
            } else {
                Text(column);
            }
            return nullptr;
        }
        case Type::number: break;
        }
        if (value_.empty()) return nullptr; // a styled cell without a value is empty
        double v = 0;
        if (!Whole(value_, v)) {
            Text(column); // what no spreadsheet writes: kept as it reads
            return nullptr;
        }
        if (style_ < dateStyles_.size() && dateStyles_[style_]) {
            QDate date;
            int ms = -1;
            if (SerialToDate(v, date1904_, date, ms)) {
                table_.Date(column, date, ms);
                return nullptr;
            }
            if (!date1904_ && v >= 0 && v < 1) { // a time of day alone
                table_.Text(
                    column,
                    QTime::fromMSecsSinceStartOfDay(int(v * 86'400'000.0 + 0.5) % 86'400'000).toString(u"HH:mm:ss"));
                return nullptr;
            }
        }
        table_.Number(column, v);
        return nullptr;
    }

    SheetTableBuilder& table_;
    const std::vector<SheetTableBuilder::TextRef>& shared_;
    const std::vector<bool>& dateStyles_;
    const bool date1904_;
    std::string value_;
    Type type_ = Type::number;
    std::uint32_t style_ = 0;
    std::uint32_t column_ = 0;
    std::uint32_t lastColumn_ = UINT32_MAX;
    std::uint32_t lastRow_ = 0;
    std::uint32_t pendingRow_ = 0;
    std::uint32_t rowsSeen_ = 0;
    int phonetic_ = 0;
    bool inRow_ = false, rowStarted_ = false, inCell_ = false, inValue_ = false, inInline_ = false;
};

} // namespace

bool ParseCellRef(std::string_view ref, std::uint32_t& column, std::uint32_t& row) {
    std::size_t i = 0;
    std::uint32_t col = 0;
    // Absolute references ($A$1) appear in some writers' merged ranges.
    if (i < ref.size() && ref[i] == '$') ++i;
    const std::size_t letters = i;
    for (; i < ref.size() && i - letters < 4; ++i) {
        const char c = ref[i];
        if (c >= 'A' && c <= 'Z')
            col = col * 26 + std::uint32_t(c - 'A' + 1);
        else if (c >= 'a' && c <= 'z')
            col = col * 26 + std::uint32_t(c - 'a' + 1);
        else
            break;
    }
    if (col == 0 || col > kMaxColumns) return false;
    if (i < ref.size() && ref[i] == '$') ++i;
    std::uint64_t r = 0;
    const std::size_t digits = i;
    for (; i < ref.size() && i - digits < 8; ++i) {
        const char c = ref[i];
        if (c < '0' || c > '9') return false;
        r = r * 10 + std::uint64_t(c - '0');
    }
    if (i != ref.size() || r > 1'048'576) return false;
    column = col - 1;
    row = std::uint32_t(r);
    return true;
}

bool IsDateFormat(int id, QStringView code) {
    if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return true;
    if (id < 164 && code.isEmpty()) return false;
    // The first section decides; quoted text, [colours], [$-locale] and escaped characters say nothing.
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        if (quoted) {
            quoted = c != u'"';
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u'[') {
            ++bracket;
        } else if (c == u']') {
            if (bracket) --bracket;
        } else if (bracket) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u';') {
            return false;
        } else {
            switch (c) {
            case u'y':
            case u'Y':
            case u'm':
            case u'M':
            case u'd':
            case u'D':
            case u'h':
            case u'H':
            case u's':
            case u'S': return true;
            default: break;
            }
        }
    }
    return false;
}

Result<Workbook> ReadWorkbook(ZipPackage& package) {
    // The package's own relationships name the workbook; older writers only put it in its usual place.
    const auto root = Relationships(package, QString());
    if (!root) return Failure{root.Reason()};
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    for (const auto& [id, rel] : *root)
        if (rel.type == u"officeDocument" && package.Has(rel.target)) workbookPart = rel.target;
    if (!package.Has(workbookPart)) return Fail(reasons::kNotWorkbook);

    const auto rels = Relationships(package, workbookPart);
    if (!rels) return Failure{rels.Reason()};
    Workbook wb;
    for (const auto& [id, rel] : *rels) {
        if (rel.type == u"sharedStrings") wb.sharedStrings = rel.target;
        if (rel.type == u"styles") wb.styles = rel.target;
    }
    const QString folder = Folder(workbookPart);
    if (wb.sharedStrings.isEmpty() && package.Has(folder + QStringLiteral("sharedStrings.xml")))
        wb.sharedStrings = folder + QStringLiteral("sharedStrings.xml");
    if (wb.styles.isEmpty() && package.Has(folder + QStringLiteral("styles.xml")))
        wb.styles = folder + QStringLiteral("styles.xml");

    const auto xml = package.ReadAll(workbookPart, kSmallPart);
    if (!xml) return Failure{xml.Reason()};
    QXmlStreamReader r(*xml);
    int position = 0;
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement) continue;
        if (r.name() == u"workbookPr") {
            const QStringView v = r.attributes().value("date1904");
            wb.date1904 = v == u"1" || v == u"true";
        } else if (r.name() == u"sheet") {
            ++position;
            SheetPart sheet;
            QString id;
            for (const QXmlStreamAttribute& a : r.attributes()) {
                if (a.name() == u"name") sheet.name = a.value().toString();
                if (a.name() == u"id" && !a.namespaceUri().isEmpty()) id = a.value().toString();
            }
            const auto rel = rels->find(id);
            if (rel != rels->end()) {
                if (rel->second.type != u"worksheet") continue; // a chart sheet has no cells
                sheet.part = rel->second.target;
            } else {
                sheet.part = folder + QStringLiteral("worksheets/sheet%1.xml").arg(position);
            }
            if (package.Has(sheet.part)) wb.sheets.push_back(sheet);
        }
    }
    if (r.hasError()) return Fail(reasons::kCorruptSheet);
    if (wb.sheets.empty()) return Fail(reasons::kEmptySheet);
    return wb;
}

Result<SheetTable> ReadSheet(ZipPackage& package, const Workbook& workbook, int index, const Progress& progress) {
    if (index < 0 || std::size_t(index) >= workbook.sheets.size()) return Fail(reasons::kNoSuchSheet);
    const auto dates = DateStyles(package, workbook.styles);
    if (!dates) return Failure{dates.Reason()};
    SheetTableBuilder table;
    const QString& sheet = workbook.sheets[std::size_t(index)].part;
    const qint64 strings =
        workbook.sharedStrings.isEmpty() ? 0 : std::max<qint64>(0, package.DeclaredSize(workbook.sharedStrings));
    const qint64 total = strings + std::max<qint64>(0, package.DeclaredSize(sheet));
    const auto shared = SharedStrings(package, workbook.sharedStrings, table, Share{progress, 0, total});
    if (!shared) return Failure{shared.Reason()};

    auto stream = package.OpenPart(sheet);
    if (!stream) return Failure{stream.Reason()};
    SheetParser parser(table, *shared, *dates, workbook.date1904);
    if (const char* why = parser.Parse(**stream, Share{progress, strings, total})) return Fail(why);
    SheetTable out;
    std::string why;
    if (!table.Finish(out, why)) return Failure{why};
    return out;
}

} // namespace vantorel::exchange::xlsx
