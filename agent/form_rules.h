// The checks a record passes before it is stored, whoever stores it: a form,
// an import, the data tool. Each refusal is the text the user reads.
#pragma once

#include "numbers.h"
#include "records/people_records.h"
#include "records/policy_record.h"

#include <QString>
#include <optional>

namespace rules {

using Refusal = std::optional<QString>;

// A text the data files can hold: GBK has every character of it. `label`
// names the field in the refusal.
Refusal CheckText(const QString& label, const QString& text);
// A number field's text: a number (numbers::ReadNumber, in the field's unit)
// that a double can hold, or empty.
Refusal CheckNumber(const QString& label, const QString& text, numbers::Unit unit);

// Keys, compared as the files hold them, byte for byte.
bool PolicyExists(const vantorel::CInsurance& policies, const QString& policyNo);
bool ClientExists(const vantorel::CPotClient& clients, const QString& name, const QString& idNumber);
int FindMember(const vantorel::CTermMember& members, const QString& staffNo);
// Whether a record other than the one at `except` holds the key.
bool ClientKeyHeldByOther(const vantorel::CPotClient& clients, const std::string& name, const std::string& idNumber,
                          int except);
bool StaffNoHeldByOther(const vantorel::CTermMember& members, const std::string& staffNo, int except);

// A policy holds at most ten beneficiaries and ten riders: room for one more?
inline bool ListHasRoom(std::size_t entries) { return entries < vantorel::kMaxListEntries; }

// A beneficiary's share: a number from 0 to 100 (a "%" may follow). The sum
// of the shares is not checked: a policy can have several orders of beneficiaries.
bool ShareAcceptable(const QString& share);

} // namespace rules
