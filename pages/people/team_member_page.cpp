#include "team_member_page.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/message_box.h"
#include "app/record_sheet.h"
#include "app/report_writer.h"
#include "resources/templates/team_member_ids.h"
#include "resources/templates/team_member_template.h"

#include <QComboBox>

using vantorel::MemberRecord;
using F = PersonField;
namespace id = ids::member;

namespace {
const vantorel::Field<MemberRecord> kStaffNo([](auto& r) -> auto& { return r.staffNo; });
const vantorel::Field<MemberRecord> kName([](auto& r) -> auto& { return r.person.name; });
const QString kDuplicate = QStringLiteral("非常抱歉,数据库中已存在相同工号成员,请重新输入！");
} // namespace

CTeamMemberPage::CTeamMemberPage(vantorel::CTermMember& members, QWidget* parent)
    : CPeopleListPage(tmpl::TeamMemberTemplate(), id::List, {QStringLiteral("工号"), 150},
                      {QStringLiteral("姓名"), 100}, members, parent),
      members_(members) {
    // In the order the form reads; the person fields without a control stay empty.
    binding_.Text(id::StaffNo, &staffNo_, QStringLiteral("工号"));
    person_.Bind(binding_, {{F::name, id::Name},
                            {F::sex, id::Sex},
                            {F::nation, id::Nation},
                            {F::idNumber, id::IdNumber},
                            {F::marital, id::Marital},
                            {F::birthYear, id::BirthYear},
                            {F::birthMonth, id::BirthMonth},
                            {F::birthDay, id::BirthDay}});
    binding_.Text(id::Department, &department_, QStringLiteral("部门"));
    binding_.Text(id::Level, &level_, QStringLiteral("级别"));
    binding_.Date(id::JoinYear, id::JoinMonth, id::JoinDay, &join_, QStringLiteral("入司时间"));
    person_.Bind(binding_, {{F::mobile, id::Mobile},
                            {F::email, id::Email},
                            {F::homePhone, id::HomePhone},
                            {F::homeAddress, id::HomeAddress},
                            {F::homePostcode, id::HomePostcode},
                            {F::height, id::Height},
                            {F::weight, id::Weight}});
    binding_.Text(id::Hobby, &hobby_, QStringLiteral("爱好"));
    person_.Bind(binding_, {{F::remarks, id::Remarks}});

    forms::AddYearPresets(Ctl<QComboBox>(id::BirthYear));
    forms::AddYearPresets(Ctl<QComboBox>(id::JoinYear));
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
    const MemberRecord r = members_.GetAt(index);
    person_.FromRecord(r.person);
    staffNo_ = FromGbk(r.staffNo);
    department_ = FromGbk(r.department);
    level_ = FromGbk(r.level);
    join_ = forms::SplitDate(FromGbk(r.joinDate));
    hobby_ = FromGbk(r.hobby);
    ShowValues();
}

QString CTeamMemberPage::CellOf(int index, int column) const {
    return FromGbk(members_.Text(index, column == 0 ? kStaffNo : kName));
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
    const MemberRecord stored = members_.GetAt(selected_);
    if (r.person.name != stored.person.name || r.staffNo != stored.staffNo) {
        if (!msg::Ask(this, QStringLiteral("您修改了成员姓名或工号，这是关键数据,你确认修改吗?"))) return;
        const auto heldByOther = [&](int i, const vantorel::CTermMember::View& m) {
            return i != selected_ && m.Text(kStaffNo) == r.staffNo;
        };
        if (members_.ForEach(heldByOther) >= 0) {
            msg::Info(this, kDuplicate);
            return;
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
    // A report holds every field of every record: decoded once, for it alone.
    const std::vector<MemberRecord> records = members_.CopyAll();
    table.rows.reserve(records.size());
    for (const MemberRecord& r : records) {
        const auto& p = r.person;
        table.rows.push_back({FromGbk(r.staffNo), FromGbk(p.name), sexes.value(p.sex), FromGbk(r.department),
                              FromGbk(r.level), FromGbk(r.joinDate), FromGbk(p.birthDate), FromGbk(p.mobile),
                              FromGbk(p.homePhone), FromGbk(p.email)});
    }
    ReportSection section;
    section.fields = {{QStringLiteral("成员人数"), QString::number(records.size())}};
    section.tables.push_back(std::move(table));
    SaveReportInteractive(this, QStringLiteral("团队成员资料"), {section}, QStringLiteral("团队成员资料"),
                          [&records] { return RecordSheet(records, QStringLiteral("团队成员资料")); });
}
