#include "commands.h"

#include "csv_export.h"
#include "json_records.h"
#include "text_encoding.h"

#include <cctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace vantorel::tool {

namespace fs = std::filesystem;

std::optional<Kind> KindFromName(const std::string& name) {
    static const std::map<std::string, Kind> names = {
        {"policies", Kind::policies}, {"clients", Kind::clients}, {"members", Kind::members}, {"schedule", Kind::schedule}};
    auto it = names.find(name);
    if (it == names.end()) return std::nullopt;
    return it->second;
}

std::optional<Kind> KindFromFile(const fs::path& p) {
    const std::string name = p.filename().string();
    for (int i = 0; i < 4; ++i)
        if (name.rfind("data" + std::to_string(i + 1), 0) == 0 && (name.size() == 5 || !std::isdigit(static_cast<unsigned char>(name[5]))))
            return static_cast<Kind>(i);
    return std::nullopt;
}

const char* KindName(Kind k) {
    static const char* names[] = {"policies", "clients", "members", "schedule"};
    return names[static_cast<int>(k)];
}

namespace {

struct Parsed {
    std::vector<std::string> positional;
    std::optional<std::string> kind;
    std::optional<std::string> out;
    bool csv = false;
};

Parsed Parse(const Args& args, bool allowOut, bool allowCsv) {
    Parsed p;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* opt) {
            if (i + 1 >= args.size()) throw UsageError(std::string(opt) + " needs a value");
            return args[++i];
        };
        if (a == "--kind") p.kind = value("--kind");
        else if (a.rfind("--kind=", 0) == 0) p.kind = a.substr(7);
        else if (allowOut && (a == "-o" || a == "--out")) p.out = value("--out");
        else if (allowCsv && a == "--csv") p.csv = true;
        else if (a.size() > 1 && a[0] == '-') throw UsageError("unknown option " + a);
        else p.positional.push_back(a);
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

// A data file read into its collection, or why it could not be.
struct LoadedFile {
    bool opened = false;
    bool damaged = false;
    std::uint64_t length = 0;
    std::uint64_t offset = 0;   // damaged: where the bad value starts
    std::uint64_t consumed = 0; // sound: bytes that the records take
    std::string reason;
};

LoadedFile ReadDataFile(const fs::path& path, CObject& collection) {
    LoadedFile f;
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path)) {
        f.reason = "cannot open " + path.string();
        return f;
    }
    f.opened = true;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    f.length = bytes.size();
    if (bytes.empty()) return f; // the program treats an empty file as no records
    CMemFile mem(std::move(bytes));
    CArchive ar(mem, CArchive::load);
    try {
        collection.Serialize(ar);
        f.consumed = ar.Position();
    } catch (const CArchiveException& e) {
        f.damaged = true;
        f.offset = e.offset();
        f.reason = e.what();
    }
    return f;
}

// Loads FILE for dump and export; prints the problem and returns false if it
// is not sound.
bool LoadForReading(const fs::path& path, CObject& c) {
    const LoadedFile f = ReadDataFile(path, c);
    if (!f.opened) {
        std::cerr << "vantorel-data: " << f.reason << "\n";
        return false;
    }
    if (f.damaged) {
        std::cerr << "vantorel-data: " << path.string() << " is damaged at byte " << f.offset << ": " << f.reason
                  << " (run 'vantorel-data check' for details)\n";
        return false;
    }
    return true;
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
        if (!r.saved) {
            std::cerr << "vantorel-data: " << out.string() << " not written: " << r.reason << "\n";
            return 1;
        }
        return 0;
    });
}

int Check(const Args& args) {
    const Parsed p = Parse(args, false, false);
    const fs::path file = OneFile(p, "FILE");
    const Kind kind = ResolveKind(p, file);
    return WithCollection(kind, [&](auto& c) {
        const LoadedFile f = ReadDataFile(file, c);
        const std::string name = file.string();
        if (!f.opened) {
            std::cout << name << ": " << f.reason << "\n";
            return 1;
        }
        if (f.length == 0) {
            std::cout << name << ": empty (read as no " << KindName(kind) << ")\n";
            return 0;
        }
        if (f.damaged) {
            std::cout << name << ": damaged at byte " << f.offset << ": " << f.reason << "; " << c.GetSize()
                      << " records (" << KindName(kind) << ") read before it\n";
            return 1;
        }
        std::cout << name << ": sound, " << c.GetSize() << " records (" << KindName(kind) << ")";
        if (f.consumed < f.length)
            std::cout << "; " << (f.length - f.consumed) << " bytes after the last record (from byte " << f.consumed
                      << ") are ignored";
        std::cout << "\n";
        return 0;
    });
}

int Export(const Args& args) {
    const Parsed p = Parse(args, true, true);
    if (!p.csv) throw UsageError("export needs --csv (the only format)");
    const fs::path file = OneFile(p, "FILE");
    const Kind kind = ResolveKind(p, file);
    return WithCollection(kind, [&](auto& c) {
        if (!LoadForReading(file, c)) return 1;
        std::ostringstream csv;
        try {
            WriteCsv(kind, c, csv);
        } catch (const TextError& e) {
            std::cerr << "vantorel-data: " << e.what() << "\n";
            return 1;
        }
        if (!p.out) {
            std::cout << csv.str();
            return std::cout ? 0 : 1;
        }
        std::ofstream out(*p.out, std::ios::binary | std::ios::trunc);
        out << csv.str();
        out.close();
        if (!out) {
            std::cerr << "vantorel-data: cannot write " << *p.out << "\n";
            return 1;
        }
        return 0;
    });
}

} // namespace vantorel::tool
