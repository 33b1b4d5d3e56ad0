#include "test_files.h"
#include "exchange/csv_reader.h"
#include "exchange/read_reasons.h"
#include "exchange/sheet_reader.h"

#include <gtest/gtest.h>

#include <QStringEncoder>
#include <QTemporaryDir>

using namespace vantorel::exchange;

namespace {

const QString kBook = QStringLiteral("姓名,性别,地址,年缴保费(元)\r\n"
                                     "张三,男,\"北京市\n海淀区\",1234.5\r\n"
                                     "\"李\"\"四\"\"\",女,,'=1+1\r\n");

QByteArray Encoded(const QString& text, QStringConverter::Encoding e, bool bom) {
    QStringEncoder enc(e, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return enc.encode(text);
}

QByteArray Gbk(const QString& text) {
    QStringEncoder enc("GB18030");
    EXPECT_TRUE(enc.isValid());
    return enc.encode(text);
}

void ExpectBook(const SheetTable& t) {
    ASSERT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.ColumnCount(), 4);
    EXPECT_EQ(t.At(0, 3).Text(), "年缴保费(元)");
    EXPECT_EQ(t.At(1, 2).Text(), "北京市\n海淀区") << "a line break inside quotes";
    EXPECT_EQ(t.At(1, 3).Kind(), CellKind::text) << "CSV cells are text";
    EXPECT_EQ(t.At(1, 3).Text(), "1234.5");
    EXPECT_EQ(t.At(2, 0).Text(), "李\"四\"") << "doubled quotes";
    EXPECT_TRUE(t.At(2, 2).IsEmpty());
    EXPECT_EQ(t.At(2, 3).Text(), "'=1+1") << "the export's guard is the importer's to remove";
    EXPECT_EQ(t.FileRow(2), 3) << "a record's number, not its line's";
}

TEST(CsvReader, ReadsEachEncoding) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* encoding;
    };
    const Case cases[] = {
        {"utf8.csv", Encoded(kBook, QStringConverter::Utf8, false), "UTF-8"},
        {"utf8-bom.csv", Encoded(kBook, QStringConverter::Utf8, true), "UTF-8"},
        {"utf16le.txt", Encoded(kBook, QStringConverter::Utf16LE, true), "UTF-16LE"},
        {"utf16be.csv", Encoded(kBook, QStringConverter::Utf16BE, true), "UTF-16BE"},
        {"gbk.csv", Gbk(kBook), "GB18030"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = testfiles::WriteFile(dir.filePath(c.name), c.bytes);
        const auto info = OpenSheets(path);
        ASSERT_TRUE(info) << info.Reason();
        EXPECT_EQ(info->kind, FileKind::csv);
        EXPECT_EQ(info->sheets, QStringList{QString()});
        EXPECT_EQ(info->csvEncoding, c.encoding);
        EXPECT_EQ(info->csvSeparator, u',');
        const auto t = ReadSheet(path, 0);
        ASSERT_TRUE(t) << t.Reason();
        ExpectBook(*t);
        EXPECT_FALSE(ReadSheet(path, 1));
    }
    // GBK that only a detector can tell: a short file of a few names.
    const auto names = csv::Decode(Gbk(QStringLiteral("王小明,13800000000\n刘德华,13900000000\n")));
    ASSERT_TRUE(names) << names.Reason();
    EXPECT_TRUE(names->startsWith(QStringLiteral("王小明")));

    // The first bytes only tell that a file is no UTF-8, never that it is:
    // a character cut where that look ends is still read, and GBK after a
    // long Latin start is still GBK.
    QString cut(65535, u'a');
    cut += QStringLiteral("张三,李四\n");
    QString encoding;
    const auto utf8 = csv::Decode(cut.toUtf8(), &encoding);
    ASSERT_TRUE(utf8) << utf8.Reason();
    EXPECT_EQ(*utf8, cut);
    EXPECT_EQ(encoding, "UTF-8");
    QString late = QString(100000, u'a') + u'\n';
    for (int i = 0; i < 5000; ++i) late += QStringLiteral("王小明,北京市海淀区中关村大街%1号\n").arg(i);
    const auto gbk = csv::Decode(Gbk(late), &encoding);
    ASSERT_TRUE(gbk) << gbk.Reason();
    EXPECT_EQ(*gbk, late);
    EXPECT_EQ(encoding, "GB18030");
}

TEST(CsvReader, FindsTheSeparatorAndEndsCleanly) {
    EXPECT_EQ(csv::DetectSeparator(u"a;b;c\n1;2,5;3\n"), u';');
    EXPECT_EQ(csv::DetectSeparator(u"a\tb\n\"x,y,z\"\t2\n"), u'\t') << "commas inside quotes do not count";
    EXPECT_EQ(csv::DetectSeparator(u"a,b;c\n1,2;3\n"), u',');
    EXPECT_EQ(csv::DetectSeparator(u"one column\nonly\n"), u',');
    // The separator that splits consistently wins over one that splits once.
    EXPECT_EQ(csv::DetectSeparator(u"姓名;电话;备注\n张三;1;a, b\n李四;2;c\n"), u';');

    // A trailing empty line adds no row; empty lines inside keep the numbering.
    const auto t = csv::Parse(QStringLiteral("a\tb\n\n1\t\"2\"x\n\n"), u'\t', {});
    ASSERT_TRUE(t) << t.Reason();
    ASSERT_EQ(t->RowCount(), 2);
    EXPECT_EQ(t->FileRow(1), 3);
    EXPECT_EQ(t->At(1, 1).Text(), "2x") << "text after a closing quote is kept";
    // Old Mac line ends, a quote never closed, a quote inside a field.
    const auto odd = csv::Parse(QStringLiteral("a,b\rc,d\r5\" tall,\"open"), u',', {});
    ASSERT_TRUE(odd);
    ASSERT_EQ(odd->RowCount(), 3);
    EXPECT_EQ(odd->At(1, 1).Text(), "d");
    EXPECT_EQ(odd->At(2, 0).Text(), "5\" tall");
    EXPECT_EQ(odd->At(2, 1).Text(), "open");
    EXPECT_EQ(FirstNonEmptyRow(*csv::Parse(QStringLiteral(" , \n\nname\n"), u',', {})), 1);
}

} // namespace
