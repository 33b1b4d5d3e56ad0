#include "commands.h"

#include "csv_export.h"
#include "journal_check.h"
#include "json_records.h"
#include "text_encoding.h"

#include "records/journal_format.h"

#include <cctype>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

namespace vantorel::tool {

namespace fs = std::filesystem;

std::optional<Kind> KindFromName(const std::string& name) {
    static const std::map<std::string, Kind> names = {{"policies", Kind::insurance},
                                                      {"clients", Kind::clients},
                                                      {"members", Kind::members},
                                                      {"schedule", Kind::calendar}};
    auto it = names.find(name);
    if (it == names.end()) return std::nullopt;
    return it->second;
}

std::optional<Kind> KindFromFile(const fs::path& p) {
    const std::string name = p.filename().string();
    for (const Kind k : kCollections)
        if (name.rfind("data" + std::to_string(Index(k) + 1), 0) == 0 &&
            (name.size() == 5 || !std::isdigit(static_cast<unsigned char>(name[5]))))
            return k;
    return std::nullopt;
}

const char* KindName(Kind k) {
    static const PerCollection<const char*> names = {"policies", "clients", "members", "schedule"};
    return names[k];
}

namespace {

struct Parsed {
    std::vector<std::string> positional;
    std::optional<std::string> kind;
    std::optional<std::string> out;
    bool csv = false;
    bool fieldNames = false;
};

Parsed Parse(const Args& args, bool allowOut, bool allowCsv) {
    Parsed p;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* opt) {
            if (i + 1 >= args.size()) throw UsageError(std::string(opt) + " needs a value");
            return args[++i];
        };
        if (a == "--kind")
            p.kind = value("--kind");
        else if (a.rfind("--kind=", 0) == 0)
            p.kind = a.substr(7);
        else if (allowOut && (a == "-o" || a == "--out"))
            p.out = value("--out");
        else if (allowCsv && a == "--csv")
            p.csv = true;
        else if (allowCsv && a == "--field-names")
            p.fieldNames = true;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError("unknown option " + a);
        else
            p.positional.push_back(a);
    }
    return p;
}

Kind ResolveKind(const Parsed& p, const fs::path& file) {
    if (p.kind) {
        if (auto k = KindFromName(*p.kind)) return *k;
        throw UsageError("unknown kind '" + *p.kind + "' (use policies, clients, members or schedule)");
    }
    if (auto k = KindFromFile(file)) return *k;
    throw UsageError("cannot tell the kind from the name '" + file.filename().string() + "'; give --kind");
}

std::string OneFile(const Parsed& p, const char* what) {
    if (p.positional.empty()) throw UsageError(std::string("missing ") + what);
    if (p.positional.size() > 1) throw UsageError("unexpected argument '" + p.positional[1] + "'");
    return p.positional[0];
}

// Loads FILE for dump and export; prints the problem and returns false if it
// is not sound. Bytes the records leave unread are only noted: the records
// themselves are whole.
bool LoadForReading(const fs::path& path, CObject& c) {
    const FileLoadResult r = LoadFile(c, path);
    switch (r.state) {
    case LoadState::missing:
        std::cerr << "vantorel-data: cannot open " << path.string() << ": no such file\n";
        return false;
    case LoadState::unreadable:
        std::cerr << "vantorel-data: cannot open " << path.string() << ": " << r.reason << "\n";
        return false;
    case LoadState::damaged:
        std::cerr << "vantorel-data: " << path.string() << " is damaged at byte " << r.offset << ": " << r.reason
                  << " (run 'vantorel-data check' for details)\n";
        return false;
    case LoadState::unreadBytes:
        std::cerr << "vantorel-data: note: the last " << r.unread << " bytes of " << path.string() << " (from byte "
                  << r.offset << ") belong to no record and are left out\n";
        return true;
    default: return true;
    }
}

// True for the names of the program's own files: data files, the copies it
// keeps beside them ("data1.bcm.damaged-..."), its backups, its journal and lock.
bool NamedLikeDataFile(const fs::path& p) {
    std::string name = p.filename().string();
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".bcm") == 0) return true;
    if (name.find(".bcm.") != std::string::npos) return true;
    if (name.rfind(kJournalFileName, 0) == 0 || name == "vantorel.lock") return true;
    for (const char* backup : kBackupFileNames) {
        std::string b = backup;
        for (char& ch : b) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (name == b) return true;
    }
    return false;
}

