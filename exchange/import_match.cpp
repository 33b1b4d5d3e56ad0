#include "import_match.h"

#include "records/record_columns.h"

#include <QHash>
#include <QRegularExpression>
#include <array>
#include <map>
#include <mutex>

namespace vantorel::exchange {

namespace {

// clang-format off
const std::vector<Synonym> kSynonyms = {
    // a person: the policyholder on a policy without a prefix
    {u"姓名", "name"}, {u"客户姓名", "name"}, {u"客户名称", "name"}, {u"名字", "name"}, {u"客户", "name"},
    {u"手机", "mobile"}, {u"手机号", "mobile"}, {u"手机号码", "mobile"}, {u"移动电话", "mobile"},
    {u"电话", "mobile"}, {u"联系电话", "mobile"}, {u"电话号码", "mobile"},
    {u"身份证", "idNumber"}, {u"身份证号", "idNumber"}, {u"身份证号码", "idNumber"},
    {u"证件号", "idNumber"}, {u"证件号码", "idNumber"},
    {u"生日", "birthDate"}, {u"出生日期", "birthDate"}, {u"出生年月日", "birthDate"},
    {u"性别", "sex"}, {u"民族", "nation"},
    {u"婚姻", "maritalStatus"}, {u"婚姻状况", "maritalStatus"}, {u"婚否", "maritalStatus"},
    {u"地址", "homeAddress"}, {u"住址", "homeAddress"}, {u"家庭住址", "homeAddress"}, {u"联系地址", "homeAddress"},
    {u"邮编", "homePostcode"}, {u"邮政编码", "homePostcode"},
    {u"住宅电话", "homePhone"}, {u"固定电话", "homePhone"},
    {u"工作单位", "workAddress"}, {u"单位", "workAddress"}, {u"办公电话", "workPhone"},
    {u"邮箱", "email"}, {u"电子邮箱", "email"}, {u"电子邮件", "email"}, {u"e-mail", "email"},
    {u"收入", "annualIncome"}, {u"学历", "education"}, {u"说明", "remarks"},
    {u"关系", "relationToInsured"}, {u"与被保人关系", "relationToInsured"},
    {u"受益比例", "share"}, {u"受益份额", "share"}, {u"份额", "share"},
    // a policy or rider
    {u"保单号", "policyNo"}, {u"保单号码", "policyNo"}, {u"保险单号码", "policyNo"},
    {u"保费", "annualPremium"}, {u"年缴保费", "annualPremium"}, {u"年保费", "annualPremium"},
    {u"保险费", "annualPremium"}, {u"年交保费", "annualPremium"},
    {u"保额", "sumInsured"}, {u"基本保额", "sumInsured"}, {u"保险金额", "sumInsured"},
    {u"生效日", "effectiveDate"}, {u"生效时间", "effectiveDate"}, {u"承保日期", "effectiveDate"},
    {u"险种", "productName"}, {u"产品名称", "productName"}, {u"产品", "productName"},
    {u"公司", "company"}, {u"交费方式", "paymentMethod"},
    {u"缴费年期", "paymentYears"}, {u"交费年期", "paymentYears"}, {u"缴费年限", "paymentYears"},
    {u"交费期限", "paymentYears"}, {u"保险期间", "coverageYears"},
    // team members, clients, the schedule
    {u"员工编号", "staffNo"}, {u"工号", "staffNo"}, {u"职级", "level"},
    {u"入司日期", "joinDate"}, {u"入职日期", "joinDate"}, {u"入职时间", "joinDate"},
    {u"兴趣", "hobby"}, {u"兴趣爱好", "hobby"},
    {u"日期", "date"}, {u"内容", "text"}, {u"日程", "text"}, {u"事项", "text"},
};
// clang-format on

QString Normal(const QString& header) {
    QString s;
    s.reserve(header.size());
    for (QChar c : header) {
        if (c.isSpace()) continue;
        if (c == u'（') c = u'(';
        if (c == u'）') c = u')';
        if (c == u'：' || c == u':') continue;
        s.append(c);
    }
    return s.toCaseFolded();
}

QString WithoutUnit(const QString& normal) {
    static const QRegularExpression unit(QStringLiteral(R"(\([^()]*\)$)"));
    QString s = normal;
    s.remove(unit);
    return s;
}

QString Leaf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    return QString::fromStdString(dot == std::string::npos ? path : path.substr(dot + 1));
}

// What one kind's headers are looked up in, built once.
struct Tables {
    QHash<QString, int> exact;     // labels and paths
    QHash<QString, int> unitless;  // labels without their unit
    QHash<QString, QString> words; // a field label or synonym -> leaf name
};

Tables Build(const FieldCatalogue& c) {
    Tables t;
    for (int i = 0; i < c.Size(); ++i) {
        const ImportField& f = c.At(i);
        t.exact.insert(Normal(f.label), i);
        t.exact.insert(Normal(QString::fromStdString(f.path)), i);
    }
    for (int i = 0; i < c.Size(); ++i) {
        const QString bare = WithoutUnit(Normal(c.At(i).label));
        if (!t.exact.contains(bare) && !t.unitless.contains(bare)) t.unitless.insert(bare, i);
        const QString leaf = Leaf(c.At(i).path);
        const QString label = Normal(QString::fromUtf8(FieldLabel(leaf.toStdString())));
        t.words.insert(label, leaf);
        t.words.insert(WithoutUnit(label), leaf);
        t.words.insert(leaf.toCaseFolded(), leaf);
    }
    for (const Synonym& s : kSynonyms) t.words.insert(Normal(QString::fromUtf16(s.word)), QString::fromUtf8(s.field));
    return t;
}

const Tables& TablesOf(const FieldCatalogue& c) {
    static std::mutex lock;
    static std::map<CollectionId, Tables> built;
    const std::lock_guard<std::mutex> hold(lock);
    auto it = built.find(c.Kind());
    if (it == built.end()) it = built.emplace(c.Kind(), Build(c)).first;
    return it->second;
}

struct Prefix {
    const char16_t* word;
    const char* group; // "holder", or a list whose number follows the word
    bool numbered;
};

constexpr std::array kPolicyPrefixes = {
    Prefix{u"投保人", "holder", false},  Prefix{u"被保险人", "insured", false},
    Prefix{u"被保人", "insured", false}, Prefix{u"受益人", "beneficiaries", true},
    Prefix{u"附加险", "riders", true},
};

} // namespace

