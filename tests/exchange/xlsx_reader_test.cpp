#include "test_files.h"
#include "exchange/read_reasons.h"
#include "exchange/sheet_reader.h"
#include "exchange/xlsx_reader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

using namespace vantorel::exchange;

namespace {

QString Source(const QString& rel) { return qEnvironmentVariable("VANTOREL_SOURCE_DIR") + u'/' + rel; }

SheetTable Read(const QString& path, int sheet = 0) {
    auto t = ReadSheet(path, sheet);
    EXPECT_TRUE(t) << t.Reason();
    return t ? std::move(*t) : SheetTable();
}

// The cell at a row as the file numbers it.
TableCell At(const SheetTable& t, int fileRow, int column) { return t.At(t.IndexOfFileRow(fileRow), column); }

// A workbook as the program's own export library writes it, with shared
// strings (or inline strings when `constantMemory`).
QString WriteWithLibxlsxwriter(const QString& path, bool constantMemory) {
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "保单");
    lxw_worksheet* second = workbook_add_worksheet(wb, "第二页");
    workbook_add_worksheet(wb, "空表");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format* stamp = workbook_add_format(wb);
    format_set_num_format(stamp, "yyyy\"年\"m\"月\"d\"日\" hh:mm");
    lxw_format* amount = workbook_add_format(wb);
    format_set_num_format(amount, "0.00");
    lxw_format* quotedD = workbook_add_format(wb);
    format_set_num_format(quotedD, "0.0\" d\"");

    worksheet_merge_range(ws, 0, 0, 0, 2, "投保人", nullptr);
    const char* header[] = {"姓名", "出生日期", "年缴保费(元)", "身高", "已缴", "生效时间", "天数"};
    for (lxw_col_t c = 0; c < 7; ++c) worksheet_write_string(ws, 1, c, header[c], nullptr);
    worksheet_write_string(ws, 2, 0, "张三", nullptr);
    lxw_datetime birth{1977, 5, 4, 0, 0, 0};
    worksheet_write_datetime(ws, 2, 1, &birth, date);
    worksheet_write_number(ws, 2, 2, 1234.5, amount);
    worksheet_write_number(ws, 2, 3, 170, nullptr);
    worksheet_write_boolean(ws, 2, 4, 1, nullptr);
    lxw_datetime effective{2004, 2, 29, 10, 30, 0};
    worksheet_write_datetime(ws, 2, 5, &effective, stamp);
    worksheet_write_number(ws, 2, 6, 3.5, quotedD);
    // Row 4 has a gap in its middle; rows 5 and 6 are empty.
    worksheet_write_string(ws, 3, 0, "张三", nullptr);
    worksheet_write_number(ws, 3, 4, 0, nullptr);
    worksheet_write_string(ws, 6, 0, " =SUM(A1) ", nullptr);
    worksheet_write_string(second, 0, 1, "second", nullptr);
    EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
    return path;
}

