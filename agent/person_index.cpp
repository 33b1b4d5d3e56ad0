#include "person_index.h"

#include "composed_date.h"
#include "gbk.h"
#include "pinyin.h"
#include "policy_search.h"

#include <QStringList>
#include <algorithm>
#include <functional>
#include <limits>
#include <string>

using namespace vantorel;

namespace clients {

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// Steps over one value of the kind FieldLayout names ('T', 'S', 'D').
inline void SkipValue(const unsigned char*& p, char kind) {
    if (kind == 'T')
        bytes::SkipText(p);
    else
        p += kind == 'S' ? 2 : 8;
}

// Where a policy's people are: the ordinals of the fields the walk looks
// at, and the kinds of every field before the lists and of a beneficiary.
struct PolicyLayout {
    std::string kinds;
    std::size_t holder, insured, effective;
    std::string beneficiary;
};

const PolicyLayout& Layout() {
    static const PolicyLayout layout = [] {
        PolicyLayout l;
        l.kinds = FieldLayout<PolicyRecord>::Of().Kinds();
        l.holder = Field<PolicyRecord>([](auto& r) -> auto& { return r.holder.name; }).Ordinal();
        l.insured = Field<PolicyRecord>([](auto& r) -> auto& { return r.insured.name; }).Ordinal();
        l.effective = Field<PolicyRecord>([](auto& r) -> auto& { return r.info.effectiveDate; }).Ordinal();
        l.beneficiary = FieldLayout<BeneficiaryRecord>::Of().Kinds();
        return l;
    }();
    return layout;
}

// A person block starts with the same fields in every record kind: name,
// sex, nation, card number, marital status, birth date, mobile, email,
// occupation, income, home phone, home address, home postcode, work phone.
PersonTexts ReadTexts(const unsigned char* p) {
    PersonTexts t;
    t.name = bytes::Text(p);
    p += 2;
    bytes::SkipText(p);
    t.idNumber = bytes::Text(p);
    p += 2;
    t.birthDate = bytes::Text(p);
    t.mobile = bytes::Text(p);
    for (int i = 0; i < 3; ++i) bytes::SkipText(p); // email, occupation, income
    t.homePhone = bytes::Text(p);
    bytes::SkipText(p); // home address
    bytes::SkipText(p); // home postcode
    t.workPhone = bytes::Text(p);
    return t;
}

// Name, card number and birth date only: what the build reads of every block.
struct Key {
    std::string_view name, idNumber, birthDate;
};

Key ReadKey(const unsigned char* p) {
    Key k;
    k.name = bytes::Text(p);
    p += 2;
    bytes::SkipText(p);
    k.idNumber = bytes::Text(p);
    p += 2;
    k.birthDate = bytes::Text(p);
    return k;
}

bool SamePerson(const Key& a, const Key& b) {
    if (!a.idNumber.empty() || !b.idNumber.empty()) return a.idNumber == b.idNumber;
    return a.name == b.name && a.birthDate == b.birthDate;
}

std::size_t HashOf(const Key& k) {
    const std::hash<std::string_view> h;
    if (!k.idNumber.empty()) return h(k.idNumber);
    return h(k.name) * 0x9E3779B97F4A7C15ull ^ h(k.birthDate) ^ 0x5bd1e995;
}

// How recent a mention's record is, larger for newer (see MentionsOf).
std::uint64_t Recency(const Mention& m, const std::vector<std::uint32_t>& effectiveDay) {
    const auto record = std::uint64_t(m.record());
    switch (m.slot()) {
    case Slot::holder:
    case Slot::insured:
    case Slot::beneficiary: {
        const std::uint64_t full = m.slot() == Slot::holder ? 2 : m.slot() == Slot::insured ? 1 : 0;
        return 3ull << 62 | std::uint64_t(effectiveDay[std::size_t(record)]) << 32 | record << 2 | full;
    }
    case Slot::client: return 2ull << 62 | record;
    case Slot::member: break;
    }
    return 1ull << 62 | record;
}

unsigned RoleOf(Slot s) {
    switch (s) {
    case Slot::holder: return kHolder;
    case Slot::insured: return kInsured;
    case Slot::beneficiary: return kBeneficiary;
    case Slot::client: return kClient;
    case Slot::member: break;
    }
    return kMember;
}

template <class T> std::size_t Held(const std::vector<T>& v) { return v.capacity() * sizeof(T); }

} // namespace

QString RolesText(unsigned roles) {
    static const char* const names[] = {"投保人", "被保险人", "受益人", "潜力客户", "团队成员"};
    QStringList parts;
    for (unsigned i = 0; i < 5; ++i)
        if (roles & (1u << i)) parts << QString::fromUtf8(names[i]);
    return parts.join(QLatin1Char(' '));
}

