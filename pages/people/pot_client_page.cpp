#include "pot_client_page.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/message_box.h"
#include "app/report_writer.h"
#include "list_rows.h"
#include "records/data_files.h"
#include "resources/templates/pot_client_template.h"
#include "theme/skin_list_ctrl.h"

#include <QComboBox>

using vantorel::PotClientRecord;
using vantorel::TheBook;

namespace {
// clang-format off
enum : int {
    kName = 1055, kSex = 1057, kNation = 1058, kIdNumber = 1062, kMarital = 1063, kBirthYear = 1064,
    kBirthMonth = 1065, kBirthDay = 1066, kMobile = 1071, kEmail = 1072, kFax = 1076, kHomePhone = 1067,
    kWorkPhone = 1068, kHomeAddress = 1069, kHomePostcode = 1073, kWorkAddress = 1070, kWorkPostcode = 1074,
    kOccupation = 1078, kIncome = 1123, kHeight = 1102, kWeight = 1103, kHobby = 1087, kEducation = 1187,
    kRemarks = 1056, kList = 1140, kAdd = 1148, kModify = 1149, kDelete = 1160, kReport = 1020,
};
// clang-format on

const QString kDuplicateOnAdd =
    QStringLiteral("非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号！");
const QString kDuplicateOnModify =
    QStringLiteral("非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号!");

QStringList RowOf(const PotClientRecord& r) {
    return {FromGbk(r.person.name), FromGbk(r.person.idNumber)};
}
} // namespace

CPotClientPage::CPotClientPage(QWidget* parent) : CPage(tmpl::PotClientTemplate(), parent) {
    binding_.Text(kName, &name_, QStringLiteral("姓名"));
    binding_.Index(kSex, &sex_);
    binding_.Text(kNation, &nation_, QStringLiteral("民族"));
    binding_.Text(kIdNumber, &idNumber_, QStringLiteral("身份证号"));
    binding_.Index(kMarital, &marital_);
    binding_.Text(kBirthYear, &birthYear_, QStringLiteral("出生日期"));
    binding_.Index(kBirthMonth, &birthMonth_);
    binding_.Index(kBirthDay, &birthDay_);
    binding_.Text(kMobile, &mobile_, QStringLiteral("手机"));
    binding_.Text(kEmail, &email_, QStringLiteral("EMAIL"));
    binding_.Text(kFax, &fax_, QStringLiteral("传真"));
    binding_.Text(kHomePhone, &homePhone_, QStringLiteral("家庭电话"));
    binding_.Text(kWorkPhone, &workPhone_, QStringLiteral("单位电话"));
    binding_.Text(kHomeAddress, &homeAddress_, QStringLiteral("家庭地址"));
    binding_.Text(kHomePostcode, &homePostcode_, QStringLiteral("邮编"));
    binding_.Text(kWorkAddress, &workAddress_, QStringLiteral("单位地址"));
    binding_.Text(kWorkPostcode, &workPostcode_, QStringLiteral("邮编"));
    binding_.Text(kOccupation, &occupation_, QStringLiteral("职业"));
    binding_.Text(kIncome, &income_, QStringLiteral("年收入"));
    binding_.Text(kHeight, &height_, QStringLiteral("身高"));
    binding_.Text(kWeight, &weight_, QStringLiteral("体重"));
    binding_.Text(kHobby, &hobby_, QStringLiteral("爱好"));
    binding_.Text(kEducation, &education_, QStringLiteral("文化程度"));
    binding_.Text(kRemarks, &remarks_, QStringLiteral("备注"));

    list_ = Ctl<CSkinListCtrl>(kList);
    list_->InsertColumn(0, QStringLiteral("姓名"), 100);
    list_->InsertColumn(1, QStringLiteral("身份证号"), 200);
    list_->SetBkColor(forms::palette::listBackground);
    list_->SetTextColor(forms::palette::listText);
    ShowValues(); // the defaults: no sex, "已婚", month and day "01"
    RebuildList();
    forms::AddYearPresets(Ctl<QComboBox>(kBirthYear));
    ShowValues(); // adding presets must not pick a year

    OnClick(kAdd, [this] { OnAdd(); });
    OnClick(kModify, [this] { OnModify(); });
    OnClick(kDelete, [this] { OnDelete(); });
    OnClick(kReport, [this] { OnReport(); });
    // Only a mouse click loads a record; moving with the keyboard does not.
    connect(list_, &CSkinListCtrl::rowClicked, this, &CPotClientPage::OnListClicked);
}

