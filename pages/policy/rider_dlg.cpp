#include "rider_dlg.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/message_box.h"
#include "app/template_builder.h"
#include "resources/templates/rider_template.h"
#include "theme/skin_list_ctrl.h"

#include <QAbstractButton>
#include <QComboBox>

using namespace vantorel;

namespace {
// A policy record holds ten riders; an eleventh would be dropped on saving.
constexpr std::size_t kMaxRiders = 10;
const QString kChooseOne = QStringLiteral("请在列表中选择一个对象!");
} // namespace

CRiderDlg::CRiderDlg(QWidget* owner) : CXpDialog(owner) {
    tmpl::Build(tmpl::RiderTemplate(), this);
    SetCaption(QStringLiteral(" 附 加 险"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/128_32.png")));
    forms::ApplyPagePalette(this);

    listCtl_ = findChild<CSkinListCtrl*>(QStringLiteral("1136"));
    listCtl_->SetBkColor(forms::palette::listBackground);
    listCtl_->SetTextColor(forms::palette::listText);
    listCtl_->InsertColumn(0, QStringLiteral("保险单号"), 100);
    listCtl_->InsertColumn(1, QStringLiteral("险种名称"), 200);

    values_.company = QStringLiteral("Orlemont保险");
    values_.paymentMethod = QStringLiteral("年缴");
    values_.paymentYears = QStringLiteral("0");
    values_.coverageYears = QStringLiteral("1");
    values_.benefitMethod = QStringLiteral("0");
    values_.benefitAge = QStringLiteral("0");
    values_.effectiveYear = QStringLiteral("2004");
    values_.liabilityYear = QStringLiteral("2004");
    values_.Bind(binding_);
    for (int id : {1045, 1059}) forms::AddYearPresets(findChild<QComboBox*>(QString::number(id)));
    binding_.Show();

    auto click = [this](int id, void (CRiderDlg::*handler)()) {
        connect(findChild<QAbstractButton*>(QString::number(id)), &QAbstractButton::clicked, this, handler);
    };
    click(1148, &CRiderDlg::OnAdd);
    click(1149, &CRiderDlg::OnModify);
    click(1160, &CRiderDlg::OnDelete);
    connect(listCtl_, &CSkinListCtrl::rowDoubleClicked, this, &CRiderDlg::OnDoubleClick);

    if (owner) move(owner->window()->pos());
}

void CRiderDlg::SetList(std::vector<RiderRecord> list) {
    list_ = std::move(list);
    RefreshList();
}

void CRiderDlg::RefreshList() {
    binding_.CommitQuiet();
    std::vector<QStringList> rows;
    rows.reserve(list_.size());
    for (const RiderRecord& r : list_) rows.push_back({FromGbk(r.policyNo), FromGbk(r.productName)});
    listCtl_->SetRows(std::move(rows));
}

RiderRecord CRiderDlg::BuildRider() {
    binding_.CommitQuiet();
    return values_.Build();
}

void CRiderDlg::ShowRider(const RiderRecord& record) {
    binding_.CommitQuiet();
    values_.Load(record);
    binding_.Show();
}

void CRiderDlg::OnAdd() {
    if (!binding_.Commit()) return;
    if (list_.size() >= kMaxRiders) {
        msg::Info(this, QStringLiteral("不能多于十个附加险!"));
        return;
    }
    list_.push_back(BuildRider());
    RefreshList();
    changed_ = true;
}

void CRiderDlg::OnModify() {
    if (!binding_.Commit()) return;
    const int row = listCtl_->GetFirstSelected();
    if (row < 0 || row >= int(list_.size())) {
        msg::Info(this, kChooseOne);
        return;
    }
    if (!msg::Ask(this, QStringLiteral("确认修改?"))) return;
    list_[std::size_t(row)] = BuildRider();
    RefreshList();
    changed_ = true;
}

void CRiderDlg::OnDelete() {
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

void CRiderDlg::OnDoubleClick() {
    const int row = listCtl_->GetFirstSelected();
    if (row >= 0 && row < int(list_.size())) ShowRider(list_[std::size_t(row)]);
}
