#include "beneficiary_dlg.h"

#include "agent/form_rules.h"
#include "app/forms.h"
#include "app/message_box.h"
#include "app/template_builder.h"
#include "resources/templates/beneficiary_ids.h"
#include "resources/templates/beneficiary_template.h"

#include <QComboBox>

using namespace vantorel;

CBeneficiaryDlg::CBeneficiaryDlg(QWidget* owner)
    : ListEditDlg(owner, tmpl::BeneficiaryTemplate(), QStringLiteral("受益人"),
                  {{QStringLiteral("姓名"), 100}, {QStringLiteral("身份证号"), 200}, {QStringLiteral("关系"), 50}}) {
    namespace id = ids::beneficiary;
    binding_.Text(id::Name, &values_.name, QStringLiteral("姓名"));
    binding_.Index(id::Sex, &values_.sex);
    binding_.Text(id::IdNumber, &values_.idNumber, QStringLiteral("身份证号"));
    binding_.Date(id::BirthYear, id::BirthMonth, id::BirthDay, &values_.birth, QStringLiteral("出生日期"));
    binding_.Text(id::Relation, &values_.relation, QStringLiteral("与被保险人关系"));
    binding_.Text(id::Share, &values_.share, QStringLiteral("受益份额"));
    forms::AddYearPresets(tmpl::Ctl<QComboBox>(this, id::BirthYear));
    binding_.Show();
}

QStringList CBeneficiaryDlg::Row(const BeneficiaryRecord& b) const {
    return {TextOf(b.name), TextOf(b.idNumber), TextOf(b.relationToInsured)};
}

BeneficiaryRecord CBeneficiaryDlg::BuildRecord(const BeneficiaryRecord* stored) {
    binding_.CommitQuiet();
    BeneficiaryRecord r = stored ? *stored : BeneficiaryRecord{};
    values_.Store(r, stored ? Into::stored : Into::fresh);
    return r;
}

void CBeneficiaryDlg::ShowRecord(const BeneficiaryRecord& r) {
    binding_.CommitQuiet();
    values_.Load(r);
    binding_.Show();
}

bool CBeneficiaryDlg::Accepts(int row) {
    if (!rules::ShareAcceptable(values_.share)) {
        msg::Info(this, QStringLiteral("受益份额错误!"));
        return false;
    }
    if (values_.name.isEmpty() && values_.idNumber.isEmpty()) {
        msg::Info(this, QStringLiteral("受益人姓名和身份证号不能为空!"));
        return false;
    }
    if (row < 0 && !rules::ListHasRoom(list_.size())) {
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
    // The entry as it would be stored: keys compare as the files hold them.
    BeneficiaryRecord r;
    values_.Store(r, Into::fresh);
    for (int i = 0; i < int(list_.size()); ++i)
        if (i != skip && list_[std::size_t(i)].name == r.name && list_[std::size_t(i)].idNumber == r.idNumber)
            return true;
    return false;
}
