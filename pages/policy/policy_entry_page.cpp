#include "policy_entry_page.h"

#include "beneficiary_dlg.h"
#include "policy_report.h"
#include "rider_dlg.h"
#include "agent/form_rules.h"
#include "app/forms.h"
#include "app/message_box.h"
#include "app/report_save.h"
#include "exchange/record_sheet.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/policy_entry_template.h"
#include "theme/control_skin.h"

#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <memory>

using namespace vantorel;
namespace id = ids::entry;

namespace {
const Field<PolicyRecord> kNumber([](auto& r) -> auto& { return r.info.policyNo; });
const QString kDuplicate = QStringLiteral("非常抱歉,数据库中已存在相同保单,请重新输入保险单号!");
const QString kEmptyNo = QStringLiteral("保险单号不能为空！");
} // namespace

CPolicyEntryPage::CPolicyEntryPage(CInsurance& policies, QWidget* parent)
    : CPage(tmpl::PolicyEntryTemplate(), parent), policies_(policies) {
    SetThemeRole(this, ThemeRole::entryPage); // this page's buttons are blue
    for (int year : std::initializer_list<int>{id::EffectiveYear, id::LiabilityYear, id::holder::BirthYear,
                                               id::insured::BirthYear})
        forms::AddYearPresets(Ctl<QComboBox>(year));

    info_.company = QStringLiteral("Orlemont保险");
    info_.paymentMethod = QStringLiteral("年缴");
    info_.coverageYears = QStringLiteral("1");
    info_.effective.year = QStringLiteral("2004");
    info_.liability.year = QStringLiteral("2004");
    for (PersonValues* p : {&holder_, &insured_}) {
        p->nation = QStringLiteral("汉");
        p->birth.year = QStringLiteral("1977");
        p->education = QStringLiteral("本科");
    }
    BindPolicyInfo(binding_, info_);
    BindPerson(binding_, holder_, kHolderIds, QStringLiteral("投保人"));
    BindPerson(binding_, holder_, {{PersonField::relation, id::Relation}}, QStringLiteral("投保人"));
    BindPerson(binding_, insured_, kInsuredIds, QStringLiteral("被保险人"));
    BindPerson(binding_, insured_, {{PersonField::height, id::Height}, {PersonField::weight, id::Weight}});
    ShowValues();

    OnClick(id::AddOrModify, [this] { OnAddOrModify(); });
    OnClick(id::Previous, [this] { Step(-1); });
    OnClick(id::Next, [this] { Step(+1); });
    OnClick(id::Beneficiaries, [this] { OnBeneficiaries(); });
    OnClick(id::Riders, [this] { OnRiders(); });
    OnClick(id::Report, [this] { OnReport(); });
    UpdateModeControls();
}

void CPolicyEntryPage::OnSelected() {
    SetMode(kAdd);
    beneficiaries_.clear();
}

void CPolicyEntryPage::SetMode(int mode) {
    mode_ = static_cast<std::int16_t>(mode);
    UpdateModeControls();
}

void CPolicyEntryPage::UpdateModeControls() {
    const bool add = mode_ == kAdd;
    auto* button = Ctl<QPushButton>(id::AddOrModify);
    const QString caption = add ? QStringLiteral("添加") : QStringLiteral("修改");
    if (button->text() != caption) button->setText(caption);
    for (int step : {id::Previous, id::Next}) {
        QWidget* w = Ctl(step);
        if (w->isHidden() != add) w->setVisible(!add);
    }
}

bool CPolicyEntryPage::IndexValid() const { return currentIndex_ >= 0 && currentIndex_ < policies_.GetSize(); }

PolicyRecord CPolicyEntryPage::BuildPolicy() {
    CommitQuiet();
    // Modifying starts from the policy as stored, so that what the form
    // leaves as it was keeps its bytes.
    const Into into = mode_ == kModify && IndexValid() ? Into::stored : Into::fresh;
    PolicyRecord r = into == Into::stored ? policies_.GetAt(currentIndex_) : PolicyRecord{};
    info_.Store(r.info, into);
    holder_.Store(r.holder, into);
    insured_.Store(r.insured, into);
    const std::size_t nb = std::min(beneficiaries_.size(), kMaxListEntries);
    r.beneficiaries.assign(beneficiaries_.begin(), beneficiaries_.begin() + std::ptrdiff_t(nb));
    const std::size_t nr = std::min(riders_.size(), kMaxListEntries);
    r.riders.assign(riders_.begin(), riders_.begin() + std::ptrdiff_t(nr));
    return r;
}

void CPolicyEntryPage::ShowPolicy(const PolicyRecord& record) {
    CommitQuiet();
    info_.Load(record.info);
    holder_.Load(record.holder);
    insured_.Load(record.insured);
    const std::size_t nb = std::min(record.beneficiaries.size(), kMaxListEntries);
    beneficiaries_.assign(record.beneficiaries.begin(), record.beneficiaries.begin() + std::ptrdiff_t(nb));
    const std::size_t nr = std::min(record.riders.size(), kMaxListEntries);
    riders_.assign(record.riders.begin(), record.riders.begin() + std::ptrdiff_t(nr));
    ShowValues();
}

