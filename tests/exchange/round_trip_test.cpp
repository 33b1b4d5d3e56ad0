// A book exported as the report buttons export it, imported into an empty
// book: every record comes back byte for byte.
#include "import_book.h"
#include "exchange/import_apply.h"
#include "exchange/import_plan.h"
#include "exchange/record_sheet.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace vantorel;
using namespace vantorel::exchange;

namespace {

template <class C> void ExpectRoundTrip(const C& original, CollectionId kind, const QString& path) {
    const auto records = original.CopyAll();
    const Result<int> written = WriteXlsx(path, RecordSheet(records, QStringLiteral("表")));
    ASSERT_TRUE(written) << written.Reason();
    auto read = ReadSheet(path, 0);
    ASSERT_TRUE(read) << read.Reason();
    const auto table = std::make_shared<const exchange::SheetTable>(std::move(*read));
    const int header = FirstNonEmptyRow(*table);
    ASSERT_EQ(header, 0);
    QStringList headers;
    for (int c = 0; c < table->ColumnCount(); ++c) headers << table->At(header, c).Text();
    const ColumnMapping mapping = MatchColumns(FieldCatalogue::Of(kind), headers);
    for (std::size_t c = 0; c < mapping.size(); ++c) EXPECT_GE(mapping[c], 0) << headers[int(c)].toStdString();
    EXPECT_TRUE(ConflictingColumns(mapping).empty());
    ImportPlan plan(table, header, FileKind::xlsx, kind, mapping);
    ASSERT_TRUE(plan.CheckAll({}));
    DataBook book;
    ImportApplier apply(plan, DuplicateChoice::skip, book);
    apply.ApplyAll();
    const auto& back = dynamic_cast<const C&>(book.Collection(kind));
    ASSERT_EQ(back.GetSize(), original.GetSize());
    for (int i = 0; i < back.GetSize(); ++i) {
        EXPECT_EQ(back.Bytes(i), original.Bytes(i)) << "record " << i << ": " << plan.Reasons(i).toStdString();
        if (back.Bytes(i) != original.Bytes(i)) break;
    }
}

} // namespace

TEST(ImportRoundTrip, EachKindOfReportSpreadsheetComesBackByteForByte) {
    QTemporaryDir dir;
    const DataBook book = importbook::Book(40);
    ExpectRoundTrip(book.insurance, CollectionId::insurance, dir.filePath("policies.xlsx"));
    ExpectRoundTrip(book.clients, CollectionId::clients, dir.filePath("clients.xlsx"));
    ExpectRoundTrip(book.members, CollectionId::members, dir.filePath("members.xlsx"));
}
