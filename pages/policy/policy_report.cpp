#include "policy_report.h"

#include "agent/record_values.h"

using namespace vantorel;

namespace {

QString Sex(int index) { return index == 0 ? QStringLiteral("男") : index == 1 ? QStringLiteral("女") : QString(); }

QString Marital(int index) {
    static const QStringList items = {QStringLiteral("已婚"), QStringLiteral("未婚"), QStringLiteral("离异"),
                                      QStringLiteral("丧偶"), QStringLiteral("分居")};
    return index >= 0 && index < items.size() ? items[index] : QString();
}

template <class P> void PersonFields(ReportSection& s, const P& r) {
    auto add = [&s](const char* label, const QString& value) {
        s.fields.emplace_back(QString::fromUtf8(label), value);
    };
    add("姓名", TextOf(r.name));
    add("性别", Sex(r.sex));
    add("民族", TextOf(r.nation));
    add("身份证号", TextOf(r.idNumber));
    add("婚况", Marital(r.maritalStatus));
    add("出生日期", DateText(r.birthDate));
    add("文化程度", TextOf(r.education));
    add("手机", TextOf(r.mobile));
    add("EMAIL", TextOf(r.email));
    add("职业", TextOf(r.occupation));
    add("年收入", TextOf(r.annualIncome));
    add("家庭电话", TextOf(r.homePhone));
    add("单位电话", TextOf(r.workPhone));
    add("家庭地址", TextOf(r.homeAddress));
    add("邮编", TextOf(r.homePostcode));
    add("单位地址", TextOf(r.workAddress));
    add("邮编", TextOf(r.workPostcode));
    add("备注", TextOf(r.remarks));
}

} // namespace

std::vector<ReportSection> PolicyReport(const PolicyRecord& record) {
    const PolicyInfo& i = record.info;
    ReportSection policy{QStringLiteral("保单资料"), {}, {}};
    auto add = [&policy](const char* label, const QString& value) {
        policy.fields.emplace_back(QString::fromUtf8(label), value);
    };
    add("保险单号", TextOf(i.policyNo));
    add("投保单号", TextOf(i.applicationNo));
    add("保险公司", TextOf(i.company));
    add("险种名称", TextOf(i.productName));
    add("缴费方式", TextOf(i.paymentMethod));
    add("缴费期限(年)", TextOf(i.paymentYears));
    add("保险期限(年)", TextOf(i.coverageYears));
    add("保险金额(万元)", AmountText(i.sumInsured));
    add("保险给付领取方式", TextOf(i.benefitMethod));
    add("年缴保费(元)", AmountText(i.annualPremium));
    add("保险给付领取年龄", TextOf(i.benefitAge));
    add("生效日期", DateText(i.effectiveDate));
    add("责任开始日", DateText(i.liabilityStartDate));
    add("备注", TextOf(i.remarks));

    ReportTable beneficiaries{QStringLiteral("受益人"),
                              {QStringLiteral("姓名"), QStringLiteral("性别"), QStringLiteral("身份证号"),
                               QStringLiteral("出生日期"), QStringLiteral("关系"), QStringLiteral("受益份额(%)")},
                              {}};
    for (const BeneficiaryRecord& b : record.beneficiaries)
        beneficiaries.rows.push_back({TextOf(b.name), Sex(b.sex), TextOf(b.idNumber), DateText(b.birthDate),
                                      TextOf(b.relationToInsured), ShareText(b.share)});
    ReportTable riders{QStringLiteral("附加险"),
                       {QStringLiteral("保险单号"), QStringLiteral("险种名称"), QStringLiteral("保险公司"),
                        QStringLiteral("保险金额(万元)"), QStringLiteral("年缴保费(元)"), QStringLiteral("生效日期")},
                       {}};
    for (const RiderRecord& r : record.riders)
        riders.rows.push_back({TextOf(r.policyNo), TextOf(r.productName), TextOf(r.company), AmountText(r.sumInsured),
                               AmountText(r.annualPremium), DateText(r.effectiveDate)});
    policy.tables.push_back(std::move(beneficiaries));
    policy.tables.push_back(std::move(riders));

    ReportSection holder{QStringLiteral("投保人"), {}, {}};
    PersonFields(holder, record.holder);
    holder.fields.emplace_back(QStringLiteral("投保人与被保险人关系"), TextOf(record.holder.relationToInsured));
    ReportSection insured{QStringLiteral("被保险人"), {}, {}};
    PersonFields(insured, record.insured);
    insured.fields.emplace_back(QStringLiteral("身高(cm)"), MeasureText(record.insured.height));
    insured.fields.emplace_back(QStringLiteral("体重(kg)"), MeasureText(record.insured.weight));
    return {std::move(policy), std::move(holder), std::move(insured)};
}
