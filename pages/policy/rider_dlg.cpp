#include "rider_dlg.h"

#include "agent/form_rules.h"
#include "app/forms.h"
#include "app/message_box.h"
#include "app/template_builder.h"
#include "resources/templates/rider_ids.h"
#include "resources/templates/rider_template.h"

#include <QComboBox>

using namespace vantorel;

CRiderDlg::CRiderDlg(QWidget* owner)
    : ListEditDlg(owner, tmpl::RiderTemplate(), QStringLiteral("附加险"),
                  {{QStringLiteral("保险单号"), 100}, {QStringLiteral("险种名称"), 200}}) {
    values_.company = QStringLiteral("Orlemont保险");
    values_.paymentMethod = QStringLiteral("年缴");
    values_.paymentYears = QStringLiteral("0");
    values_.coverageYears = QStringLiteral("1");
    values_.benefitMethod = QStringLiteral("0");
    values_.benefitAge = QStringLiteral("0");
    values_.effective.year = QStringLiteral("2004");
    values_.liability.year = QStringLiteral("2004");
    BindPolicyInfo(binding_, values_);
    for (int year : {ids::rider::EffectiveYear, ids::rider::LiabilityYear})
        forms::AddYearPresets(tmpl::Ctl<QComboBox>(this, year));
    binding_.Show();
}

QStringList CRiderDlg::Row(const RiderRecord& r) const { return {TextOf(r.policyNo), TextOf(r.productName)}; }

RiderRecord CRiderDlg::BuildRecord(const RiderRecord* stored) {
    binding_.CommitQuiet();
    RiderRecord r = stored ? *stored : RiderRecord{};
    values_.Store(r, stored ? Into::stored : Into::fresh);
    return r;
}

void CRiderDlg::ShowRecord(const RiderRecord& record) {
    binding_.CommitQuiet();
    values_.Load(record);
    binding_.Show();
}

bool CRiderDlg::Accepts(int row) {
    // An eleventh rider would be dropped on saving.
    if (row >= 0 || rules::ListHasRoom(list_.size())) return true;
    msg::Info(this, QStringLiteral("不能多于十个附加险!"));
    return false;
}
