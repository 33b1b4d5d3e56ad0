#include "import_plan.h"

#include "agent/composed_date.h"
#include "agent/form_rules.h"
#include "agent/gbk.h"
#include "agent/numbers.h"
#include "agent/value_words.h"
#include "records/record_bytes.h"

#include <QRegularExpression>
#include <cmath>

namespace vantorel::exchange {

namespace {

bool IsPlainNumber(const QString& text);

// The forms' number rule, in the field's unit: separators and the unit's
// words are read, any other text is refused.
rules::Refusal ReadNumber(const QString& label, const QString& text, FieldUnit unit, double& out) {
    if (rules::Refusal r = rules::CheckNumber(label, text, unit)) return r;
    out = numbers::ReadNumber(text, unit).value;
    return std::nullopt;
}

QString UnitWord(FieldUnit unit) {
    switch (unit) {
    case FieldUnit::none: return {};
    case FieldUnit::yuan: return QStringLiteral("元");
    case FieldUnit::wanYuan: return QStringLiteral("万元");
    case FieldUnit::cm: return QStringLiteral("cm");
    case FieldUnit::kg: return QStringLiteral("kg");
    case FieldUnit::percent: return QStringLiteral("%");
    }
    return {};
}

// Our CSV export puts a ' before a text that a spreadsheet would take for a
// formula (one starting with =, +, -, @, a tab or a carriage return, after
// any 's of its own); that one ' comes off again, and no other.
QString Unguarded(const QString& text) {
    qsizetype quotes = 0;
    while (quotes < text.size() && text[quotes] == u'\'') ++quotes;
    if (quotes == 0 || quotes == text.size()) return text;
    static const QString formula = QStringLiteral("=+-@\t\r");
    return formula.contains(text[quotes]) ? text.mid(1) : text;
}

bool IsPlainNumber(const QString& text) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*[-+]?(\d+(\.\d*)?|\.\d+)([eE][-+]?\d+)?\s*$)"));
    return re.match(text).hasMatch();
}

// A field's empty value, set.
FieldValue Blank() { return {true, false, {}, 0, -1}; }

template <class Record, class Get>
void IndexKeys(const CCollection<Record>& c, Get get, std::unordered_map<std::string, int>& first) {
    first.reserve(std::size_t(c.GetSize()));
    c.ForEach([&](int i, const typename CCollection<Record>::View& v) { first.emplace(get(v), i); });
}

const Field<PolicyRecord> kPolicyNo([](auto& r) -> auto& { return r.info.policyNo; });
const Field<PotClientRecord> kClientName([](auto& r) -> auto& { return r.person.name; });
const Field<PotClientRecord> kClientId([](auto& r) -> auto& { return r.person.idNumber; });
const Field<MemberRecord> kStaffNo([](auto& r) -> auto& { return r.staffNo; });

} // namespace

QString StateText(RowState state) {
    switch (state) {
    case RowState::added: return QStringLiteral("新增");
    case RowState::updated: return QStringLiteral("更新");
    case RowState::duplicate: return QStringLiteral("重复");
    case RowState::error: return QStringLiteral("错误");
    }
    return {};
}

bool KeepBothAllowed(CollectionId kind) { return kind == CollectionId::clients; }

KeyIndex KeyIndex::Of(const DataBook& book, CollectionId kind) {
    KeyIndex k;
    switch (kind) {
    case CollectionId::insurance:
        IndexKeys(
            book.insurance, [](const auto& v) { return std::string(v.Text(kPolicyNo)); }, k.first_);
        break;
    case CollectionId::clients:
        IndexKeys(
            book.clients,
            [](const auto& v) {
                std::string key(v.Text(kClientName));
                key.push_back('\0');
                key.append(v.Text(kClientId));
                return key;
            },
            k.first_);
        break;
    case CollectionId::members:
        IndexKeys(
            book.members, [](const auto& v) { return std::string(v.Text(kStaffNo)); }, k.first_);
        break;
    case CollectionId::calendar: break;
    }
    return k;
}

