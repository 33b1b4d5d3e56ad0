#include "beneficiary_dlg.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/message_box.h"
#include "app/template_builder.h"
#include "resources/templates/beneficiary_template.h"
#include "theme/skin_list_ctrl.h"

#include <QAbstractButton>
#include <QComboBox>

using namespace vantorel;

namespace {
constexpr std::size_t kMaxBeneficiaries = 10;
const QString kChooseOne = QStringLiteral("请在列表中选择一个对象!");
} // namespace

CBeneficiaryDlg::CBeneficiaryDlg(QWidget* owner) : CXpDialog(owner) {
    tmpl::Build(tmpl::BeneficiaryTemplate(), this);
    SetCaption(QStringLiteral(" 受 益 人"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/128_32.png")));
    forms::ApplyPagePalette(this);

    listCtl_ = findChild<CSkinListCtrl*>(QStringLiteral("1136"));
    listCtl_->SetBkColor(forms::palette::listBackground);
    listCtl_->SetTextColor(forms::palette::listText);
    listCtl_->InsertColumn(0, QStringLiteral("姓名"), 100);
    listCtl_->InsertColumn(1, QStringLiteral("身份证号"), 200);
    listCtl_->InsertColumn(2, QStringLiteral("关系"), 50);

    binding_.Text(1049, &name_, QStringLiteral("姓名"));
    binding_.Index(1185, &sex_);
    binding_.Text(1040, &idNumber_, QStringLiteral("身份证号"));
    binding_.Text(1045, &year_, QStringLiteral("出生日期"));
    binding_.Index(1046, &month_);
    binding_.Index(1047, &day_);
    binding_.Text(1104, &relation_, QStringLiteral("与被保险人关系"));
    binding_.Text(1058, &share_, QStringLiteral("受益份额"));
    forms::AddYearPresets(findChild<QComboBox*>(QStringLiteral("1045")));
    binding_.Show();

    auto click = [this](int id, void (CBeneficiaryDlg::*handler)()) {
        connect(findChild<QAbstractButton*>(QString::number(id)), &QAbstractButton::clicked, this, handler);
    };
    click(1148, &CBeneficiaryDlg::OnAdd);
    click(1149, &CBeneficiaryDlg::OnModify);
    click(1160, &CBeneficiaryDlg::OnDelete);
    connect(listCtl_, &CSkinListCtrl::rowDoubleClicked, this, &CBeneficiaryDlg::OnDoubleClick);

    if (owner) move(owner->window()->pos());
}

void CBeneficiaryDlg::SetList(std::vector<BeneficiaryRecord> list) {
    list_ = std::move(list);
    RefreshList();
}

void CBeneficiaryDlg::RefreshList() {
    binding_.CommitQuiet();
    std::vector<QStringList> rows;
    rows.reserve(list_.size());
    for (const BeneficiaryRecord& b : list_)
        rows.push_back({FromGbk(b.name), FromGbk(b.idNumber), FromGbk(b.relationToInsured)});
    listCtl_->SetRows(std::move(rows));
}

BeneficiaryRecord CBeneficiaryDlg::BuildBeneficiary() {
    binding_.CommitQuiet();
    BeneficiaryRecord r;
    r.name = ToGbk(name_);
    r.idNumber = ToGbk(idNumber_);
    r.sex = static_cast<std::int16_t>(sex_);
    r.share = forms::TextToDouble(share_);
    r.birthDate = ToGbk(forms::ComposeDate(year_, month_, day_));
    r.relationToInsured = ToGbk(relation_);
    return r;
}

void CBeneficiaryDlg::ShowBeneficiary(const BeneficiaryRecord& r) {
    binding_.CommitQuiet();
    name_ = FromGbk(r.name);
    idNumber_ = FromGbk(r.idNumber);
    sex_ = r.sex;
    share_ = forms::FormatRounded(r.share);
    const forms::DateParts d = forms::SplitDate(FromGbk(r.birthDate));
    year_ = d.year;
    month_ = d.monthIndex;
    day_ = d.dayIndex;
    relation_ = FromGbk(r.relationToInsured);
    binding_.Show();
}

bool CBeneficiaryDlg::CheckShareAndName() {
    if (forms::TextToDouble(share_) > 100) {
        msg::Info(this, QStringLiteral("受益份额错误!"));
        return false;
    }
    if (name_.isEmpty() && idNumber_.isEmpty()) {
        msg::Info(this, QStringLiteral("受益人姓名和身份证号不能为空!"));
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

void CBeneficiaryDlg::OnAdd() {
    if (!binding_.Commit() || !CheckShareAndName()) return;
    if (list_.size() >= kMaxBeneficiaries) {
        msg::Info(this, QStringLiteral("不能多于十个受益人!"));
        return;
    }
    if (IsDuplicate(-1)) {
        msg::Info(this, QStringLiteral("已存在该受益人!"));
        return;
    }
    list_.push_back(BuildBeneficiary());
    RefreshList();
    changed_ = true;
}

void CBeneficiaryDlg::OnModify() {
    if (!binding_.Commit()) return;
    const int row = listCtl_->GetFirstSelected();
    if (row < 0 || row >= int(list_.size())) {
        msg::Info(this, kChooseOne);
        return;
    }
    if (!CheckShareAndName()) return;
    if (IsDuplicate(row)) {
        msg::Info(this, QStringLiteral("已存在该受益人!"));
        return;
    }
    if (!msg::Ask(this, QStringLiteral("确认修改?"))) return;
    list_[std::size_t(row)] = BuildBeneficiary();
    RefreshList();
    changed_ = true;
}

void CBeneficiaryDlg::OnDelete() {
    binding_.CommitQuiet();
    const int row = listCtl_->GetFirstSelected();
    if (row < 0 || row >= int(list_.size())) {
        msg::Info(this, kChooseOne);
        return;
    }
    if (!msg::Ask(this, QStringLiteral("确认删除?"))) return;
    list_.erase(list_.begin() + row);
    listCtl_->DeleteItem(row);
    changed_ = true;
}

void CBeneficiaryDlg::OnDoubleClick() {
    const int row = listCtl_->GetFirstSelected();
    if (row >= 0 && row < int(list_.size())) ShowBeneficiary(list_[std::size_t(row)]);
}
