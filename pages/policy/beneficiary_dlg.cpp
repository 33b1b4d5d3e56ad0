#include "beneficiary_dlg.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/message_box.h"
#include "app/template_builder.h"
#include "resources/templates/beneficiary_ids.h"
#include "resources/templates/beneficiary_template.h"

#include <QComboBox>
#include <cmath>

using namespace vantorel;

CBeneficiaryDlg::CBeneficiaryDlg(QWidget* owner)
    : ListEditDlg(owner, tmpl::BeneficiaryTemplate(), QStringLiteral("受益人"),
                  {{QStringLiteral("姓名"), 100}, {QStringLiteral("身份证号"), 200}, {QStringLiteral("关系"), 50}}) {
    namespace id = ids::beneficiary;
    binding_.Text(id::Name, &name_, QStringLiteral("姓名"));
    binding_.Index(id::Sex, &sex_);
    binding_.Text(id::IdNumber, &idNumber_, QStringLiteral("身份证号"));
    binding_.Date(id::BirthYear, id::BirthMonth, id::BirthDay, &birth_, QStringLiteral("出生日期"));
    binding_.Text(id::Relation, &relation_, QStringLiteral("与被保险人关系"));
    binding_.Text(id::Share, &share_, QStringLiteral("受益份额"));
    forms::AddYearPresets(tmpl::Ctl<QComboBox>(this, id::BirthYear));
    binding_.Show();
}

QStringList CBeneficiaryDlg::Row(const BeneficiaryRecord& b) const {
    return {FromGbk(b.name), FromGbk(b.idNumber), FromGbk(b.relationToInsured)};
}

BeneficiaryRecord CBeneficiaryDlg::BuildRecord() {
    binding_.CommitQuiet();
    BeneficiaryRecord r;
    r.name = ToGbk(name_);
    r.idNumber = ToGbk(idNumber_);
    r.sex = static_cast<std::int16_t>(sex_);
    r.share = forms::TextToDouble(share_);
    r.birthDate = ToGbk(forms::ComposeDate(birth_));
    r.relationToInsured = ToGbk(relation_);
    return r;
}

void CBeneficiaryDlg::ShowRecord(const BeneficiaryRecord& r) {
    binding_.CommitQuiet();
    name_ = FromGbk(r.name);
    idNumber_ = FromGbk(r.idNumber);
    sex_ = r.sex;
    share_ = forms::FormatRounded(r.share);
    birth_ = forms::SplitDate(FromGbk(r.birthDate));
    relation_ = FromGbk(r.relationToInsured);
    binding_.Show();
}

bool CBeneficiaryDlg::Accepts(int row) {
    // Only the upper bound counts, but a share too large for a number either way is no share.
    const double share = forms::TextToDouble(share_);
    if (share > 100 || !std::isfinite(share)) {
        msg::Info(this, QStringLiteral("受益份额错误!"));
        return false;
    }
    if (name_.isEmpty() && idNumber_.isEmpty()) {
        msg::Info(this, QStringLiteral("受益人姓名和身份证号不能为空!"));
        return false;
    }
    if (row < 0 && list_.size() >= kMaxListEntries) {
        msg::Info(this, QStringLiteral("不能多于十个受益人!"));
        return false;
    }
    if (IsDuplicate(row)) {
        msg::Info(this, QStringLiteral("已存在该受益人!"));
        return false;
    }
    return true;
}

bool CBeneficiaryDlg::IsDuplicate(int skip) const {
    const std::string name = ToGbk(name_), id = ToGbk(idNumber_);
    for (int i = 0; i < int(list_.size()); ++i)
        if (i != skip && list_[std::size_t(i)].name == name && list_[std::size_t(i)].idNumber == id) return true;
    return false;
}