int KeyIndex::Find(const std::string& key) const {
    const auto it = first_.find(key);
    return it == first_.end() ? -1 : it->second;
}

struct ImportPlan::Input {
    CellKind kind = CellKind::empty;
    QString text; // the text of a text cell, or what another kind shows
    double number = 0;
    QDate date;
    bool corrected = false;
};

ImportPlan::ImportPlan(std::shared_ptr<const SheetTable> table, int headerRow, FileKind fileKind, CollectionId kind,
                       ColumnMapping mapping)
    : table_(std::move(table)), headerRow_(headerRow), csv_(fileKind == FileKind::csv),
      fields_(FieldCatalogue::Of(kind)), mapping_(std::move(mapping)) {
    mapping_.resize(std::size_t(std::max(table_->ColumnCount(), int(mapping_.size()))), kSkip);
}

QStringList ImportPlan::Headers() const {
    QStringList headers;
    for (int c = 0; c < int(mapping_.size()); ++c)
        headers << (headerRow_ >= 0 ? table_->At(headerRow_, c).DisplayText() : QString());
    return headers;
}

ImportPlan::Input ImportPlan::CellAt(int row, int column) const {
    Input in;
    if (auto it = corrections_.find({row, column}); it != corrections_.end()) {
        in.kind = CellKind::text;
        in.text = it->second;
        in.corrected = true;
        return in;
    }
    const TableCell cell = table_->At(rows_[std::size_t(row)].tableRow, column);
    in.kind = cell.Kind();
    in.number = cell.Number();
    in.date = cell.Date();
    in.text = cell.Kind() == CellKind::text ? cell.Text() : cell.DisplayText();
    return in;
}

QString ImportPlan::CellText(int row, int column) const { return CellAt(row, column).text; }

bool ImportPlan::Corrected(int row, int column) const { return corrections_.count({row, column}) > 0; }

CellReading ImportPlan::ReadInput(int field, const Input& in) const {
    const ImportField& f = fields_.At(field);
    CellReading r;
    r.value = Blank();
    QString text = in.text;
    if (csv_ && !in.corrected && (f.kind == FieldKind::text || f.kind == FieldKind::date)) text = Unguarded(text);
    const bool blank = text.trimmed().isEmpty();
    auto refuse = [&r](QString why) {
        r.refusal = std::move(why);
        return r;
    };
    auto notNumber = [&f, &text] { return QStringLiteral("“%1”不是数字：“%2”").arg(f.label, text); };
    switch (f.kind) {
    case FieldKind::text:
        if (text.isEmpty()) return r;
        if (auto why = rules::CheckText(f.label, text)) return refuse(*why);
        r.value.text = ToGbk(text);
        r.value.filled = true;
        return r;
    case FieldKind::date: {
        QString composed;
        if (in.kind == CellKind::date)
            composed = ComposedDate::FromDate(in.date).Text();
        else if (auto why = rules::ReadDate(f.label, text, composed))
            return refuse(*why);
        if (composed.isEmpty()) return r;
        if (auto why = rules::CheckText(f.label, composed)) return refuse(*why);
        if (composed != text) r.shown = composed;
        r.value.text = ToGbk(composed);
        r.value.filled = true;
        return r;
    }
    case FieldKind::number:
        if (in.kind == CellKind::number) {
            if (!std::isfinite(in.number)) return refuse(notNumber());
            r.value.number = in.number;
        } else if (blank) {
            return r;
        } else if (in.kind != CellKind::text) {
            return refuse(notNumber());
        } else if (auto why = ReadNumber(f.label, text, f.unit, r.value.number)) {
            return refuse(*why);
        } else if (!IsPlainNumber(text)) {
            r.shown = QString::number(r.value.number, 'g', 15) + UnitWord(f.unit);
        }
        if (f.unit == FieldUnit::percent && !rules::ShareAcceptable(QString::number(r.value.number, 'g', 17)))
            return refuse(QStringLiteral("“%1”不能超过100").arg(f.label));
        r.value.filled = true;
        return r;
    case FieldKind::sex:
    case FieldKind::marital: {
        int index = -1;
        const auto why =
            f.kind == FieldKind::sex ? rules::ReadSex(f.label, text, index) : rules::ReadMarital(f.label, text, index);
        if (why) return refuse(*why);
        r.value.choice = index;
        r.value.filled = index != -1;
        return r;
    }
    case FieldKind::scheduleDate: {
        QDate date = in.kind == CellKind::date ? in.date : QDate();
        if (in.kind == CellKind::number) {
            r.value.number = in.number;
        } else if (blank) {
            return r;
        } else if (!date.isValid() && IsPlainNumber(text)) {
            if (auto why = ReadNumber(f.label, text, FieldUnit::none, r.value.number)) return refuse(*why);
        } else {
            if (!date.isValid()) {
                const auto composed = rules::ComposedFromText(text);
                date = composed ? ComposedDate::RealDate(*composed) : QDate();
            }
            if (!date.isValid()) return refuse(QStringLiteral("“%1”不是日期：“%2”").arg(f.label, text));
            r.value.number = date.year() * 10000.0 + date.month() * 100 + date.day();
            r.shown = QString::number(r.value.number, 'f', 0);
        }
        r.value.filled = true;
        return r;
    }
    }
    return r;
}

