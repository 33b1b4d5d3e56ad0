#include "policy_record.h"

namespace vantorel {

int CInsurance::Find(const std::string& policyNo) const {
    static const Field<PolicyRecord> number([](auto& r) -> auto& { return r.info.policyNo; });
    return ForEach([&](int, const View& p) { return p.Text(number) == policyNo; });
}

} // namespace vantorel