BookSnapshot::BookSnapshot(const DataBook& book) {
    book_.insurance = book.insurance;
    book_.clients = book.clients;
    book_.members = book.members;
}

BookRecords::BookRecords(const DataBook& book)
    : pins_{book.insurance.PinBytes(), book.clients.PinBytes(), book.members.PinBytes()} {
    auto views = [](const auto& collection, std::vector<std::string_view>& out) {
        out.reserve(std::size_t(collection.GetSize()));
        for (int i = 0; i < collection.GetSize(); ++i) out.push_back(collection.Bytes(i));
    };
    views(book.insurance, policies);
    views(book.clients, clients);
    views(book.members, members);
}

std::string_view PersonIndex::RecordBytes(const DataBook& book, Mention m) {
    switch (m.slot()) {
    case Slot::holder:
    case Slot::insured:
    case Slot::beneficiary: return book.insurance.Bytes(m.record());
    case Slot::client: return book.clients.Bytes(m.record());
    case Slot::member: break;
    }
    return book.members.Bytes(m.record());
}

PersonTexts PersonIndex::Texts(const DataBook& book, Mention m) {
    const std::string_view bytes = RecordBytes(book, m);
    return ReadTexts(reinterpret_cast<const unsigned char*>(bytes.data()) + m.offset());
}

std::optional<PersonIndex> PersonIndex::Build(const DataBook& book, const Progress& progress) {
    return Build(BookRecords(book), progress);
}