CellReading ImportPlan::Read(int row, int column) const {
    const int field = column < int(mapping_.size()) ? mapping_[std::size_t(column)] : kSkip;
    if (field < 0) return {};
    return ReadInput(field, CellAt(row, column));
}

void ImportPlan::ReadRow(int row, std::vector<FieldValue>& values, std::vector<CellIssue>& issues,
                         std::vector<int>& columnOf) const {
    values.assign(std::size_t(fields_.Size()), FieldValue{});
    columnOf.assign(std::size_t(fields_.Size()), -1);
    const int width = std::max(table_->RowWidth(rows_[std::size_t(row)].tableRow), 0);
    for (int c = 0; c < int(mapping_.size()); ++c) {
        const int field = mapping_[std::size_t(c)];
        if (field == kSkip) continue;
        // Cells past the row's last one are empty, unless corrected.
        Input in;
        if (c < width || corrections_.count({row, c})) in = CellAt(row, c);
        if (field == kBeyondList) {
            if (!in.text.trimmed().isEmpty())
                issues.push_back({c, QStringLiteral("一份保单最多有十个受益人和十个附加险")});
            continue;
        }
        columnOf[std::size_t(field)] = c;
        CellReading r = ReadInput(field, in);
        if (r.refusal)
            issues.push_back({c, *r.refusal});
        else
            values[std::size_t(field)] = std::move(r.value);
    }
}

void ImportPlan::CheckRow(int row, const KeyIndex& keys, std::vector<FieldValue>& values, std::vector<int>& columnOf) {
    PlannedRow& p = rows_[std::size_t(row)];
    p.issues.clear();
    p.record.clear();
    p.key.clear();
    p.existing = -1;
    ReadRow(row, values, p.issues, columnOf);
    for (const int f : fields_.RequiredFields())
        if (columnOf[std::size_t(f)] >= 0 && !values[std::size_t(f)].filled &&
            CellIssueText(row, columnOf[std::size_t(f)]).isEmpty())
            p.issues.push_back({columnOf[std::size_t(f)], QStringLiteral("“%1”不能为空").arg(fields_.At(f).label)});
        else if (columnOf[std::size_t(f)] < 0)
            p.issues.push_back({-1, QStringLiteral("没有一列对应“%1”").arg(fields_.At(f).label)});
    if (!fields_.KeyFields().empty()) {
        p.key = fields_.KeyOf(values);
        p.existing = keys.Find(p.key);
    }
    if (p.issues.empty()) p.record = fields_.EncodeNew(values);
}