bool CPolicyEntryPage::EditPolicy(int index) {
    if (index < 0 || index >= policies_.GetSize()) return false;
    SetMode(kModify);
    currentIndex_ = index;
    ShowPolicy(policies_.GetAt(index));
    return true;
}

void CPolicyEntryPage::OnAddOrModify() {
    if (!Commit()) return;
    if (mode_ == kAdd)
        AddPolicy();
    else if (mode_ == kModify)
        ModifyPolicy();
}

void CPolicyEntryPage::AddPolicy() {
    if (rules::PolicyExists(policies_, info_.policyNo)) {
        msg::Info(this, kDuplicate);
        return;
    }
    if (info_.policyNo.isEmpty()) {
        msg::Info(this, kEmptyNo);
        return;
    }
    const PolicyRecord record = BuildPolicy();
    policies_.Add(record);
    beneficiaries_.clear();
    // The riders stay for the next policy: the line says how many went in.
    SayStored(QStringLiteral("已添加"), record);
}

void CPolicyEntryPage::ModifyPolicy() {
    // The index may have gone stale while the query page deleted policies.
    if (!IndexValid()) return;
    PolicyRecord record = BuildPolicy();
    if (record.info.policyNo.empty()) {
        msg::Info(this, kEmptyNo);
        return;
    }
    if (record.info.policyNo != policies_.Text(currentIndex_, kNumber)) {
        if (!msg::Ask(this, QStringLiteral("您修改了保险单号,这是一个关键数据,你确认修改吗?"))) return;
        if (policies_.Exists(record.info.policyNo)) {
            msg::Info(this, kDuplicate);
            return;
        }
    } else if (!msg::Ask(this, QStringLiteral("确认修改？"))) {
        return;
    }
    policies_.SetAt(currentIndex_, record);
    SayStored(QStringLiteral("已修改"), record);
}

void CPolicyEntryPage::Step(int delta) {
    CommitQuiet();
    const int size = policies_.GetSize();
    const int next = currentIndex_ + delta;
    if (next < 0 || next >= size || currentIndex_ < 0) return;
    currentIndex_ = next;
    ShowPolicy(policies_.GetAt(currentIndex_));
}

void CPolicyEntryPage::OnBeneficiaries() {
    CBeneficiaryDlg dlg(window());
    dlg.SetList(beneficiaries_);
    dlg.exec();
    const bool changed = dlg.Changed();
    if (mode_ == kModify && changed && !msg::Ask(this, QStringLiteral("受益人被更改,是否保存?"))) return;
    beneficiaries_ = dlg.List();
    if (mode_ == kModify && changed) SaveAfterListChange();
}

void CPolicyEntryPage::OnRiders() {
    CRiderDlg dlg(window());
    dlg.SetList(riders_);
    dlg.exec();
    const bool changed = dlg.Changed();
    if (mode_ == kModify && changed && !msg::Ask(this, QStringLiteral("附加险已被更改,是否保存?"))) return;
    riders_ = dlg.List();
    if (mode_ == kModify && changed) SaveAfterListChange();
}

// Stores the whole form over the policy being changed. A refusal keeps the
// working lists, so the user can fix the number and save with "修改". As
// there, only a changed number is tested: an older file may hold one number
// twice, and a policy may keep the number it has.
void CPolicyEntryPage::SaveAfterListChange() {
    if (!Commit() || !IndexValid()) return;
    PolicyRecord record = BuildPolicy();
    if (record.info.policyNo.empty()) {
        msg::Info(this, kEmptyNo);
        return;
    }
    if (record.info.policyNo != policies_.Text(currentIndex_, kNumber) && policies_.Exists(record.info.policyNo)) {
        msg::Info(this, kDuplicate);
        return;
    }
    policies_.SetAt(currentIndex_, record);
    SayStored(QStringLiteral("已修改"), record);
}

void CPolicyEntryPage::SayStored(const QString& done, const PolicyRecord& r) {
    Say(QStringLiteral("%1保单 %2（受益人 %3 个，附加险 %4 个）")
            .arg(done, TextOf(r.info.policyNo))
            .arg(r.beneficiaries.size())
            .arg(r.riders.size()));
}

void CPolicyEntryPage::OnReport() {
    if (!Commit()) return;
    const PolicyRecord record = BuildPolicy();
    QString name = info_.policyNo.trimmed();
    name.remove(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")));
    // No suffix: the kind of file chosen in the dialog gives it.
    auto one = std::make_shared<const std::vector<PolicyRecord>>(1, record);
    SaveReportInteractive(this, QStringLiteral("保单资料"), PolicyReport(record),
                          name.isEmpty() ? QStringLiteral("保单") : name,
                          [one] { return RecordSheet(*one, QStringLiteral("保单资料")); });
}