// An export writes CSV: never over its input (by any name or link) nor over
// anything that looks like the program's data.
void RefuseDataOutput(const fs::path& input, const fs::path& out) {
    for (const fs::path& p : {out, SaveTarget(out)}) {
        std::error_code ec;
        if (fs::equivalent(input, p, ec))
            throw UsageError("will not write over the input file " + input.string() + "; give another OUT");
        if (NamedLikeDataFile(p))
            throw UsageError("will not write CSV over " + p.string() + ", a data file by its name; give another OUT");
    }
}

} // namespace

int Dump(const Args& args) {
    const Parsed p = Parse(args, false, false);
    const fs::path file = OneFile(p, "FILE");
    const Kind kind = ResolveKind(p, file);
    return WithCollection(kind, [&](auto& c) {
        if (!LoadForReading(file, c)) return 1;
        try {
            std::cout << ToJson(kind, c).dump(2, ' ', false) << "\n";
        } catch (const DataError& e) {
            std::cerr << "vantorel-data: " << e.what() << "\n";
            return 1;
        }
        return 0;
    });
}

int Build(const Args& args) {
    const Parsed p = Parse(args, false, false);
    const fs::path out = OneFile(p, "OUT");
    const Kind kind = ResolveKind(p, out);
    Json json;
    try {
        json = Json::parse(std::cin);
    } catch (const Json::parse_error& e) {
        std::cerr << "vantorel-data: standard input is not valid JSON: " << e.what() << "\n";
        return 1;
    }
    return WithCollection(kind, [&](auto& c) {
        try {
            FromJson(kind, json, c);
        } catch (const DataError& e) {
            std::cerr << "vantorel-data: " << e.what() << "\n";
            return 1;
        }
        const FileSaveResult r = SaveFile(c, out);
        if (r.outcome != SaveOutcome::written) {
            std::cerr << "vantorel-data: " << out.string() << " not written: " << r.reason << "\n";
            return 1;
        }
        return 0;
    });
}

int Check(const Args& args) {
    const Parsed p = Parse(args, false, false);
    const fs::path file = OneFile(p, "FILE");
    if (!p.kind && IsJournal(file)) return CheckJournal(file);
    const Kind kind = ResolveKind(p, file);
    return WithCollection(kind, [&](auto& c) {
        const FileLoadResult r = LoadFile(c, file);
        const std::string name = file.string();
        switch (r.state) {
        case LoadState::missing: std::cout << name << ": cannot open: no such file\n"; return 1;
        case LoadState::unreadable: std::cout << name << ": cannot open: " << r.reason << "\n"; return 1;
        case LoadState::empty: std::cout << name << ": empty (read as no " << KindName(kind) << ")\n"; return 0;
        case LoadState::damaged:
            std::cout << name << ": damaged at byte " << r.offset << ": " << r.reason << "; " << c.GetSize()
                      << " records (" << KindName(kind) << ") read before it\n";
            return 1;
        default: break;
        }
        std::cout << name << ": sound, " << c.GetSize() << " records (" << KindName(kind) << ")";
        if (r.state == LoadState::unreadBytes)
            std::cout << "; " << r.unread << " bytes after the last record (from byte " << r.offset
                      << ") are not read: the program keeps a copy of the file before it saves over it";
        std::cout << "\n";
        return 0;
    });
}

int Export(const Args& args) {
    const Parsed p = Parse(args, true, true);
    if (!p.csv) throw UsageError("export needs --csv (the only format)");
    const fs::path file = OneFile(p, "FILE");
    const Kind kind = ResolveKind(p, file);
    if (p.out) RefuseDataOutput(file, *p.out);
    return WithCollection(kind, [&](auto& c) {
        if (!LoadForReading(file, c)) return 1;
        std::ostringstream csv;
        try {
            WriteCsv(kind, c, csv, CsvOptions{p.fieldNames});
        } catch (const TextError& e) {
            std::cerr << "vantorel-data: " << e.what() << "\n";
            return 1;
        }
        if (!p.out) {
            std::cout << csv.str();
            return 0; // main() checks that standard output took it
        }
        // Through a temporary file and a rename: a full disk leaves the old file whole.
        if (const Result<void> written = ReplaceFileContents(*p.out, csv.str()); !written) {
            std::cerr << "vantorel-data: " << *p.out << " not written: " << written.Reason() << "\n";
            return 1;
        }
        return 0;
    });
}

} // namespace vantorel::tool
