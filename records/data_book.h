// The four collections of one book, named by an id in file order, and the one
// place that turns an id into the collection's own type.
#pragma once

#include "people_records.h"
#include "policy_record.h"

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace vantorel {

// In file order: data1.bcm holds the policies, data4.bcm the schedule.
enum class CollectionId : std::uint8_t { insurance, clients, members, calendar };
inline constexpr std::array<CollectionId, 4> kCollections = {CollectionId::insurance, CollectionId::clients,
                                                             CollectionId::members, CollectionId::calendar};
constexpr std::size_t kFileCount = kCollections.size();
// The collection's place in file order, 0..3.
constexpr std::size_t Index(CollectionId id) { return static_cast<std::size_t>(id); }

// One value per collection, indexed by id or by place in file order.
template <class T> struct PerCollection : std::array<T, kFileCount> {
    using std::array<T, kFileCount>::operator[];
    constexpr T& operator[](CollectionId id) { return (*this)[Index(id)]; }
    constexpr const T& operator[](CollectionId id) const { return (*this)[Index(id)]; }
};

// The four collections, in file order. The running program has one, owned by
// its session; tools and tests make their own.
struct DataBook {
    CInsurance insurance;
    CPotClient clients;
    CTermMember members;
    CCalendar calendar;

    CObject& Collection(CollectionId id);
    const CObject& Collection(CollectionId id) const;
    // By place in file order, for walks over the four by number.
    CObject& Collection(std::size_t file) { return Collection(kCollections.at(file)); }
    const CObject& Collection(std::size_t file) const { return Collection(kCollections.at(file)); }
    void Clear();
};

// Calls f with the collection `id` names in `book`, as its own type (const
// when the book is). Every f must return the same type.
template <class Book, class F>
requires std::same_as<std::remove_const_t<Book>, DataBook>
decltype(auto) WithCollection(Book& book, CollectionId id, F&& f) {
    switch (id) {
    case CollectionId::insurance: return std::forward<F>(f)(book.insurance);
    case CollectionId::clients: return std::forward<F>(f)(book.clients);
    case CollectionId::members: return std::forward<F>(f)(book.members);
    case CollectionId::calendar: break;
    }
    return std::forward<F>(f)(book.calendar);
}

inline CObject& DataBook::Collection(CollectionId id) {
    return WithCollection(*this, id, [](CObject& c) -> CObject& { return c; });
}

inline const CObject& DataBook::Collection(CollectionId id) const {
    return WithCollection(*this, id, [](const CObject& c) -> const CObject& { return c; });
}

inline void DataBook::Clear() {
    for (const CollectionId id : kCollections) WithCollection(*this, id, [](auto& c) { c.RemoveAll(); });
}

} // namespace vantorel