PotClientRecord CPotClientPage::RecordFromForm() const {
    PotClientRecord r;
    auto& p = r.person;
    p.name = ToGbk(name_);
    p.sex = static_cast<std::int16_t>(sex_);
    p.nation = ToGbk(nation_);
    p.idNumber = ToGbk(idNumber_);
    p.maritalStatus = static_cast<std::int16_t>(marital_);
    p.birthDate = ToGbk(forms::ComposeDate(birthYear_, birthMonth_, birthDay_));
    p.mobile = ToGbk(mobile_);
    p.email = ToGbk(email_);
    p.occupation = ToGbk(occupation_);
    p.annualIncome = ToGbk(income_);
    p.homePhone = ToGbk(homePhone_);
    p.homeAddress = ToGbk(homeAddress_);
    p.homePostcode = ToGbk(homePostcode_);
    p.workPhone = ToGbk(workPhone_);
    p.workAddress = ToGbk(workAddress_);
    p.workPostcode = ToGbk(workPostcode_);
    p.height = forms::TextToDouble(height_);
    p.weight = forms::TextToDouble(weight_);
    p.remarks = ToGbk(remarks_);
    p.education = ToGbk(education_);
    r.fax = ToGbk(fax_);
    r.hobby = ToGbk(hobby_);
    return r;
}

void CPotClientPage::ShowRecord(const PotClientRecord& r) {
    const auto& p = r.person;
    name_ = FromGbk(p.name);
    sex_ = p.sex;
    nation_ = FromGbk(p.nation);
    idNumber_ = FromGbk(p.idNumber);
    marital_ = p.maritalStatus;
    const forms::DateParts birth = forms::SplitDate(FromGbk(p.birthDate));
    birthYear_ = birth.year;
    birthMonth_ = birth.monthIndex;
    birthDay_ = birth.dayIndex;
    mobile_ = FromGbk(p.mobile);
    email_ = FromGbk(p.email);
    occupation_ = FromGbk(p.occupation);
    income_ = FromGbk(p.annualIncome);
    homePhone_ = FromGbk(p.homePhone);
    homeAddress_ = FromGbk(p.homeAddress);
    homePostcode_ = FromGbk(p.homePostcode);
    workPhone_ = FromGbk(p.workPhone);
    workAddress_ = FromGbk(p.workAddress);
    workPostcode_ = FromGbk(p.workPostcode);
    height_ = forms::FormatRounded(p.height);
    weight_ = forms::FormatRounded(p.weight);
    remarks_ = FromGbk(p.remarks);
    education_ = FromGbk(p.education);
    fax_ = FromGbk(r.fax);
    hobby_ = FromGbk(r.hobby);
    ShowValues();
}

void CPotClientPage::RebuildList() {
    CommitQuiet(); // the form keeps what is typed
    const auto& records = TheBook().clients.Records();
    std::vector<QStringList> rows;
    rows.reserve(records.size());
    GbkRowDecoder decode;
    for (const PotClientRecord& r : records)
        rows.push_back({decode(r.person.name), decode(r.person.idNumber)});
    list_->SetRows(std::move(rows));
    selected_ = -1;
}

int CPotClientPage::IndexOfRow(int row) const {
    if (row < 0 || row >= list_->GetItemCount()) return -1;
    const auto& clients = TheBook().clients;
    // Rows stand in collection order, so the row's own record is the one
    // meant, even when a damaged or edited file holds its key twice.
    if (row < clients.GetSize() &&
        RowOf(clients.At(row)) == QStringList{list_->GetItemText(row, 0), list_->GetItemText(row, 1)})
        return row;
    return clients.Find(ToGbk(list_->GetItemText(row, 0)), ToGbk(list_->GetItemText(row, 1)));
}