std::optional<PersonIndex> PersonIndex::Build(const BookRecords& book, const Progress& progress) {
    PersonIndex x;
    const PolicyLayout& layout = Layout();
    const int policies = int(book.policies.size());
    auto bytesOf = [&book](Mention m) {
        switch (m.slot()) {
        case Slot::holder:
        case Slot::insured:
        case Slot::beneficiary: return book.policies[std::size_t(m.record())];
        case Slot::client: return book.clients[std::size_t(m.record())];
        case Slot::member: break;
        }
        return book.members[std::size_t(m.record())];
    };
    // The records walked, then their people matched: each about half the work.
    const std::int64_t records = std::int64_t(policies) + std::int64_t(book.clients.size() + book.members.size());
    const std::int64_t total = records * 2;
    std::int64_t done = 0;
    auto tell = [&](std::int64_t step) {
        done += step;
        return !progress || progress(done, total);
    };
    constexpr int kStep = 4096; // records between two words of progress

    // 1. Every person block that names someone, in the book's order.
    x.mentions_.reserve(std::size_t(policies) * 4 + book.clients.size() + book.members.size());
    x.policyFirst_.reserve(std::size_t(policies) + 1);
    std::vector<std::uint32_t> effectiveDay(std::size_t(policies), 0);
    // Each key is hashed here, while its record is at hand: the matching
    // below reads a record again only for a key that may be one already met.
    std::vector<std::uint64_t> hashes;
    hashes.reserve(x.mentions_.capacity());
    auto add = [&](Slot slot, int record, const unsigned char* base, const unsigned char* block) {
        const Key k = ReadKey(block);
        if (k.name.empty() && k.idNumber.empty()) return; // an empty beneficiary line names nobody
        x.mentions_.emplace_back(slot, record, std::uint32_t(block - base));
        hashes.push_back(HashOf(k));
    };
    for (int i = 0; i < policies; ++i) {
        if (i % kStep == 0 && !tell(i ? kStep : 0)) return std::nullopt;
        x.policyFirst_.push_back(std::uint32_t(x.mentions_.size()));
        const std::string_view bytes = book.policies[std::size_t(i)];
        const auto* base = reinterpret_cast<const unsigned char*>(bytes.data());
        const unsigned char* p = base;
        const unsigned char* holder = nullptr;
        const unsigned char* insured = nullptr;
        for (std::size_t f = 0; f < layout.kinds.size(); ++f) {
            if (f == layout.holder) holder = p;
            if (f == layout.insured) insured = p;
            if (f == layout.effective) {
                const unsigned char* q = p;
                const QDate d = ComposedDate::RealDate(bytes::Text(q));
                if (d.isValid() && d.toJulianDay() > 0) effectiveDay[std::size_t(i)] = std::uint32_t(d.toJulianDay());
            }
            SkipValue(p, layout.kinds[f]);
        }
        add(Slot::holder, i, base, holder);
        add(Slot::insured, i, base, insured);
        const auto count = std::int16_t(bytes::U16(p));
        p += 2;
        for (int b = 0; b < count; ++b) {
            add(Slot::beneficiary, i, base, p);
            for (const char kind : layout.beneficiary) SkipValue(p, kind);
        }
    }
    x.policyFirst_.push_back(std::uint32_t(x.mentions_.size()));
    if (!tell(policies % kStep)) return std::nullopt;
    // A client's and a member's person block is the first thing of the record.
    auto people = [&](const std::vector<std::string_view>& collection, Slot slot) {
        for (std::size_t i = 0; i < collection.size(); ++i) {
            const auto* base = reinterpret_cast<const unsigned char*>(collection[i].data());
            add(slot, int(i), base, base);
        }
        return tell(std::int64_t(collection.size()));
    };
    if (!people(book.clients, Slot::client) || !people(book.members, Slot::member)) return std::nullopt;

    // 2. One person per key: an open-addressed table of person numbers. Each
    // slot keeps the upper half of its key's hash beside the person, so that
    // probing past another person's slot reads neither their key nor the
    // record it lies in: a cache miss each, which made up most of the build.
    const std::size_t n = x.mentions_.size();
    std::size_t capacity = 16;
    while (capacity < n * 2) capacity *= 2;
    constexpr std::uint64_t kEmpty = std::numeric_limits<std::uint64_t>::max();
    constexpr std::uint64_t kTagBits = ~std::uint64_t(0xFFFFFFFF);
    std::vector<std::uint64_t> table(capacity, kEmpty);
    std::vector<std::uint32_t> keys; // each person's first mention, whose key is theirs
    std::vector<std::uint32_t> lastPolicy;
    auto keyOf = [&](std::size_t k) {
        const Mention m = x.mentions_[k];
        return ReadKey(reinterpret_cast<const unsigned char*>(bytesOf(m).data()) + m.offset());
    };
    x.personOf_.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        if (k % (kStep * 4) == 0 && progress && !progress(records + std::int64_t(k) * records / std::int64_t(n), total))
            return std::nullopt;
        const Mention m = x.mentions_[k];
        const std::uint64_t hash = hashes[k];
        const std::uint64_t tag = hash & kTagBits;
        std::size_t at = hash & (capacity - 1);
        std::uint32_t person = kNone;
        std::optional<Key> key; // read once a slot's hash agrees
        for (; table[at] != kEmpty; at = (at + 1) & (capacity - 1)) {
            if ((table[at] & kTagBits) != tag) continue;
            if (!key) key = keyOf(k);
            const auto other = std::uint32_t(table[at]);
            const Key theirs = keyOf(keys[other]);
            if (!SamePerson(theirs, *key)) continue;
            person = other;
            if (theirs.name != key->name) x.roles_[person] |= kNamesDiffer;
            break;
        }
        if (person == kNone) {
            person = std::uint32_t(keys.size());
            table[at] = tag | person;
            keys.push_back(std::uint32_t(k));
            x.roles_.push_back(0);
            x.policyCount_.push_back(0);
            lastPolicy.push_back(kNone);
        }
        x.personOf_[k] = person;
        x.roles_[person] |= std::uint8_t(RoleOf(m.slot()));
        // A policy's mentions lie together: a new policy for this person is one more.
        if (m.InPolicy() && lastPolicy[person] != std::uint32_t(m.record())) {
            lastPolicy[person] = std::uint32_t(m.record());
            ++x.policyCount_[person];
        }
    }
    table = {};
    keys = {};
    hashes = {};
    lastPolicy = {};
    if (!tell(total - done)) return std::nullopt;

    // 3. Each person's mentions together, the most recent first.
    const std::size_t persons = x.roles_.size();
    x.personFirst_.assign(persons + 1, 0);
    for (const std::uint32_t p : x.personOf_) ++x.personFirst_[p + 1];
    for (std::size_t p = 0; p < persons; ++p) x.personFirst_[p + 1] += x.personFirst_[p];
    x.byPerson_.resize(n);
    {
        std::vector<std::uint32_t> next(x.personFirst_.begin(), x.personFirst_.end() - 1);
        for (std::size_t k = 0; k < n; ++k) x.byPerson_[next[x.personOf_[k]]++] = std::uint32_t(k);
    }
    for (std::size_t p = 0; p < persons; ++p) {
        const std::uint32_t first = x.personFirst_[p], end = x.personFirst_[p + 1];
        std::uint32_t best = first;
        for (std::uint32_t j = first + 1; j < end; ++j)
            if (Recency(x.mentions_[x.byPerson_[j]], effectiveDay) >
                Recency(x.mentions_[x.byPerson_[best]], effectiveDay))
                best = j;
        // The others keep the book's order behind it.
        std::rotate(x.byPerson_.begin() + first, x.byPerson_.begin() + best, x.byPerson_.begin() + best + 1);
    }
    x.roles_.shrink_to_fit();
    x.policyCount_.shrink_to_fit();
    x.mentions_.shrink_to_fit();
    return x;
}

