#include "team_member_page.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/message_box.h"
#include "app/report_writer.h"
#include "resources/templates/team_member_template.h"

#include <QComboBox>

using vantorel::MemberRecord;
using F = PersonField;

namespace {
// clang-format off
enum : int {
    kStaffNo = 1075, kBirthYear = 1045, kDepartment = 1083, kLevel = 1080, kJoinYear = 1059, kJoinMonth = 1060,
    kJoinDay = 1061, kHobby = 1174, kList = 1173,
};
// clang-format on

const QString kDuplicate = QStringLiteral("非常抱歉,数据库中已存在相同工号成员,请重新输入！");
} // namespace

CTeamMemberPage::CTeamMemberPage(vantorel::CTermMember& members, QWidget* parent)
    : CPeopleListPage(tmpl::TeamMemberTemplate(), kList, {QStringLiteral("工号"), 150},
                      {QStringLiteral("姓名"), 100}, parent),
      members_(members) {
    // In the order the form reads; the person fields without a control stay empty.
    binding_.Text(kStaffNo, &staffNo_, QStringLiteral("工号"));
    person_.Bind(binding_, {{F::name, 1049}, {F::sex, 1185}, {F::nation, 1184}, {F::idNumber, 1040},
                            {F::marital, 1183}, {F::birthYear, kBirthYear}, {F::birthMonth, 1046},
                            {F::birthDay, 1047}});
    binding_.Text(kDepartment, &department_, QStringLiteral("部门"));
    binding_.Text(kLevel, &level_, QStringLiteral("级别"));
    binding_.Date(kJoinYear, kJoinMonth, kJoinDay, &join_, QStringLiteral("入司时间"));
    person_.Bind(binding_, {{F::mobile, 1182}, {F::email, 1181}, {F::homePhone, 1179}, {F::homeAddress, 1178},
                            {F::homePostcode, 1177}, {F::height, 1175}, {F::weight, 1176}});
    binding_.Text(kHobby, &hobby_, QStringLiteral("爱好"));
    person_.Bind(binding_, {{F::remarks, 1042}});

    forms::AddYearPresets(Ctl<QComboBox>(kBirthYear));
    forms::AddYearPresets(Ctl<QComboBox>(kJoinYear));
    ShowValues(); // the defaults: empty years, no sex, "已婚", months and days "01"
    RebuildList();
}

MemberRecord CTeamMemberPage::RecordFromForm() const {
    MemberRecord r;
    person_.ToRecord(r.person);
    r.staffNo = ToGbk(staffNo_);
    r.department = ToGbk(department_);
    r.level = ToGbk(level_);
    r.joinDate = ToGbk(forms::ComposeDate(join_));
    r.hobby = ToGbk(hobby_);
    return r;
}

void CTeamMemberPage::ShowRecord(int index) {
    const MemberRecord& r = members_.At(index);
    person_.FromRecord(r.person);
    staffNo_ = FromGbk(r.staffNo);
    department_ = FromGbk(r.department);
    level_ = FromGbk(r.level);
    join_ = forms::SplitDate(FromGbk(r.joinDate));
    hobby_ = FromGbk(r.hobby);
    ShowValues();
}

int CTeamMemberPage::RecordCount() const { return members_.GetSize(); }

QStringList CTeamMemberPage::RowOf(int index, GbkRowDecoder& decode) const {
    const MemberRecord& r = members_.At(index);
    return {decode(r.staffNo), decode(r.person.name)};
}

int CTeamMemberPage::FindRow(const QStringList& texts) const {
    return members_.Find(ToGbk(texts[0]));
}

void CTeamMemberPage::RemoveRecord(int index) { members_.RemoveAt(index); }

void CTeamMemberPage::OnAdd() {
    if (!Commit()) return;
    const MemberRecord r = RecordFromForm();
    if (members_.Exists(r.staffNo)) {
        msg::Info(this, kDuplicate);
        return;
    }
    if (person_.name.isEmpty() || staffNo_.isEmpty()) {
        msg::Info(this, QStringLiteral("成员姓名和工号不能为空！"));
        return;
    }
    members_.Add(r);
    RebuildList();
}

void CTeamMemberPage::OnModify() {
    if (!CommitForModify()) return;
    const MemberRecord r = RecordFromForm();
    const MemberRecord& stored = members_.At(selected_);
    if (r.person.name != stored.person.name || r.staffNo != stored.staffNo) {
        if (!msg::Ask(this, QStringLiteral("您修改了成员姓名或工号，这是关键数据,你确认修改吗?"))) return;
        const auto& records = members_.Records();
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (int(i) != selected_ && records[i].staffNo == r.staffNo) {
                msg::Info(this, kDuplicate);
                return;
            }
        }
    } else if (!msg::Ask(this, QStringLiteral("确认修改？"))) {
        return;
    }
    members_.SetAt(selected_, r);
    RebuildList();
}

void CTeamMemberPage::OnReport() {
    ReportTable table;
    table.caption = QStringLiteral("团队成员");
    table.headers = {QStringLiteral("工号"),     QStringLiteral("姓名"), QStringLiteral("性别"),
                     QStringLiteral("部门"),     QStringLiteral("级别"), QStringLiteral("入司时间"),
                     QStringLiteral("出生日期"), QStringLiteral("手机"), QStringLiteral("家庭电话"),
                     QStringLiteral("EMAIL")};
    const QStringList sexes = {QStringLiteral("男"), QStringLiteral("女")};
    const auto& records = members_.Records();
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