bool CPotClientPage::KeyHeldByOther(const std::string& name, const std::string& idNumber, int except) {
    const auto& records = TheBook().clients.Records();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (int(i) != except && records[i].person.name == name && records[i].person.idNumber == idNumber)
            return true;
    return false;
}

void CPotClientPage::OnAdd() {
    if (!Commit()) return;
    auto& clients = TheBook().clients;
    const PotClientRecord r = RecordFromForm();
    if (clients.Exists(r.person.name, r.person.idNumber)) {
        msg::Info(this, kDuplicateOnAdd);
        return;
    }
    if (name_.isEmpty()) {
        msg::Info(this, QStringLiteral("客户姓名不能为空！"));
        return;
    }
    clients.Add(r);
    RebuildList();
}

void CPotClientPage::OnModify() {
    if (!Commit()) return;
    if (selected_ < 0) {
        msg::Info(this, QStringLiteral("请先选择对象!"));
        return;
    }
    auto& clients = TheBook().clients;
    const PotClientRecord r = RecordFromForm();
    const PotClientRecord& stored = clients.At(selected_);
    const bool nameChanged = r.person.name != stored.person.name;
    const bool idChanged = r.person.idNumber != stored.person.idNumber;
    if (nameChanged && idChanged) {
        if (!msg::Ask(this, QStringLiteral("您修改了客户姓名和身份证号，这是关键数据,你确认修改吗?"))) return;
    } else if (!msg::Ask(this, QStringLiteral("确认修改？"))) {
        return;
    }
    // A changed key must stay unique, whichever part of it changed.
    if ((nameChanged || idChanged) && KeyHeldByOther(r.person.name, r.person.idNumber, selected_)) {
        msg::Info(this, kDuplicateOnModify);
        return;
    }
    clients.SetAt(selected_, r);
    RebuildList();
}

void CPotClientPage::OnDelete() {
    CommitQuiet(); // nothing typed is stored here, so nothing to refuse
    const int row = list_->GetFirstSelected();
    const int index = IndexOfRow(row);
    if (index < 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除?"))) return;
    TheBook().clients.RemoveAt(index);
    // The row of the removed record, so that rows keep matching records.
    list_->DeleteItem(index);
    selected_ = -1;
}

void CPotClientPage::OnListClicked() {
    const int index = IndexOfRow(list_->GetFirstSelected());
    selected_ = index;
    if (index >= 0) ShowRecord(TheBook().clients.At(index));
}

void CPotClientPage::OnReport() {
    ReportTable table;
    table.caption = QStringLiteral("潜力客户");
    table.headers = {QStringLiteral("姓名"),     QStringLiteral("性别"),    QStringLiteral("身份证号"),
                     QStringLiteral("出生日期"), QStringLiteral("手机"),    QStringLiteral("家庭电话"),
                     QStringLiteral("单位电话"), QStringLiteral("EMAIL"),   QStringLiteral("职业"),
                     QStringLiteral("年收入"),   QStringLiteral("家庭地址")};
    const QStringList sexes = {QStringLiteral("男"), QStringLiteral("女")};
    const auto& records = TheBook().clients.Records();
    table.rows.reserve(records.size());
    GbkRowDecoder decode;
    for (const PotClientRecord& r : records) {
        const auto& p = r.person;
        table.rows.push_back({decode(p.name), sexes.value(p.sex), decode(p.idNumber), decode(p.birthDate),
                              decode(p.mobile), decode(p.homePhone), decode(p.workPhone), decode(p.email),
                              decode(p.occupation), decode(p.annualIncome), decode(p.homeAddress)});
    }
    ReportSection section;
    section.fields = {{QStringLiteral("客户人数"), QString::number(records.size())}};
    section.tables.push_back(std::move(table));
    SaveReportInteractive(this, QStringLiteral("潜力客户资料"), {section},
                          QStringLiteral("潜力客户资料.odt"));
}
