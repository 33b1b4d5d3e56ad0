#include "team_member_page.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/message_box.h"
#include "app/report_writer.h"
#include "list_rows.h"
#include "records/data_files.h"
#include "resources/templates/team_member_template.h"
#include "theme/skin_list_ctrl.h"

#include <QComboBox>

using vantorel::MemberRecord;
using vantorel::TheBook;

namespace {
// clang-format off
enum : int {
    kStaffNo = 1075, kName = 1049, kSex = 1185, kNation = 1184, kIdNumber = 1040, kMarital = 1183,
    kBirthYear = 1045, kBirthMonth = 1046, kBirthDay = 1047, kDepartment = 1083, kLevel = 1080,
    kJoinYear = 1059, kJoinMonth = 1060, kJoinDay = 1061, kMobile = 1182, kEmail = 1181, kHomePhone = 1179,
    kHomeAddress = 1178, kHomePostcode = 1177, kHeight = 1175, kWeight = 1176, kHobby = 1174, kRemarks = 1042,
    kList = 1173, kAdd = 1148, kModify = 1149, kDelete = 1160, kReport = 1020,
};
// clang-format on

const QString kDuplicate = QStringLiteral("非常抱歉,数据库中已存在相同工号成员,请重新输入！");
} // namespace

CTeamMemberPage::CTeamMemberPage(QWidget* parent) : CPage(tmpl::TeamMemberTemplate(), parent) {
    binding_.Text(kStaffNo, &staffNo_, QStringLiteral("工号"));
    binding_.Text(kName, &name_, QStringLiteral("姓名"));
    binding_.Index(kSex, &sex_);
    binding_.Text(kNation, &nation_, QStringLiteral("民族"));
    binding_.Text(kIdNumber, &idNumber_, QStringLiteral("身份证号"));
    binding_.Index(kMarital, &marital_);
    binding_.Text(kBirthYear, &birthYear_, QStringLiteral("出生日期"));
    binding_.Index(kBirthMonth, &birthMonth_);
    binding_.Index(kBirthDay, &birthDay_);
    binding_.Text(kDepartment, &department_, QStringLiteral("部门"));
    binding_.Text(kLevel, &level_, QStringLiteral("级别"));
    binding_.Text(kJoinYear, &joinYear_, QStringLiteral("入司时间"));
    binding_.Index(kJoinMonth, &joinMonth_);
    binding_.Index(kJoinDay, &joinDay_);
    binding_.Text(kMobile, &mobile_, QStringLiteral("手机"));
    binding_.Text(kEmail, &email_, QStringLiteral("EMAIL"));
    binding_.Text(kHomePhone, &homePhone_, QStringLiteral("家庭电话"));
    binding_.Text(kHomeAddress, &homeAddress_, QStringLiteral("家庭地址"));
    binding_.Text(kHomePostcode, &homePostcode_, QStringLiteral("邮编"));
    binding_.Text(kHeight, &height_, QStringLiteral("身高"));
    binding_.Text(kWeight, &weight_, QStringLiteral("体重"));
    binding_.Text(kHobby, &hobby_, QStringLiteral("爱好"));
    binding_.Text(kRemarks, &remarks_, QStringLiteral("备注"));

    list_ = Ctl<CSkinListCtrl>(kList);
    list_->InsertColumn(0, QStringLiteral("工号"), 150);
    list_->InsertColumn(1, QStringLiteral("姓名"), 100);
    list_->SetBkColor(forms::palette::listBackground);
    list_->SetTextColor(forms::palette::listText);
    forms::AddYearPresets(Ctl<QComboBox>(kBirthYear));
    forms::AddYearPresets(Ctl<QComboBox>(kJoinYear));
    ShowValues(); // the defaults: empty years, no sex, "已婚", months and days "01"
    RebuildList();

    OnClick(kAdd, [this] { OnAdd(); });
    OnClick(kModify, [this] { OnModify(); });
    OnClick(kDelete, [this] { OnDelete(); });
    OnClick(kReport, [this] { OnReport(); });
    // Only a mouse click loads a record; moving with the keyboard does not.
    connect(list_, &CSkinListCtrl::rowClicked, this, &CTeamMemberPage::OnListClicked);
}

MemberRecord CTeamMemberPage::RecordFromForm() const {
    MemberRecord r; // the person fields this page has no control for stay empty
    auto& p = r.person;
    r.staffNo = ToGbk(staffNo_);
    p.name = ToGbk(name_);
    p.sex = static_cast<std::int16_t>(sex_);
    p.nation = ToGbk(nation_);
    p.idNumber = ToGbk(idNumber_);
    p.maritalStatus = static_cast<std::int16_t>(marital_);
    p.birthDate = ToGbk(forms::ComposeDate(birthYear_, birthMonth_, birthDay_));
    r.department = ToGbk(department_);
    r.level = ToGbk(level_);
    r.joinDate = ToGbk(forms::ComposeDate(joinYear_, joinMonth_, joinDay_));
    p.mobile = ToGbk(mobile_);
    p.email = ToGbk(email_);
    p.homePhone = ToGbk(homePhone_);
    p.homeAddress = ToGbk(homeAddress_);
    p.homePostcode = ToGbk(homePostcode_);
    p.height = forms::TextToDouble(height_);
    p.weight = forms::TextToDouble(weight_);
    r.hobby = ToGbk(hobby_);
    p.remarks = ToGbk(remarks_);
    return r;
}

