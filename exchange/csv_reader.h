// CSV and text files: the encoding told by a byte order mark or found by
// ICU's charset detector (UTF-8 first, then GB18030, which holds GBK), the
// separator found from the first records, fields as RFC 4180 quotes them.
//
// Every cell of a CSV is text; the importer reads numbers and dates from it.
// Nothing is trimmed, and the ' that our own export puts before a text
// starting with =, +, -, @ (so spreadsheets do not run it) is kept: the
// importer decides whether it was ours.
#pragma once

#include "exchange/read_progress.h"
#include "exchange/sheet_table.h"
#include "records/result.h"

#include <QByteArray>
#include <QString>

namespace vantorel::exchange::csv {

struct Layout {
    QString encoding; // "UTF-8", "UTF-16LE", "UTF-16BE" or "GB18030"
    QChar separator;  // ',', ';' or '\t'
};

// The bytes as text, or reasons::kUnknownEncoding. `encoding` gets the name.
Result<QString> Decode(const QByteArray& bytes, QString* encoding = nullptr);
// The separator that splits the first records most consistently into more
// than one field (comma when none does).
QChar DetectSeparator(QStringView text);
// The records of `text` as rows of text cells.
Result<SheetTable> Parse(QString text, QChar separator, const Progress& progress);

// A file's encoding and separator, for the import's first look.
Result<Layout> Inspect(const QString& path);
// A file as a table (not yet checked for being empty).
Result<SheetTable> ReadFile(const QString& path, const Progress& progress);

} // namespace vantorel::exchange::csv
