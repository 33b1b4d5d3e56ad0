// Every person the book names, once: policyholders, insured persons,
// beneficiaries, potential clients and team members. Two mentions are one
// person when their identity card numbers are equal and not empty; without a
// card number, when name and birth date are both equal (as the records hold
// them, byte for byte).
//
// The index holds no text: each mention is a record's index and the offset
// of the person's block in that record's bytes, and names, numbers and
// phones are read where they lie when a row is shown or a search runs. It is
// built off the window thread from the records' bytes as they lie
// (BookRecords), and then read against the live book as long as that book
// holds the same records: whoever holds it must drop it at the book's first
// change (the collections tell their observers).
#pragma once

#include "records/data_book.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class PinyinIndex;

namespace clients {

// The roles a person holds, as bits.
enum Role : unsigned { kHolder = 1, kInsured = 2, kBeneficiary = 4, kClient = 8, kMember = 16 };
// The roles in the fixed order 投保人 被保险人 受益人 潜力客户 团队成员, blank-separated.
QString RolesText(unsigned roles);

// The person blocks of the records.
enum class Slot : std::uint8_t { holder, insured, beneficiary, client, member };

// One mention of a person: a block of a record.
class Mention {
public:
    Mention() = default;
    Mention(Slot slot, int record, std::uint32_t offset)
        : packed_(std::uint32_t(slot) << kRecordBits | std::uint32_t(record)), offset_(offset) {}
    Slot slot() const { return Slot(packed_ >> kRecordBits); }
    int record() const { return int(packed_ & kRecordMask); }
    // Where the block starts in the record's bytes.
    std::uint32_t offset() const { return offset_; }
    bool InPolicy() const { return slot() <= Slot::beneficiary; }

    static constexpr int kRecordBits = 29; // more records than any book can hold
    static constexpr std::uint32_t kRecordMask = (1u << kRecordBits) - 1;

private:
    std::uint32_t packed_ = 0; // the slot above, the record's index below
    std::uint32_t offset_ = 0;
};

// The texts of a person block the list and the search read, where they lie.
struct PersonTexts {
    std::string_view name, idNumber, birthDate, mobile, homePhone, workPhone;
};

// The collections an index is built from: the running book, or a copy of it
// made on the window thread for a build on another.
class BookSnapshot {
public:
    // Copies the policies, clients and members (not the schedule).
    explicit BookSnapshot(const vantorel::DataBook& book);
    const vantorel::DataBook& Book() const { return book_; }

private:
    vantorel::DataBook book_;
};

// The policies', clients' and members' bytes, where they lie in the book,
// for a build on another thread: taking the views costs a few milliseconds
// on the window thread where copying the records took a quarter of a
// second, and the collections keep every byte viewed (PinBytes) while this
// lives, whatever the window thread changes meanwhile. The views then
// show the book as it was: a build that a change overtook is thrown away.
class BookRecords {
public:
    explicit BookRecords(const vantorel::DataBook& book);
    std::vector<std::string_view> policies, clients, members;

private:
    std::shared_ptr<const void> pins_[3];
};

class PersonIndex {
public:
    // `progress(done, total)` is told now and then; when it returns false
    // the build stops and gives nothing.
    using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;
    static std::optional<PersonIndex> Build(const vantorel::DataBook& book, const Progress& progress = {});
    static std::optional<PersonIndex> Build(const BookRecords& records, const Progress& progress = {});

    int Count() const { return int(roles_.size()); }
    unsigned Roles(int person) const { return roles_[std::size_t(person)] & kRoleBits; }
    // Policies in which the person holds any role.
    int PolicyCount(int person) const { return int(policyCount_[std::size_t(person)]); }
    // Mentioned under more than one name (one card number, two names).
    bool NamesDiffer(int person) const { return roles_[std::size_t(person)] & kNamesDiffer; }

    // The person's mentions; the first is the one their data are shown
    // from: the policy with the latest effective date (then the later in the
    // book), as policyholder or insured before as beneficiary; without a
    // policy the last potential-client record, then the last team-member record.
    std::vector<Mention> MentionsOf(int person) const;
    Mention Shown(int person) const { return mentions_[byPerson_[personFirst_[std::size_t(person)]]]; }

    // The people a policy names, each with the block that names them, in
    // the policy's order (holder, insured, beneficiaries).
    struct PolicyPerson {
        int person;
        Mention mention;
    };
    std::vector<PolicyPerson> PeopleOf(int policy) const;
    int PolicyTotal() const { return int(policyFirst_.size()) - 1; }

    // Memory the index holds, in bytes.
    std::size_t Bytes() const;

    // The texts of a mention in `book`, which must hold what the index was built from.
    static PersonTexts Texts(const vantorel::DataBook& book, Mention m);
    // The record bytes a mention points into.
    static std::string_view RecordBytes(const vantorel::DataBook& book, Mention m);

    // The person whose key the texts make, -1 when none: to find a person
    // again in an index built after a change.
    int Find(const vantorel::DataBook& book, const PersonTexts& key) const;

    // What a search found: every person (the text asks for nothing) or those listed, in index order.
    struct Found {
        bool all = true;
        std::vector<int> people;
    };
    // People with the text in a name, a card number or a phone (mobile, home
    // or work) of any of their mentions; Latin letters alone also find names
    // by their pinyin, as the query page does, when `pinyin` is given.
    Found Search(const vantorel::DataBook& book, const QString& text, PinyinIndex* pinyin) const;

private:
    static constexpr std::uint8_t kRoleBits = 0x1F;
    static constexpr std::uint8_t kNamesDiffer = 0x80;

    std::vector<Mention> mentions_;          // in the book's order: policies, then clients, then members
    std::vector<std::uint32_t> personOf_;    // the person of each mention
    std::vector<std::uint32_t> policyFirst_; // policy i's mentions: [policyFirst_[i], policyFirst_[i + 1])
    std::vector<std::uint32_t> personFirst_; // person p's mentions: byPerson_[personFirst_[p] ... personFirst_[p + 1])
    std::vector<std::uint32_t> byPerson_;    // mention indexes grouped by person, the shown one first
    std::vector<std::uint8_t> roles_;        // Role bits and kNamesDiffer
    std::vector<std::uint32_t> policyCount_;
    // Each mention's name as a number, and a mention of each name: made at
    // the first pinyin search, so that a search reads each distinct name's
    // pinyin once rather than once a mention. Only the window thread reads
    // an index once it is built.
    mutable std::vector<std::uint32_t> nameOf_, nameFirst_;
    void NumberNames(const vantorel::DataBook& book) const;
};

} // namespace clients