void CTeamMemberPage::ShowRecord(const MemberRecord& r) {
    const auto& p = r.person;
    staffNo_ = FromGbk(r.staffNo);
    name_ = FromGbk(p.name);
    sex_ = p.sex;
    nation_ = FromGbk(p.nation);
    idNumber_ = FromGbk(p.idNumber);
    marital_ = p.maritalStatus;
    const forms::DateParts birth = forms::SplitDate(FromGbk(p.birthDate));
    birthYear_ = birth.year;
    birthMonth_ = birth.monthIndex;
    birthDay_ = birth.dayIndex;
    department_ = FromGbk(r.department);
    level_ = FromGbk(r.level);
    const forms::DateParts join = forms::SplitDate(FromGbk(r.joinDate));
    joinYear_ = join.year;
    joinMonth_ = join.monthIndex;
    joinDay_ = join.dayIndex;
    mobile_ = FromGbk(p.mobile);
    email_ = FromGbk(p.email);
    homePhone_ = FromGbk(p.homePhone);
    homeAddress_ = FromGbk(p.homeAddress);
    homePostcode_ = FromGbk(p.homePostcode);
    height_ = forms::FormatRounded(p.height);
    weight_ = forms::FormatRounded(p.weight);
    hobby_ = FromGbk(r.hobby);
    remarks_ = FromGbk(p.remarks);
    ShowValues();
}

void CTeamMemberPage::RebuildList() {
    CommitQuiet(); // the form keeps what is typed
    const auto& records = TheBook().members.Records();
    std::vector<QStringList> rows;
    rows.reserve(records.size());
    GbkRowDecoder decode;
    for (const MemberRecord& r : records)
        rows.push_back({decode(r.staffNo), decode(r.person.name)});
    list_->SetRows(std::move(rows));
    selected_ = -1;
}

int CTeamMemberPage::IndexOfRow(int row) const {
    if (row < 0 || row >= list_->GetItemCount()) return -1;
    const auto& members = TheBook().members;
    // Rows stand in collection order, so the row's own record is the one
    // meant, even when a file holds its staff number twice.
    if (row < members.GetSize() && FromGbk(members.At(row).staffNo) == list_->GetItemText(row, 0)) return row;
    return members.Find(ToGbk(list_->GetItemText(row, 0)));
}

void CTeamMemberPage::OnAdd() {
    if (!Commit()) return;
    auto& members = TheBook().members;
    const MemberRecord r = RecordFromForm();
    if (members.Exists(r.staffNo)) {
        msg::Info(this, kDuplicate);
        return;
    }
    if (name_.isEmpty() || staffNo_.isEmpty()) {
        msg::Info(this, QStringLiteral("成员姓名和工号不能为空！"));
        return;
    }
    members.Add(r);
    RebuildList();
}

void CTeamMemberPage::OnModify() {
    if (!Commit()) return;
    if (selected_ < 0) {
        msg::Info(this, QStringLiteral("请先选择对象!"));
        return;
    }
    auto& members = TheBook().members;
    const MemberRecord r = RecordFromForm();
    const MemberRecord& stored = members.At(selected_);
    if (r.person.name != stored.person.name || r.staffNo != stored.staffNo) {
        if (!msg::Ask(this, QStringLiteral("您修改了成员姓名或工号，这是关键数据,你确认修改吗?"))) return;
        const auto& records = members.Records();
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (int(i) != selected_ && records[i].staffNo == r.staffNo) {
                msg::Info(this, kDuplicate);
                return;
            }
        }
    } else if (!msg::Ask(this, QStringLiteral("确认修改？"))) {
        return;
    }
    members.SetAt(selected_, r);
    RebuildList();
}

void CTeamMemberPage::OnDelete() {
    CommitQuiet(); // nothing typed is stored here, so nothing to refuse
    const int index = IndexOfRow(list_->GetFirstSelected());
    if (index < 0) return;
    if (!msg::Ask(this, QStringLiteral("确认删除?"))) return;
    TheBook().members.RemoveAt(index);
    // The row of the removed record, so that rows keep matching records.
    list_->DeleteItem(index);
    selected_ = -1;
}

void CTeamMemberPage::OnListClicked() {
    const int index = IndexOfRow(list_->GetFirstSelected());
    selected_ = index;
    if (index >= 0) ShowRecord(TheBook().members.At(index));
}

void CTeamMemberPage::OnReport() {
    ReportTable table;
    table.caption = QStringLiteral("团队成员");
    table.headers = {QStringLiteral("工号"),     QStringLiteral("姓名"), QStringLiteral("性别"),
                     QStringLiteral("部门"),     QStringLiteral("级别"), QStringLiteral("入司时间"),
                     QStringLiteral("出生日期"), QStringLiteral("手机"), QStringLiteral("家庭电话"),
                     QStringLiteral("EMAIL")};
    const QStringList sexes = {QStringLiteral("男"), QStringLiteral("女")};
    const auto& records = TheBook().members.Records();
    table.rows.reserve(records.size());
    GbkRowDecoder decode;
    for (const MemberRecord& r : records) {
        const auto& p = r.person;
        table.rows.push_back({decode(r.staffNo), decode(p.name), sexes.value(p.sex), decode(r.department),
                              decode(r.level), decode(r.joinDate), decode(p.birthDate), decode(p.mobile),
                              decode(p.homePhone), decode(p.email)});
    }
    ReportSection section;
    section.fields = {{QStringLiteral("成员人数"), QString::number(records.size())}};
    section.tables.push_back(std::move(table));
    SaveReportInteractive(this, QStringLiteral("团队成员资料"), {section},
                          QStringLiteral("团队成员资料.odt"));
}
