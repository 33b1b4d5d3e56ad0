// Which field each column of a file goes into. A header is matched, in
// turn, by the Chinese label our own export writes ("受益人2受益份额(%)"),
// by the field name of the data tool's export ("beneficiaries.2.share"),
// by the label without its unit ("保险金额"), and by a common synonym
// ("手机号码", "保单号"), which may follow a person's prefix
// ("被保险人手机号码", "受益人2身份证"). Blanks, the case of Latin letters
// and full-width brackets do not count.
#pragma once

#include "import_fields.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vantorel::exchange {

// One column's field: an index into the kind's FieldCatalogue, or kSkip.
inline constexpr int kSkip = -1;
// A column naming an eleventh beneficiary or rider ("受益人11姓名"): a row
// with anything in it is refused, since a policy holds ten of each.
inline constexpr int kBeyondList = -2;
using ColumnMapping = std::vector<int>;

struct Synonym {
    const char16_t* word;
    const char* field; // a field of the kind's person or policy, "name", "info.policyNo", ...
};

// The synonyms the matcher knows, for the README and the tests.
const std::vector<Synonym>& Synonyms();

// The field a header names for this kind, or kSkip.
int MatchHeader(const FieldCatalogue& fields, const QString& header);
// Every column matched on its own; two columns may claim one field.
ColumnMapping MatchColumns(const FieldCatalogue& fields, const QStringList& headers);

// The columns whose field another column also claims, in column order.
std::vector<int> ConflictingColumns(const ColumnMapping& mapping);

} // namespace vantorel::exchange