TEST(XlsxReader, ReadsWhatLibxlsxwriterWrites) {
    QTemporaryDir dir;
    for (const bool inlineStrings : {false, true}) {
        SCOPED_TRACE(inlineStrings ? "inline strings" : "shared strings");
        const QString path =
            WriteWithLibxlsxwriter(dir.filePath(inlineStrings ? "inline.xlsx" : "shared.xlsx"), inlineStrings);
        const auto info = OpenSheets(path);
        ASSERT_TRUE(info) << info.Reason();
        EXPECT_EQ(info->kind, FileKind::xlsx);
        EXPECT_EQ(info->sheets, QStringList({"保单", "第二页", "空表"}));

        const SheetTable t = Read(path);
        EXPECT_EQ(t.RowCount(), 5) << "empty rows are not stored";
        EXPECT_EQ(t.FileRow(4), 7) << "rows keep the file's numbers";
        EXPECT_EQ(FirstNonEmptyRow(t), 0);
        // The merged header names each of its columns.
        for (int c = 0; c < 3; ++c) EXPECT_EQ(At(t, 1, c).Text(), "投保人") << c;
        EXPECT_TRUE(At(t, 1, 3).IsEmpty());
        EXPECT_EQ(At(t, 2, 6).Text(), "天数");

        EXPECT_EQ(At(t, 3, 0).Kind(), CellKind::text);
        EXPECT_EQ(At(t, 3, 1).Kind(), CellKind::date);
        EXPECT_EQ(At(t, 3, 1).Date(), QDate(1977, 5, 4));
        EXPECT_FALSE(At(t, 3, 1).Time().isValid());
        EXPECT_EQ(At(t, 3, 1).DisplayText(), "1977-05-04");
        EXPECT_EQ(At(t, 3, 2).Kind(), CellKind::number);
        EXPECT_EQ(At(t, 3, 2).Number(), 1234.5);
        EXPECT_EQ(At(t, 3, 3).DisplayText(), "170");
        EXPECT_EQ(At(t, 3, 4).Kind(), CellKind::boolean);
        EXPECT_TRUE(At(t, 3, 4).Boolean());
        EXPECT_EQ(At(t, 3, 5).Date(), QDate(2004, 2, 29));
        EXPECT_EQ(At(t, 3, 5).Time(), QTime(10, 30));
        EXPECT_EQ(At(t, 3, 5).DisplayText(), "2004-02-29 10:30:00");
        EXPECT_EQ(At(t, 3, 6).Kind(), CellKind::number) << "a d inside quotes makes no date";

        EXPECT_EQ(t.RowWidth(t.IndexOfFileRow(4)), 5);
        EXPECT_TRUE(At(t, 4, 2).IsEmpty());
        EXPECT_EQ(At(t, 4, 4).DisplayText(), "0");
        EXPECT_EQ(At(t, 7, 0).Text(), " =SUM(A1) ") << "text as it is, never a formula";
        EXPECT_EQ(t.ColumnCount(), 7);

        const SheetTable second = Read(path, 1);
        ASSERT_EQ(second.RowCount(), 1);
        EXPECT_TRUE(second.At(0, 0).IsEmpty());
        EXPECT_EQ(second.At(0, 1).Text(), "second");

        const auto empty = ReadSheet(path, 2);
        EXPECT_FALSE(empty);
        EXPECT_EQ(empty.Reason(), reasons::kEmptySheet);
        EXPECT_EQ(ReadSheet(path, 3).Reason(), reasons::kNoSuchSheet);
    }
}

