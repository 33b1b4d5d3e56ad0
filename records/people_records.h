// Potential clients, team members and schedule entries, and their collections.
#pragma once

#include "collection.h"
#include "policy_record.h"

#include <string>

namespace vantorel {

struct PotClientRecord {
    PersonInfo person;
    std::string fax;
    std::string hobby;
    bool operator==(const PotClientRecord&) const = default;
};

struct MemberRecord {
    std::string staffNo;
    std::string department;
    std::string level;
    std::string joinDate;
    std::string hobby;
    PersonInfo person;
    bool operator==(const MemberRecord&) const = default;
};

struct ScheduleEntry {
    double date = 0; // year * 10000 + month * 100 + day
    std::string text;
    bool operator==(const ScheduleEntry&) const = default;
};

// Both files end with the person's education a second time; on reading the
// later copy is the one kept.
template <class V, RecordOf<PotClientRecord> R> void VisitFields(V& v, R& r) {
    v.Object("person", r.person);
    v("hobby", r.hobby);
    v("fax", r.fax);
    v.Again("education", r.person.education);
}

template <class V, RecordOf<MemberRecord> R> void VisitFields(V& v, R& r) {
    v.Object("person", r.person);
    v("hobby", r.hobby);
    v("staffNo", r.staffNo);
    v("department", r.department);
    v("level", r.level);
    v("joinDate", r.joinDate);
    v.Again("education", r.person.education);
}

template <class V, RecordOf<ScheduleEntry> R> void VisitFields(V& v, R& r) {
    v("date", r.date);
    v("text", r.text);
}

class CPotClient : public CCollection<PotClientRecord> {
public:
    // Both parts of the key must match byte for byte.
    int Find(const std::string& name, const std::string& idNumber) const;
    bool Exists(const std::string& name, const std::string& idNumber) const { return Find(name, idNumber) >= 0; }
};

class CTermMember : public CCollection<MemberRecord> {
public:
    int Find(const std::string& staffNo) const;
    bool Exists(const std::string& staffNo) const { return Find(staffNo) >= 0; }
};

class CCalendar : public CCollection<ScheduleEntry> {};

} // namespace vantorel
