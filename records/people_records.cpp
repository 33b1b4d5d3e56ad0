#include "people_records.h"

namespace vantorel {

int CPotClient::Find(const std::string& name, const std::string& idNumber) const {
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        const PersonInfo& p = m_records[i].person;
        if (p.name == name && p.idNumber == idNumber) return static_cast<int>(i);
    }
    return -1;
}

int CTermMember::Find(const std::string& staffNo) const {
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (m_records[i].staffNo == staffNo) return static_cast<int>(i);
    return -1;
}

} // namespace vantorel