TEST(XlsxReader, SharedStringsAreKeptOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("repeat.xlsx");
    lxw_workbook* wb = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    const std::string longText(200, 'x');
    for (lxw_row_t r = 0; r < 1000; ++r) worksheet_write_string(ws, r, 0, longText.c_str(), nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    const SheetTable t = Read(path);
    ASSERT_EQ(t.RowCount(), 1000);
    EXPECT_EQ(t.At(999, 0).TextView().size(), 200);
    // 1000 cells of 16 bytes and the text once; 1000 copies would be 400 000 bytes.
    EXPECT_LT(t.MemoryBytes(), 60'000u);
}

// A package as WPS and other writers lay it out: the workbook elsewhere than
// xl/, absolute targets, no row or cell numbers, the 1904 date system, rich
// text with a phonetic guide, formula results, errors, and dates styled by
// built-in and custom formats.
TEST(XlsxReader, ReadsOtherWritersLayouts) {
    QTemporaryDir dir;
    const QByteArray type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const QByteArray relsHead =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::vector<testfiles::Part> parts = {
        {"_rels/.rels", relsHead + "<Relationship Id=\"a\" Type=\"" + type +
                            "officeDocument\" Target=\"/book/main.xml\"/></Relationships>"},
        {"book/main.xml",
         "<x:workbook xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:rel=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<x:workbookPr date1904=\"true\"/><x:sheets><x:sheet name=\"图表\" sheetId=\"9\" rel:id=\"c\"/>"
         "<x:sheet name=\"数据\" sheetId=\"3\" rel:id=\"s\"/></x:sheets></x:workbook>"},
        {"book/_rels/main.xml.rels",
         relsHead + "<Relationship Id=\"s\" Type=\"" + type + "worksheet\" Target=\"/book/sheets/data.xml\"/>" +
             "<Relationship Id=\"c\" Type=\"" + type + "chartsheet\" Target=\"sheets/chart.xml\"/>" +
             "<Relationship Id=\"t\" Type=\"" + type + "sharedStrings\" Target=\"strings.xml\"/>" +
             "<Relationship Id=\"y\" Type=\"" + type + "styles\" Target=\"../book/look.xml\"/></Relationships>"},
        {"book/sheets/chart.xml", "<chartsheet/>"},
        {"book/strings.xml", "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                             "<si><t>姓名</t></si>"
                             "<si><r><rPr><b/></rPr><t>张</t></r><r><t xml:space=\"preserve\">三 </t></r>"
                             "<rPh sb=\"0\" eb=\"1\"><t>zhang</t></rPh></si></sst>"},
        {"book/look.xml",
         "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<numFmts><numFmt numFmtId=\"170\" formatCode=\"[$-804]yyyy&quot;年&quot;m&quot;月&quot;\"/>"
         "<numFmt numFmtId=\"171\" formatCode=\"[Red]0.00;&quot;day&quot;\"/></numFmts>"
         "<cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>"
         "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"170\"/><xf numFmtId=\"171\"/>"
         "<xf numFmtId=\"22\"/><xf numFmtId=\"20\"/></cellXfs></styleSheet>"},
        {"book/sheets/data.xml",
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
         "<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c></row>"
         "<row><c s=\"1\"><v>0</v></c><c s=\"2\"><v>36584</v></c><c s=\"3\"><v>12.5</v></c>"
         "<c s=\"4\"><v>1.25</v></c><c s=\"5\"><v>0.5</v></c></row>"
         "<row/>"
         "<row><c t=\"str\"><f>A1&amp;B1</f><v>姓名张三</v></c><c t=\"e\"><v>#N/A</v></c>"
         "<c t=\"inlineStr\"><is><t>行内</t></is></c><c t=\"b\"><v>0</v></c><c s=\"1\"/>"
         "<c t=\"d\"><v>2004-02-29T08:00:00</v></c></row>"
         "</sheetData></worksheet>"}};
    const QString path = dir.filePath("wps.xlsx");
    testfiles::WriteZip(path, parts);

    const auto info = OpenSheets(path);
    ASSERT_TRUE(info) << info.Reason();
    EXPECT_EQ(info->sheets, QStringList{"数据"}) << "a chart sheet has no cells to import";
    const SheetTable t = Read(path);
    ASSERT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.FileRow(2), 4) << "a row without a number follows the last";
    EXPECT_EQ(t.At(0, 1).Text(), "张三 ") << "runs joined, phonetic guide left out";
    // 1904 system: serial 0 is 1 January 1904.
    EXPECT_EQ(t.At(1, 0).Date(), QDate(1904, 1, 1));
    EXPECT_EQ(t.At(1, 1).Date(), QDate(2004, 2, 29)) << "36584 days after 1904-01-01";
    EXPECT_EQ(t.At(1, 2).Kind(), CellKind::number) << "[Red] and quoted text make no date";
    EXPECT_EQ(t.At(1, 3).Date(), QDate(1904, 1, 2));
    EXPECT_EQ(t.At(1, 3).Time(), QTime(6, 0));
    EXPECT_EQ(t.At(1, 4).Kind(), CellKind::date) << "built-in format 20 (h:mm)";
    EXPECT_EQ(t.At(2, 0).Text(), "姓名张三") << "a formula's last result";
    EXPECT_EQ(t.At(2, 1).Text(), "#N/A");
    EXPECT_EQ(t.At(2, 2).Text(), "行内");
    EXPECT_EQ(t.At(2, 3).Kind(), CellKind::boolean);
    EXPECT_FALSE(t.At(2, 3).Boolean());
    EXPECT_TRUE(t.At(2, 4).IsEmpty()) << "a styled cell without a value";
    EXPECT_EQ(t.At(2, 5).DisplayText(), "2004-02-29 08:00:00");
}

TEST(XlsxReader, DatesInThe1900System) {
    // Serial 60 is the 29 February 1900 spreadsheets count and the calendar
    // never had; a time of day alone is no date.
    QTemporaryDir dir;
    testfiles::Package p;
    p.styles = "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
    p.sheetXml = "<worksheet><sheetData><row r=\"1\">"
                 "<c r=\"A1\" s=\"1\"><v>1</v></c><c r=\"B1\" s=\"1\"><v>59</v></c><c r=\"C1\" s=\"1\"><v>60</v></c>"
                 "<c r=\"D1\" s=\"1\"><v>61</v></c><c r=\"E1\" s=\"1\"><v>38046.999999999</v></c>"
                 "<c r=\"F1\" s=\"1\"><v>0.75</v></c><c r=\"G1\" s=\"1\"><v>-1</v></c></row></sheetData></worksheet>";
    const QString path = dir.filePath("dates.xlsx");
    testfiles::WriteZip(path, testfiles::PackageParts(p));
    const SheetTable t = Read(path);
    EXPECT_EQ(t.At(0, 0).Date(), QDate(1900, 1, 1));
    EXPECT_EQ(t.At(0, 1).Date(), QDate(1900, 2, 28));
    EXPECT_EQ(t.At(0, 2).Kind(), CellKind::number);
    EXPECT_EQ(t.At(0, 3).Date(), QDate(1900, 3, 1));
    EXPECT_EQ(t.At(0, 4).Date(), QDate(2004, 3, 1)) << "rounded to the millisecond, into the next day";
    EXPECT_FALSE(t.At(0, 4).Time().isValid());
    EXPECT_EQ(t.At(0, 5).Text(), "18:00:00");
    EXPECT_EQ(t.At(0, 6).Number(), -1);
}

TEST(XlsxReader, DateFormats) {
    for (int id : {14, 17, 22, 31, 45, 47, 57}) EXPECT_TRUE(xlsx::IsDateFormat(id, {})) << id;
    for (int id : {0, 1, 2, 10, 23, 49, 164}) EXPECT_FALSE(xlsx::IsDateFormat(id, {})) << id;
    for (const char16_t* code : {u"yyyy/mm/dd", u"[$-F800]dddd, mmmm dd, yyyy", u"h:mm AM/PM", u"m/d", u"\"在\"yyyy"})
        EXPECT_TRUE(xlsx::IsDateFormat(170, code)) << QString::fromUtf16(code).toStdString();
    for (const char16_t* code : {u"0.00", u"#,##0\" yd\"", u"[Red]0.0", u"General", u"0.0\\d", u"@", u"0;\"m\""})
        EXPECT_FALSE(xlsx::IsDateFormat(170, code)) << QString::fromUtf16(code).toStdString();
}

TEST(XlsxReader, ReadsWhatLibreOfficeWrites) {
    for (const char* name : {"libreoffice.xlsx", "libreoffice.xls"}) {
        SCOPED_TRACE(name);
        const QString path = Source(QStringLiteral("tests/exchange/data/") + name);
        const auto info = OpenSheets(path);
        ASSERT_TRUE(info) << info.Reason();
        EXPECT_EQ(info->kind, QString(name).endsWith("xls") ? FileKind::xls : FileKind::xlsx);
        EXPECT_EQ(info->sheets, QStringList({"保单", "Sheet2"}));
        const SheetTable t = Read(path);
        EXPECT_EQ(At(t, 1, 0).Text(), "投保人");
        if (info->kind == FileKind::xlsx) {
            EXPECT_EQ(At(t, 1, 1).Text(), "投保人") << "merged";
        }
        EXPECT_EQ(At(t, 1, 2).Text(), "保单");
        EXPECT_EQ(At(t, 2, 2).Text(), "年缴保费(元)");
        EXPECT_EQ(At(t, 3, 0).Text(), "张三");
        EXPECT_EQ(At(t, 3, 1).Date(), QDate(1977, 5, 4));
        EXPECT_EQ(At(t, 3, 2).Number(), 1234.5);
        EXPECT_EQ(At(t, 3, 3).Date(), QDate(2004, 2, 29));
        EXPECT_EQ(At(t, 3, 3).Time(), QTime(10, 30));
        // A boolean without a boolean style: LibreOffice writes the number 1.
        EXPECT_EQ(At(t, 3, 4).DisplayText(), "1");
        EXPECT_TRUE(At(t, 4, 1).IsEmpty());
        EXPECT_EQ(At(t, 4, 2).Number(), -7);
        EXPECT_EQ(At(t, 7, 0).Text(), "王五");
        EXPECT_EQ(t.FileRow(t.RowCount() - 1), 7);
        const SheetTable second = Read(path, 1);
        EXPECT_EQ(second.At(0, 1).Text(), "second");
    }
}

} // namespace
