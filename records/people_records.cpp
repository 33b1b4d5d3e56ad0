#include "people_records.h"

namespace vantorel {

int CPotClient::Find(const std::string& name, const std::string& idNumber) const {
    static const Field<PotClientRecord> names([](auto& r) -> auto& { return r.person.name; });
    static const Field<PotClientRecord> ids([](auto& r) -> auto& { return r.person.idNumber; });
    return ForEach([&](int, const View& c) { return c.Text(names) == name && c.Text(ids) == idNumber; });
}

int CTermMember::Find(const std::string& staffNo) const {
    static const Field<MemberRecord> number([](auto& r) -> auto& { return r.staffNo; });
    return ForEach([&](int, const View& m) { return m.Text(number) == staffNo; });
}

} // namespace vantorel