const std::vector<Synonym>& Synonyms() { return kSynonyms; }

int MatchHeader(const FieldCatalogue& c, const QString& header) {
    const QString h = Normal(header);
    if (h.isEmpty()) return kSkip;
    const Tables& t = TablesOf(c);
    if (auto it = t.exact.find(h); it != t.exact.end()) return *it;
    if (auto it = t.unitless.find(h); it != t.unitless.end()) return *it;
    // A word for a field, after a group the kind has.
    auto leafOf = [&t](const QString& rest) -> QString {
        if (auto it = t.words.find(rest); it != t.words.end()) return *it;
        if (auto it = t.words.find(WithoutUnit(rest)); it != t.words.end()) return *it;
        return {};
    };
    auto in = [&c](const std::string& group, const QString& leaf) {
        return c.Find(group.empty() ? leaf.toStdString() : group + "." + leaf.toStdString());
    };
    if (c.Kind() == CollectionId::insurance) {
        for (const Prefix& p : kPolicyPrefixes) {
            const QString word = QString::fromUtf16(p.word);
            if (!h.startsWith(word)) continue;
            QString rest = h.mid(word.size());
            std::string group = p.group;
            bool beyond = false;
            if (p.numbered) {
                qsizetype digits = 0;
                while (digits < rest.size() && rest[digits].isDigit()) ++digits;
                const int n = digits ? rest.left(digits).toInt() : 1;
                beyond = n > int(kMaxListEntries);
                group += "." + std::to_string(beyond ? 1 : n);
                rest = rest.mid(digits);
            }
            // "受益人2" alone is the second beneficiary's name.
            const QString leaf = rest.isEmpty() ? QStringLiteral("name") : leafOf(rest);
            if (!leaf.isEmpty()) {
                if (const int i = in(group, leaf); i >= 0) return beyond ? kBeyondList : i;
            }
        }
        const QString leaf = leafOf(h);
        if (leaf.isEmpty()) return kSkip;
        if (const int i = in("info", leaf); i >= 0) return i;
        return in("holder", leaf);
    }
    const QString leaf = leafOf(h);
    if (leaf.isEmpty()) return kSkip;
    if (const int i = in("", leaf); i >= 0) return i;
    return in("person", leaf);
}

ColumnMapping MatchColumns(const FieldCatalogue& fields, const QStringList& headers) {
    ColumnMapping m;
    m.reserve(std::size_t(headers.size()));
    for (const QString& h : headers) m.push_back(MatchHeader(fields, h));
    return m;
}

std::vector<int> ConflictingColumns(const ColumnMapping& mapping) {
    std::map<int, int> claims;
    for (const int f : mapping)
        if (f >= 0) ++claims[f];
    std::vector<int> columns;
    for (std::size_t c = 0; c < mapping.size(); ++c)
        if (mapping[c] >= 0 && claims[mapping[c]] > 1) columns.push_back(int(c));
    return columns;
}

} // namespace vantorel::exchange
