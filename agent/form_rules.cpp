#include "form_rules.h"

#include "gbk.h"
#include "numbers.h"

#include <cmath>

using namespace vantorel;

namespace rules {

namespace {
const Field<PotClientRecord> kClientName([](auto& r) -> auto& { return r.person.name; });
const Field<PotClientRecord> kClientId([](auto& r) -> auto& { return r.person.idNumber; });
const Field<MemberRecord> kStaffNo([](auto& r) -> auto& { return r.staffNo; });
} // namespace

Refusal CheckText(const QString& label, const QString& text) {
    if (CanStoreAsGbk(text)) return std::nullopt;
    return QStringLiteral("“%1”中有无法保存的字符（例如表情符号或生僻字），请修改后再试。").arg(label);
}

Refusal CheckNumber(const QString& label, const QString& text, numbers::Unit unit) {
    if (Refusal r = CheckText(label, text)) return r;
    const numbers::Reading n = numbers::ReadNumber(text, unit);
    if (!n.ok) return QStringLiteral("“%1”不是数字，请重新输入!").arg(label);
    if (!std::isfinite(n.value)) return QStringLiteral("“%1”数值太大，请重新输入!").arg(label);
    return std::nullopt;
}

bool PolicyExists(const CInsurance& policies, const QString& policyNo) {
    return CanStoreAsGbk(policyNo) && policies.Exists(ToGbk(policyNo));
}

bool ClientExists(const CPotClient& clients, const QString& name, const QString& idNumber) {
    return CanStoreAsGbk(name) && CanStoreAsGbk(idNumber) && clients.Exists(ToGbk(name), ToGbk(idNumber));
}

int FindMember(const CTermMember& members, const QString& staffNo) {
    return CanStoreAsGbk(staffNo) ? members.Find(ToGbk(staffNo)) : -1;
}

bool ClientKeyHeldByOther(const CPotClient& clients, const std::string& name, const std::string& idNumber, int except) {
    return clients.ForEach([&](int i, const CPotClient::View& c) {
        return i != except && c.Text(kClientName) == name && c.Text(kClientId) == idNumber;
    }) >= 0;
}

bool StaffNoHeldByOther(const CTermMember& members, const std::string& staffNo, int except) {
    return members.ForEach(
               [&](int i, const CTermMember::View& m) { return i != except && m.Text(kStaffNo) == staffNo; }) >= 0;
}

bool ShareAcceptable(const QString& share) {
    const numbers::Reading n = numbers::ReadNumber(share, numbers::Unit::percent);
    return n.ok && n.value >= 0 && n.value <= 100;
}

} // namespace rules
