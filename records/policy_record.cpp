#include "policy_record.h"

namespace vantorel {

int CInsurance::Find(const std::string& policyNo) const {
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (m_records[i].info.policyNo == policyNo) return static_cast<int>(i);
    return -1;
}

} // namespace vantorel
