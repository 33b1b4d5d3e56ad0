#include "xlsx_reader.h"
#include "exchange/xlsx_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

namespace {

SheetTable Table(QStringList header, std::vector<std::vector<SheetCell>> rows) {
    auto shared = std::make_shared<std::vector<std::vector<SheetCell>>>(std::move(rows));
    SheetTable t;
    t.sheetName = QStringLiteral("保单");
    t.header = std::move(header);
    t.rows = shared->size();
    t.row = [shared](std::size_t i, std::vector<SheetCell>& cells) { cells = (*shared)[i]; };
    return t;
}

QStringList Names(const QDir& dir) { return dir.entryList(QDir::Files | QDir::Hidden | QDir::System); }

TEST(Xlsx, CellsAreReadBackWithTheirTypes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("表.xlsx"));
    const QString longText(40000, u'长');
    const vantorel::Result<int> r = WriteXlsx(
        path,
        Table({QStringLiteral("保险单号"), QStringLiteral("年缴保费(元)"), QStringLiteral("生效日期"),
               QStringLiteral("身高(cm)"), QStringLiteral("备注")},
              {{SheetCell::Text(QStringLiteral("=SUM(A1)")), SheetCell::Amount(1234.5),
                SheetCell::Date(QDate(2004, 2, 29)), SheetCell::Number(170.6), SheetCell::Text(longText)},
               {SheetCell::Text(QStringLiteral("P2")), SheetCell::Amount(std::numeric_limits<double>::quiet_NaN()),
                SheetCell::Date(QDate(1899, 12, 31)), SheetCell{}, SheetCell::Text(QStringLiteral(" 两端 \n"))}}));
    ASSERT_TRUE(r) << r.Reason();
    EXPECT_EQ(*r, 1) << "one text cut to a cell's length";

    const xlsx::Sheet s = xlsx::Read(path);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.name, QStringLiteral("保单"));
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.At(0, 0).text, QStringLiteral("保险单号"));
    EXPECT_TRUE(s.At(0, 4).bold);
    // A text is a text, never a formula.
    EXPECT_TRUE(s.At(1, 0).IsText());
    EXPECT_EQ(s.At(1, 0).text, QStringLiteral("=SUM(A1)"));
    EXPECT_EQ(s.parts.at(QStringLiteral("xl/worksheets/sheet1.xml")).indexOf("<f>"), -1);
    EXPECT_EQ(s.At(1, 1).type, "n");
    EXPECT_EQ(s.At(1, 1).value, 1234.5);
    EXPECT_EQ(s.At(1, 1).format, "0.00");
    EXPECT_EQ(s.At(1, 2).Date(), QDate(2004, 2, 29));
    EXPECT_EQ(s.At(1, 2).format, "yyyy-mm-dd");
    EXPECT_EQ(s.At(1, 3).value, 170.6);
    EXPECT_EQ(s.At(1, 3).format, "");
    EXPECT_EQ(s.At(1, 4).text.size(), 32767);
    // What a spreadsheet cannot hold as a number or a date stays readable as text.
    EXPECT_TRUE(s.At(2, 1).IsText());
    EXPECT_EQ(s.At(2, 1).text.toLower(), "nan");
    EXPECT_EQ(s.At(2, 2).text, "1899-12-31");
    EXPECT_EQ(s.At(2, 3).type, "");
    EXPECT_EQ(s.At(2, 4).text, QStringLiteral(" 两端 \n"));
    EXPECT_EQ(Names(QDir(dir.path())), QStringList{QStringLiteral("表.xlsx")}) << "no temporary file left";
}

TEST(Xlsx, ReplacesThroughARenameAndKeepsLinksAndPermissions) {
    QTemporaryDir dir;
    const SheetTable table = Table({QStringLiteral("姓名")}, {{SheetCell::Text(QStringLiteral("张三"))}});

    // Failures are said, and leave what was there.
    const QString folder = dir.filePath(QStringLiteral("a folder.xlsx"));
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const QString& bad : {dir.filePath(QStringLiteral("missing/r.xlsx")), folder}) {
        const vantorel::Result<int> r = WriteXlsx(bad, table);
        EXPECT_FALSE(r) << bad.toStdString();
        EXPECT_TRUE(QString::fromStdString(r.Reason()).contains(bad)) << r.Reason();
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(Names(QDir(dir.path())).isEmpty()) << Names(QDir(dir.path())).join(' ').toStdString();
#ifdef _WIN32
    GTEST_SKIP() << "POSIX file modes and symbolic links (QFile::link makes a shortcut there)";
#endif

    const QString fresh = dir.filePath(QStringLiteral("new.xlsx"));
    ASSERT_TRUE(WriteXlsx(fresh, table));
    EXPECT_EQ(QFile::permissions(fresh) & 0x0777, QFile::ReadUser | QFile::WriteUser) << "personal data: private";

    const QString old = dir.filePath(QStringLiteral("old.xlsx"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QFile::setPermissions(old, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    const QString link = dir.filePath(QStringLiteral("link.xlsx"));
    ASSERT_TRUE(QFile::link(old, link));
    ASSERT_TRUE(WriteXlsx(link, table));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(xlsx::Read(old).At(1, 0).text, QStringLiteral("张三"));
    EXPECT_EQ(QFile::permissions(old) & 0x0777, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    EXPECT_EQ(Names(QDir(dir.path())).size(), 3) << Names(QDir(dir.path())).join(' ').toStdString();
}

} // namespace
