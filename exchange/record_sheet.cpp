#include "record_sheet.h"

#include "agent/composed_date.h"
#include "agent/gbk.h"
#include "records/record_columns.h"

#include <memory>

using namespace vantorel;

namespace {

QString Choice(const char* word, int index) {
    if (word) return QString::fromUtf8(word);
    // None chosen is empty; a value no form makes (a damaged file) stays visible.
    return index == -1 ? QString() : QString::number(index);
}

bool IsAmount(const std::string& column) {
    auto endsWith = [&column](std::string_view tail) {
        return column.size() >= tail.size() && column.compare(column.size() - tail.size(), tail.size(), tail) == 0;
    };
    return endsWith("sumInsured") || endsWith("annualPremium");
}

SheetCell CellOf(const ColumnValue& v, bool amount) {
    if (!v.present) return {};
    switch (v.kind) {
    case ValueKind::text: return SheetCell::Text(FromGbk(*v.text));
    case ValueKind::date: {
        // A spreadsheet date comes back composed as the forms compose it:
        // "2004/05-09" would return as "2004/5-9", so it goes out as text.
        const QDate d = ComposedDate::RealDate(*v.text);
        const bool composedSo = d.isValid() && ComposedDate::FromDate(d).Stored() == *v.text;
        return composedSo ? SheetCell::Date(d) : SheetCell::Text(FromGbk(*v.text));
    }
    case ValueKind::number: return amount ? SheetCell::Amount(v.number) : SheetCell::Number(v.number);
    case ValueKind::sex: return SheetCell::Text(Choice(SexWord(v.choice), v.choice));
    case ValueKind::marital: return SheetCell::Text(Choice(MaritalWord(v.choice), v.choice));
    }
    return {};
}

template <class Record> SheetTable Make(const std::vector<Record>& records, const QString& sheetName) {
    auto columns = std::make_shared<const RecordColumns<Record>>(records);
    auto amounts = std::make_shared<std::vector<bool>>();
    SheetTable t;
    t.sheetName = sheetName;
    for (const Column& c : columns->Columns()) {
        t.header << QString::fromUtf8(c.label);
        amounts->push_back(IsAmount(c.name));
    }
    t.rows = records.size();
    auto values = std::make_shared<std::vector<ColumnValue>>();
    t.row = [&records, columns, amounts, values](std::size_t i, std::vector<SheetCell>& cells) {
        columns->Values(records[i], *values);
        cells.reserve(values->size());
        for (std::size_t c = 0; c < values->size(); ++c) cells.push_back(CellOf((*values)[c], (*amounts)[c]));
    };
    return t;
}

} // namespace

SheetTable RecordSheet(const std::vector<PolicyRecord>& records, const QString& sheetName) {
    return Make(records, sheetName);
}
SheetTable RecordSheet(const std::vector<PotClientRecord>& records, const QString& sheetName) {
    return Make(records, sheetName);
}
SheetTable RecordSheet(const std::vector<MemberRecord>& records, const QString& sheetName) {
    return Make(records, sheetName);
}