void ImportPlan::MarkDuplicates() {
    std::unordered_map<std::string, int> first;
    first.reserve(rows_.size());
    const bool keyed = !fields_.KeyFields().empty();
    for (int i = 0; i < RowCount(); ++i) {
        PlannedRow& p = rows_[std::size_t(i)];
        p.sameAs = -1;
        const bool keyGiven = keyed && !p.key.empty() && p.key != std::string(1, '\0');
        if (keyGiven) {
            const auto [it, isNew] = first.emplace(p.key, i);
            if (!isNew) p.sameAs = it->second;
        }
        p.state = !p.issues.empty() ? RowState::error
                  : p.sameAs >= 0   ? RowState::duplicate
                  : p.existing >= 0 ? RowState::updated
                                    : RowState::added;
    }
}

bool ImportPlan::CheckAll(const KeyIndex& keys, const Progress& progress) {
    rows_.clear();
    const int n = table_->RowCount();
    for (int t = headerRow_ + 1; t < n; ++t) {
        // A row of nothing but blanks is no record.
        bool any = false;
        for (const TableCell& c : table_->Row(t))
            if (!c.IsBlank()) {
                any = true;
                break;
            }
        if (any) rows_.push_back(PlannedRow{t, RowState::added, {}, {}, -1, -1, {}});
    }
    std::vector<FieldValue> values;
    std::vector<int> columnOf;
    for (int i = 0; i < RowCount(); ++i) {
        if (progress && i % 512 == 0 && !progress(double(i) / std::max(1, RowCount()))) return false;
        CheckRow(i, keys, values, columnOf);
    }
    MarkDuplicates();
    if (progress) progress(1.0);
    return true;
}

QString ImportPlan::CellIssueText(int row, int column) const {
    QString text;
    for (const CellIssue& i : rows_[std::size_t(row)].issues)
        if (i.column == column) text += (text.isEmpty() ? QString() : QStringLiteral("；")) + i.reason;
    return text;
}

QString ImportPlan::Reasons(int row) const {
    const PlannedRow& p = rows_[std::size_t(row)];
    QStringList all;
    for (const CellIssue& i : p.issues) all << i.reason;
    if (p.state == RowState::duplicate)
        all << QStringLiteral("与第 %1 行重复").arg(table_->FileRow(rows_[std::size_t(p.sameAs)].tableRow));
    return all.join(QStringLiteral("；"));
}

void ImportPlan::Correct(int row, int column, const QString& text, const KeyIndex& keys) {
    corrections_[{row, column}] = text;
    std::vector<FieldValue> values;
    std::vector<int> columnOf;
    CheckRow(row, keys, values, columnOf);
    MarkDuplicates();
}

bool ImportPlan::Imports(int row, DuplicateChoice choice) const {
    const bool keepBoth = choice == DuplicateChoice::keepBoth && KeepBothAllowed(fields_.Kind());
    switch (rows_[std::size_t(row)].state) {
    case RowState::added: return true;
    case RowState::updated: return choice == DuplicateChoice::update || keepBoth;
    case RowState::duplicate: return keepBoth;
    case RowState::error: return false;
    }
    return false;
}

ImportCounts ImportPlan::Count(DuplicateChoice choice) const {
    ImportCounts n;
    const bool keepBoth = choice == DuplicateChoice::keepBoth && KeepBothAllowed(fields_.Kind());
    for (const PlannedRow& p : rows_) {
        switch (p.state) {
        case RowState::added: ++n.added; break;
        case RowState::updated:
            if (choice == DuplicateChoice::update)
                ++n.updated;
            else if (keepBoth)
                ++n.added;
            else
                ++n.skipped;
            break;
        case RowState::duplicate:
            if (keepBoth)
                ++n.added;
            else
                ++n.refused;
            break;
        case RowState::error: ++n.refused; break;
        }
    }
    return n;
}

std::vector<FieldValue> ImportPlan::Values(int row) const {
    std::vector<FieldValue> values;
    std::vector<CellIssue> issues;
    std::vector<int> columnOf;
    ReadRow(row, values, issues, columnOf);
    if (!issues.empty()) values.clear();
    return values;
}

} // namespace vantorel::exchange
