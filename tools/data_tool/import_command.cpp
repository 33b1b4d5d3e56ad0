// vantorel-data import: a spreadsheet or CSV file into one data file, with
// the program's own matching, checks and duplicate rules, while the program
// is closed.
#include "commands.h"
#include "records_kind.h"

#include "agent/folder_lock.h"
#include "exchange/import_apply.h"
#include "exchange/import_plan.h"
#include "exchange/sheet_reader.h"
#include "records/journal_format.h"

#include <QDir>
#include <QString>

#include <iostream>
#include <optional>

namespace vantorel::tool {

namespace fs = std::filesystem;
using namespace vantorel::exchange;

namespace {

struct ImportArgs {
    Kind kind = Kind::insurance;
    std::string file;
    fs::path dir;
    DuplicateChoice choice = DuplicateChoice::skip;
};

ImportArgs ParseImport(const Args& args) {
    ImportArgs a;
    std::optional<std::string> kind;
    std::vector<std::string> positional;
    bool update = false, skip = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (s == "--kind") {
            if (i + 1 >= args.size()) throw UsageError("--kind needs a value");
            kind = args[++i];
        } else if (s.rfind("--kind=", 0) == 0) {
            kind = s.substr(7);
        } else if (s == "--update") {
            update = true;
        } else if (s == "--skip") {
            skip = true;
        } else if (s.size() > 1 && s[0] == '-') {
            throw UsageError("unknown option " + s);
        } else {
            positional.push_back(s);
        }
    }
    if (!kind) throw UsageError("import needs --kind (policies, clients, members or schedule)");
    const auto k = KindFromName(*kind);
    if (!k) throw UsageError("unknown kind '" + *kind + "' (use policies, clients, members or schedule)");
    if (positional.size() < 2) throw UsageError(positional.empty() ? "missing FILE" : "missing DATADIR");
    if (positional.size() > 2) throw UsageError("unexpected argument '" + positional[2] + "'");
    if (update && skip) throw UsageError("--update and --skip exclude each other");
    a.kind = *k;
    a.file = positional[0];
    a.dir = positional[1];
    a.choice = update ? DuplicateChoice::update : DuplicateChoice::skip;
    return a;
}

std::string Utf8(const QString& s) { return s.toStdString(); }

// The sheet as a table with its header row, or a printed reason.
std::optional<ImportPlan> ReadPlan(const ImportArgs& a, const KeyIndex& keys) {
    const QString path = QString::fromStdString(a.file);
    const Result<WorkbookInfo> info = OpenSheets(path);
    if (!info) {
        std::cerr << "vantorel-data: " << a.file << ": " << info.Reason() << "\n";
        return std::nullopt;
    }
    Result<exchange::SheetTable> read = ReadSheet(path, 0);
    if (!read) {
        std::cerr << "vantorel-data: " << a.file << ": " << read.Reason() << "\n";
        return std::nullopt;
    }
    auto table = std::make_shared<const exchange::SheetTable>(std::move(*read));
    const int header = FirstNonEmptyRow(*table);
    QStringList headers;
    for (int c = 0; c < table->ColumnCount(); ++c) headers << table->At(header, c).DisplayText();
    const FieldCatalogue& fields = FieldCatalogue::Of(a.kind);
    const ColumnMapping mapping = MatchColumns(fields, headers);
    if (const std::vector<int> both = ConflictingColumns(mapping); !both.empty()) {
        std::cerr << "vantorel-data: " << a.file << ": these columns name the same field:";
        for (const int c : both)
            std::cerr << " \"" << Utf8(headers[c]) << "\" (" << Utf8(fields.At(mapping[std::size_t(c)]).label) << ")";
        std::cerr << "; rename one of them\n";
        return std::nullopt;
    }
    bool any = false;
    for (std::size_t c = 0; c < mapping.size(); ++c) {
        if (mapping[c] >= 0) any = true;
        if (mapping[c] == kSkip && !headers[int(c)].trimmed().isEmpty())
            std::cout << "column \"" << Utf8(headers[int(c)]) << "\" is not imported (no field of that name)\n";
    }
    if (!any) {
        std::cerr << "vantorel-data: " << a.file << ": no column of the header row names a field of "
                  << KindName(a.kind) << "\n";
        return std::nullopt;
    }
    ImportPlan plan(table, header, info->kind, a.kind, mapping);
    plan.CheckAll(keys);
    return plan;
}

} // namespace

int Import(const Args& args) {
    const ImportArgs a = ParseImport(args);
    std::error_code ec;
    if (!fs::is_directory(a.dir, ec)) {
        std::cerr << "vantorel-data: " << a.dir.string() << " is not a folder\n";
        return 1;
    }
    QLockFile lock(QDir(QString::fromStdString(a.dir.string())).absoluteFilePath(kFolderLockFileName));
    if (!TakeFolderLock(lock)) {
        std::cerr << "vantorel-data: Vantorel is running on " << a.dir.string()
                  << " (it holds vantorel.lock); close it first, nothing was imported\n";
        return 1;
    }
    // A journal left by a program that did not end in order holds changes
    // the data files lack: the program must bring them back first.
    if (fs::exists(a.dir / kJournalFileName, ec)) {
        std::cerr << "vantorel-data: " << (a.dir / kJournalFileName).string()
                  << " holds changes not yet in the data files; start Vantorel once so that it brings them back, "
                     "then import\n";
        return 1;
    }
    DataBook book;
    const fs::path dataFile = a.dir / kDataFileNames[a.kind];
    const FileLoadResult loaded = LoadFile(book.Collection(a.kind), dataFile);
    if (loaded.state != LoadState::loaded && loaded.state != LoadState::missing && loaded.state != LoadState::empty) {
        std::cerr << "vantorel-data: " << dataFile.string()
                  << " cannot be read completely (run 'vantorel-data check'); nothing was imported\n";
        return 1;
    }
    const std::optional<ImportPlan> plan = ReadPlan(a, KeyIndex::Of(book, a.kind));
    if (!plan) return 1;
    ImportApplier apply(*plan, a.choice, book);
    apply.ApplyAll();
    const ImportCounts n = apply.Counts();
    if (n.added + n.updated > 0) {
        const FileSaveResult saved = SaveOne(book, a.kind, a.dir);
        if (saved.outcome != SaveOutcome::written && saved.outcome != SaveOutcome::unchanged) {
            std::cerr << "vantorel-data: " << dataFile.string() << " not written: " << saved.reason
                      << "; nothing was imported\n";
            return 1;
        }
    }
    for (int i = 0; i < plan->RowCount(); ++i)
        if (!plan->Imports(i, a.choice) && plan->Row(i).state != RowState::updated)
            std::cout << "row " << plan->Table().FileRow(plan->Row(i).tableRow)
                      << " refused: " << Utf8(plan->Reasons(i)) << "\n";
    std::cout << KindName(a.kind) << ": " << n.added << " added, " << n.updated << " updated, " << n.skipped
              << " skipped (already there), " << n.refused << " refused\n";
    return n.refused > 0 ? 1 : 0;
}

} // namespace vantorel::tool
