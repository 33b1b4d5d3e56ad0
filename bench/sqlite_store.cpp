#include "sqlite_store.h"

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

using namespace vantorel;

namespace {

void Check(int rc, sqlite3* db, int want = SQLITE_OK) {
    if (rc != want) throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const std::string& sql) { Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db); }

// Column names and types from a record's field list; nested objects are
// flattened, lists and repeated fields left out.
struct Columns {
    std::vector<std::string> names, types;
    std::string prefix;
    void operator()(const char* n, std::string&) { Add(n, "TEXT"); }
    void operator()(const char* n, std::int16_t&) { Add(n, "INTEGER"); }
    void operator()(const char* n, double&) { Add(n, "REAL"); }
    void Add(const char* n, const char* t) {
        names.push_back(prefix + n);
        types.push_back(t);
    }
    template <class T> void Again(const char*, T&) {}
    template <class T> void Object(const char* n, T& sub) {
        const std::string saved = prefix;
        prefix += std::string(n) + "_";
        VisitFields(*this, sub);
        prefix = saved;
    }
    template <class T> void List(const char*, std::vector<T>&) {}
};

struct Binder {
    sqlite3_stmt* st;
    int i;
    void operator()(const char*, std::string& s) {
        sqlite3_bind_text(st, i++, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
    }
    void operator()(const char*, std::int16_t& v) { sqlite3_bind_int(st, i++, v); }
    void operator()(const char*, double& v) { sqlite3_bind_double(st, i++, v); }
    template <class T> void Again(const char*, T&) {}
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>&) {}
};

struct Reader {
    sqlite3_stmt* st;
    int i;
    void operator()(const char*, std::string& s) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        s.assign(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, i)));
        ++i;
    }
    void operator()(const char*, std::int16_t& v) { v = static_cast<std::int16_t>(sqlite3_column_int(st, i++)); }
    void operator()(const char*, double& v) { v = sqlite3_column_double(st, i++); }
    template <class T> void Again(const char*, T&) {}
    template <class T> void Object(const char*, T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, std::vector<T>&) {}
};

template <class R> Columns ColumnsOf() {
    R r;
    Columns c;
    VisitFields(c, r);
    return c;
}

// table(owner, pos, fields...) when `owned`, else table(fields...).
template <class R> void CreateTable(sqlite3* db, const std::string& table, bool owned) {
    const Columns c = ColumnsOf<R>();
    std::string sql = "CREATE TABLE " + table + "(";
    if (owned) sql += "owner INTEGER, pos INTEGER, ";
    for (std::size_t k = 0; k < c.names.size(); ++k) sql += (k ? ", " : "") + c.names[k] + " " + c.types[k];
    Exec(db, sql + ")");
}

template <class R> sqlite3_stmt* Insert(sqlite3* db, const std::string& table, bool owned) {
    const Columns c = ColumnsOf<R>();
    std::string sql = "INSERT INTO " + table + " VALUES(";
    const std::size_t n = c.names.size() + (owned ? 2 : 0);
    for (std::size_t k = 0; k < n; ++k) sql += k ? ",?" : "?";
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, (sql + ")").c_str(), -1, &st, nullptr), db);
    return st;
}

template <class R> void Put(sqlite3* db, sqlite3_stmt* st, R& r, int owner = -1, int pos = 0) {
    int first = 1;
    if (owner >= 0) {
        sqlite3_bind_int(st, 1, owner);
        sqlite3_bind_int(st, 2, pos);
        first = 3;
    }
    Binder b{st, first};
    VisitFields(b, r);
    Check(sqlite3_step(st), db, SQLITE_DONE);
    sqlite3_reset(st);
}

template <class Collection> void SaveTable(sqlite3* db, const Collection& c, const std::string& table) {
    using R = typename Collection::RecordType;
    CreateTable<R>(db, table, false);
    sqlite3_stmt* st = Insert<R>(db, table, false);
    for (int i = 0; i < c.GetSize(); ++i) {
        R r = c.GetAt(i);
        Put(db, st, r);
    }
    sqlite3_finalize(st);
}

template <class R, class F> void Select(sqlite3* db, const std::string& sql, F&& each) {
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), db);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) each(st);
    Check(rc, db, SQLITE_DONE);
    sqlite3_finalize(st);
}

template <class Collection> void LoadTable(sqlite3* db, Collection& c, const std::string& table) {
    using R = typename Collection::RecordType;
    Select<R>(db, "SELECT * FROM " + table + " ORDER BY rowid", [&](sqlite3_stmt* st) {
        R r;
        Reader rd{st, 0};
        VisitFields(rd, r);
        c.Add(std::move(r));
    });
}

} // namespace

void SqliteSave(const DataBook& book, const std::filesystem::path& path) {
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    Check(sqlite3_open(path.c_str(), &db), db);
    Exec(db, "PRAGMA journal_mode=DELETE");
    Exec(db, "PRAGMA synchronous=FULL");
    Exec(db, "BEGIN");
    CreateTable<PolicyRecord>(db, "policies", false);
    CreateTable<BeneficiaryRecord>(db, "beneficiaries", true);
    CreateTable<RiderRecord>(db, "riders", true);
    sqlite3_stmt* p = Insert<PolicyRecord>(db, "policies", false);
    sqlite3_stmt* b = Insert<BeneficiaryRecord>(db, "beneficiaries", true);
    sqlite3_stmt* r = Insert<RiderRecord>(db, "riders", true);
    int i = 0;
    for (int n = 0; n < book.insurance.GetSize(); ++n) {
        PolicyRecord rec = book.insurance.GetAt(n);
        Put(db, p, rec);
        for (std::size_t k = 0; k < rec.beneficiaries.size(); ++k)
            Put(db, b, rec.beneficiaries[k], i, static_cast<int>(k));
        for (std::size_t k = 0; k < rec.riders.size(); ++k) Put(db, r, rec.riders[k], i, static_cast<int>(k));
        ++i;
    }
    sqlite3_finalize(p);
    sqlite3_finalize(b);
    sqlite3_finalize(r);
    SaveTable(db, book.clients, "clients");
    SaveTable(db, book.members, "members");
    SaveTable(db, book.calendar, "schedule");
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

void SqliteLoad(DataBook& book, const std::filesystem::path& path) {
    sqlite3* db = nullptr;
    Check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), db);
    Exec(db, "BEGIN");
    std::vector<PolicyRecord> policies;
    Select<PolicyRecord>(db, "SELECT * FROM policies ORDER BY rowid", [&](sqlite3_stmt* st) {
        PolicyRecord r;
        Reader rd{st, 0};
        VisitFields(rd, r);
        policies.push_back(std::move(r));
    });
    Select<BeneficiaryRecord>(db, "SELECT * FROM beneficiaries ORDER BY rowid", [&](sqlite3_stmt* st) {
        BeneficiaryRecord e;
        Reader rd{st, 2};
        VisitFields(rd, e);
        policies.at(static_cast<std::size_t>(sqlite3_column_int(st, 0))).beneficiaries.push_back(std::move(e));
    });
    Select<RiderRecord>(db, "SELECT * FROM riders ORDER BY rowid", [&](sqlite3_stmt* st) {
        RiderRecord e;
        Reader rd{st, 2};
        VisitFields(rd, e);
        policies.at(static_cast<std::size_t>(sqlite3_column_int(st, 0))).riders.push_back(std::move(e));
    });
    for (auto& p : policies) book.insurance.Add(std::move(p));
    LoadTable(db, book.clients, "clients");
    LoadTable(db, book.members, "members");
    LoadTable(db, book.calendar, "schedule");
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

} // namespace bench
