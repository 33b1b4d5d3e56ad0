// Every kind of bad file gets its reason, quickly, and no crash.
#include "test_files.h"
#include "exchange/read_reasons.h"
#include "exchange/sheet_reader.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

using namespace vantorel::exchange;
using testfiles::Part;

namespace {

// Both calls give the same reason (OpenSheets may already know it).
void ExpectRefused(const QString& path, const char* reason, bool openSees = true) {
    const auto info = OpenSheets(path);
    if (openSees) {
        EXPECT_FALSE(info) << path.toStdString();
        EXPECT_EQ(info.Reason(), reason) << path.toStdString();
    }
    const auto t = ReadSheet(path, 0);
    EXPECT_FALSE(t) << path.toStdString();
    EXPECT_EQ(t.Reason(), reason) << path.toStdString();
}

QString SmallWorkbook(const QString& path) {
    lxw_workbook* wb = workbook_new(path.toUtf8().constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    for (lxw_row_t r = 0; r < 2000; ++r) {
        worksheet_write_string(ws, r, 0, ("投保人" + std::to_string(r * 7919 % 10007)).c_str(), nullptr);
        worksheet_write_number(ws, r, 1, r * 3.25, nullptr);
    }
    EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
    return path;
}

TEST(BadInput, DamagedOrMisnamedFiles) {
    QTemporaryDir dir;
    const QByteArray good = testfiles::ReadFile(SmallWorkbook(dir.filePath("good.xlsx")));
    ASSERT_TRUE(ReadSheet(dir.filePath("good.xlsx"), 0));

    // Cut short: the zip's directory at the end is gone.
    ExpectRefused(testfiles::WriteFile(dir.filePath("cut.xlsx"), good.left(good.size() / 2)), reasons::kCorruptZip);
    // Bytes of the sheet changed: its data no longer inflate or match their checksum.
    QByteArray damaged = good;
    const qsizetype sheet = damaged.indexOf("xl/worksheets/sheet1.xml");
    ASSERT_GT(sheet, 0);
    for (qsizetype i = sheet + 200; i < sheet + 400; ++i) damaged[i] = char(damaged[i] ^ 0x5A);
    ExpectRefused(testfiles::WriteFile(dir.filePath("damaged.xlsx"), damaged), reasons::kCorruptZip, false);
    // A sheet that is no XML.
    testfiles::Package p;
    p.sheetXml = "<worksheet><sheetData><row><c><v>1</v></c></row></sheetData";
    testfiles::WriteZip(dir.filePath("unclosed.xlsx"), testfiles::PackageParts(p));
    ExpectRefused(dir.filePath("unclosed.xlsx"), reasons::kCorruptSheet, false);
    p.sheetXml = "<worksheet><sheetData><row r=\"2\"/><row r=\"1\"/></sheetData></worksheet>";
    testfiles::WriteZip(dir.filePath("backwards.xlsx"), testfiles::PackageParts(p));
    ExpectRefused(dir.filePath("backwards.xlsx"), reasons::kCorruptSheet, false);

    // Not what the name says: text, and a zip that is no workbook.
    ExpectRefused(testfiles::WriteFile(dir.filePath("text.xlsx"), "姓名,电话\n"), reasons::kNotWorkbook);
    ExpectRefused(testfiles::WriteFile(dir.filePath("text.XLS"), "姓名,电话\n"), reasons::kNotWorkbook);
    testfiles::WriteZip(dir.filePath("document.xlsx"), {{"word/document.xml", "<document/>"}});
    ExpectRefused(dir.filePath("document.xlsx"), reasons::kNotWorkbook);
    // A compound file without a workbook (a Word document, say).
    ExpectRefused(testfiles::WriteFile(dir.filePath("doc.xls"), testfiles::CompoundFile({"WordDocument"})),
                  reasons::kNotWorkbook);
    // A workbook under a CSV's name is read as the workbook it is.
    QFile::copy(dir.filePath("good.xlsx"), dir.filePath("renamed.csv"));
    EXPECT_EQ(OpenSheets(dir.filePath("renamed.csv"))->kind, FileKind::xlsx);

    // A password: Excel keeps the encrypted package in a compound file.
    ExpectRefused(testfiles::WriteFile(dir.filePath("secret.xlsx"),
                                       testfiles::CompoundFile({"EncryptionInfo", "EncryptedPackage"})),
                  reasons::kPassword);

    ExpectRefused(dir.filePath("missing.csv"), reasons::kCannotOpen);
    ExpectRefused(testfiles::WriteFile(dir.filePath("empty.csv"), ""), reasons::kEmptySheet, false);
    ExpectRefused(testfiles::WriteFile(dir.filePath("blank.csv"), ",,\r\n  ,\r\n\r\n"), reasons::kEmptySheet, false);
    p.sheetXml = "<worksheet><sheetData><row r=\"3\"><c r=\"B3\" t=\"inlineStr\"><is><t> </t></is></c></row>"
                 "</sheetData></worksheet>";
    testfiles::WriteZip(dir.filePath("blank.xlsx"), testfiles::PackageParts(p));
    ExpectRefused(dir.filePath("blank.xlsx"), reasons::kEmptySheet, false);

    // Binary, or UTF-16 without its mark: no encoding to be sure of.
    QByteArray binary;
    for (int i = 0; i < 4096; ++i) binary.append(char((i * 7919 + 13) % 251));
    ExpectRefused(testfiles::WriteFile(dir.filePath("binary.csv"), binary), reasons::kUnknownEncoding);
    ExpectRefused(testfiles::WriteFile(dir.filePath("utf16.csv"), QByteArray("a\0,\0b\0\n\0", 8)),
                  reasons::kUnknownEncoding);
    // Latin-1 is not an encoding of this import.
    ExpectRefused(testfiles::WriteFile(dir.filePath("latin1.csv"), "Name,Stra\xDF"
                                                                   "e\nM\xFCller,K\xF6ln\n"),
                  reasons::kUnknownEncoding);
}

TEST(BadInput, ZipBombsAreRefusedBeforeUnpacking) {
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    testfiles::Package p;
    p.sheetXml = "<worksheet><sheetData><row><c><v>1</v></c></row></sheetData></worksheet>";
    std::vector<Part> parts = testfiles::PackageParts(p);
    const QByteArray zeros = testfiles::RawDeflate(QByteArray(1 << 20, '\0'));

    // A part that says it unpacks to 2 GiB.
    parts[4] = {"xl/worksheets/sheet1.xml", zeros, true, std::uint64_t(2) << 30, 0};
    testfiles::WriteZip(dir.filePath("huge.xlsx"), parts);
    ExpectRefused(dir.filePath("huge.xlsx"), reasons::kUnpackedTooLarge);
    // Parts that each stay under every limit but together pass the size.
    parts[4] = {"xl/worksheets/sheet1.xml", p.sheetXml};
    std::vector<Part> many = parts;
    for (int i = 0; i < 1100; ++i)
        many.push_back({QStringLiteral("xl/media/image%1.png").arg(i), zeros, true, 1 << 20, 0});
    testfiles::WriteZip(dir.filePath("sum.xlsx"), many);
    ExpectRefused(dir.filePath("sum.xlsx"), reasons::kUnpackedTooLarge);
    // 2 MiB of zeros deflate to about 2 KiB: a ratio no sheet has.
    const QByteArray twoMiB(2 << 20, '\0');
    parts[4] = {"xl/worksheets/sheet1.xml", testfiles::RawDeflate(twoMiB), true, 2 << 20, testfiles::Crc(twoMiB)};
    testfiles::WriteZip(dir.filePath("ratio.xlsx"), parts);
    ExpectRefused(dir.filePath("ratio.xlsx"), reasons::kRatioTooHigh);

    // A header that lies small: a real sheet of many rows declared as 2 000
    // bytes. Unpacking stops there and the part is found damaged.
    QByteArray rows = "<worksheet><sheetData>";
    for (int r = 1; r <= 200000; ++r) rows += "<row r=\"" + QByteArray::number(r) + "\"><c><v>1</v></c></row>";
    rows += "</sheetData></worksheet>";
    parts[4] = {"xl/worksheets/sheet1.xml", testfiles::RawDeflate(rows), true, 2000, testfiles::Crc(rows)};
    testfiles::WriteZip(dir.filePath("liar.xlsx"), parts);
    const auto liar = ReadSheet(dir.filePath("liar.xlsx"), 0);
    EXPECT_FALSE(liar);
    EXPECT_EQ(liar.Reason(), reasons::kCorruptZip);
    EXPECT_LT(clock.elapsed(), 20000) << "refused without unpacking";
}

TEST(BadInput, TooManyRowsAndCancel) {
    QTemporaryDir dir;
    testfiles::Package p;
    // A row numbered past the limit, and a sheet of more rows than the limit without numbers.
    p.sheetXml = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                 "<row r=\"1000001\"><c r=\"A1000001\"><v>2</v></c></row></sheetData></worksheet>";
    testfiles::WriteZip(dir.filePath("far.xlsx"), testfiles::PackageParts(p));
    ExpectRefused(dir.filePath("far.xlsx"), reasons::kTooManyRows, false);
    p.sheetXml = "<worksheet><sheetData>";
    for (int r = 1; r <= 1'000'001; ++r) p.sheetXml += "<row><c><v>" + QByteArray::number(r) + "</v></c></row>";
    p.sheetXml += "</sheetData></worksheet>";
    testfiles::WriteZip(dir.filePath("many.xlsx"), testfiles::PackageParts(p));
    ExpectRefused(dir.filePath("many.xlsx"), reasons::kTooManyRows, false);
    const QString csv = testfiles::WriteFile(dir.filePath("many.csv"), QByteArray("1\n").repeated(1'000'001));
    ExpectRefused(csv, reasons::kTooManyRows, false);
    // One row less is fine, and a cancel stops the read.
    testfiles::WriteFile(csv, QByteArray("1\n").repeated(1'000'000) + "\n\n");
    const auto all = ReadSheet(csv, 0);
    ASSERT_TRUE(all) << all.Reason();
    EXPECT_EQ(all->RowCount(), 1'000'000);
    double last = -1;
    bool ordered = true;
    const auto cancelled = ReadSheet(csv, 0, [&](double f) {
        ordered = ordered && f >= last && f <= 1;
        last = f;
        return f < 0.5;
    });
    EXPECT_EQ(cancelled.Reason(), reasons::kCancelled);
    EXPECT_TRUE(ordered);
    EXPECT_GE(last, 0.5);
    EXPECT_EQ(ReadSheet(dir.filePath("many.xlsx"), 0, [](double) { return false; }).Reason(), reasons::kCancelled);
    // A workbook's shared strings and its sheet count as one: the fraction only grows.
    lxw_workbook* wb = workbook_new(dir.filePath("strings.xlsx").toUtf8().constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    for (lxw_row_t r = 0; r < 40000; ++r) worksheet_write_string(ws, r, 0, std::to_string(r * 7).c_str(), nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    std::vector<double> told;
    ASSERT_TRUE(ReadSheet(dir.filePath("strings.xlsx"), 0, [&](double f) { return told.push_back(f), true; }));
    EXPECT_GT(told.size(), 10u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), 1.0);

    // A merged range over the whole sheet fills no more than the sheet uses, and a range too big for memory is refused.
    p.sheetXml = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c></row>"
                 "<row r=\"3\"><c r=\"C3\"><v>1</v></c></row></sheetData>"
                 "<mergeCells><mergeCell ref=\"A1:XFD1048576\"/></mergeCells></worksheet>";
    testfiles::WriteZip(dir.filePath("merge.xlsx"), testfiles::PackageParts(p));
    const auto merged = ReadSheet(dir.filePath("merge.xlsx"), 0);
    ASSERT_TRUE(merged) << merged.Reason();
    EXPECT_EQ(merged->RowCount(), 3);
    EXPECT_EQ(merged->At(2, 2).Text(), "x") << "the range's value wins over the cell it covers";
    p.sheetXml = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c>"
                 "<c r=\"XFD1\"><v>1</v></c></row><row r=\"1000\"><c r=\"A1000\"><v>1</v></c></row></sheetData>"
                 "<mergeCells><mergeCell ref=\"A1:XFD1000\"/></mergeCells></worksheet>";
    testfiles::WriteZip(dir.filePath("bigmerge.xlsx"), testfiles::PackageParts(p));
    ExpectRefused(dir.filePath("bigmerge.xlsx"), reasons::kMergeTooLarge, false);
}

} // namespace