std::vector<Mention> PersonIndex::MentionsOf(int person) const {
    std::vector<Mention> out;
    const auto p = std::size_t(person);
    for (std::uint32_t j = personFirst_[p]; j < personFirst_[p + 1]; ++j) out.push_back(mentions_[byPerson_[j]]);
    return out;
}

std::vector<PersonIndex::PolicyPerson> PersonIndex::PeopleOf(int policy) const {
    std::vector<PolicyPerson> out;
    const auto i = std::size_t(policy);
    for (std::uint32_t k = policyFirst_[i]; k < policyFirst_[i + 1]; ++k)
        out.push_back({int(personOf_[k]), mentions_[k]});
    return out;
}

std::size_t PersonIndex::Bytes() const {
    return sizeof(*this) + Held(mentions_) + Held(personOf_) + Held(policyFirst_) + Held(personFirst_) +
           Held(byPerson_) + Held(roles_) + Held(policyCount_) + Held(nameOf_) + Held(nameFirst_);
}

int PersonIndex::Find(const DataBook& book, const PersonTexts& key) const {
    const Key wanted{key.name, key.idNumber, key.birthDate};
    for (std::size_t k = 0; k < mentions_.size(); ++k) {
        const PersonTexts t = Texts(book, mentions_[k]);
        if (SamePerson({t.name, t.idNumber, t.birthDate}, wanted)) return int(personOf_[k]);
    }
    return -1;
}

void PersonIndex::NumberNames(const DataBook& book) const {
    if (nameOf_.size() == mentions_.size()) return;
    std::size_t capacity = 16;
    while (capacity < mentions_.size() * 2) capacity *= 2;
    std::vector<std::uint32_t> table(capacity, kNone);
    const std::hash<std::string_view> hash;
    nameOf_.resize(mentions_.size());
    for (std::size_t k = 0; k < mentions_.size(); ++k) {
        const std::string_view name = Texts(book, mentions_[k]).name;
        std::size_t at = hash(name) & (capacity - 1);
        while (table[at] != kNone && Texts(book, mentions_[nameFirst_[table[at]]]).name != name)
            at = (at + 1) & (capacity - 1);
        if (table[at] == kNone) {
            table[at] = std::uint32_t(nameFirst_.size());
            nameFirst_.push_back(std::uint32_t(k));
        }
        nameOf_[k] = table[at];
    }
    nameFirst_.shrink_to_fit();
}

PersonIndex::Found PersonIndex::Search(const DataBook& book, const QString& text, PinyinIndex* pinyin) const {
    Found found;
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) return found;
    found.all = false;
    // Records hold only what GBK can hold: other text finds nobody.
    if (!CanStoreAsGbk(wanted)) return found;
    const std::string latin = pinyin ? PinyinIndex::LatinQuery(wanted) : std::string();
    const std::string needle = ToGbk(wanted);
    // With pinyin each distinct name is matched once: looking a name's
    // pinyin up once a mention made such a search twice as slow as any other.
    std::vector<char> nameHit;
    if (!latin.empty()) {
        NumberNames(book);
        nameHit.resize(nameFirst_.size());
        std::string name; // reused: the pinyin index looks names up as strings
        for (std::size_t d = 0; d < nameFirst_.size(); ++d) {
            const std::string_view n = Texts(book, mentions_[nameFirst_[d]]).name;
            bool match = policy_search::GbkContains(n, needle);
            if (!match && !n.empty()) {
                name.assign(n);
                match = pinyin->Matches(name, latin);
            }
            nameHit[d] = match;
        }
    }
    std::vector<bool> hit(roles_.size(), false);
    for (std::size_t k = 0; k < mentions_.size(); ++k) {
        const std::uint32_t person = personOf_[k];
        if (hit[person]) continue;
        const PersonTexts t = Texts(book, mentions_[k]);
        const bool match =
            (nameHit.empty() ? policy_search::GbkContains(t.name, needle) : nameHit[nameOf_[k]] != 0) ||
            policy_search::GbkContains(t.idNumber, needle) || policy_search::GbkContains(t.mobile, needle) ||
            policy_search::GbkContains(t.homePhone, needle) || policy_search::GbkContains(t.workPhone, needle);
        if (match) hit[person] = true;
    }
    for (std::size_t p = 0; p < hit.size(); ++p)
        if (hit[p]) found.people.push_back(int(p));
    return found;
}

} // namespace clients
