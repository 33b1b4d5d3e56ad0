#include "team_member_page.h"

#include "agent/book_text.h"
#include "agent/form_rules.h"
#include "app/forms.h"
#include "app/message_box.h"
#include "app/report_save.h"
#include "exchange/record_sheet.h"
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
    binding_.Text(id::StaffNo, &values_.staffNo, QStringLiteral("工号"));
    BindPerson(binding_, values_.person,
               {{F::name, id::Name},
                {F::sex, id::Sex},
                {F::nation, id::Nation},
                {F::idNumber, id::IdNumber},
                {F::marital, id::Marital},
                {F::birthYear, id::BirthYear},
                {F::birthMonth, id::BirthMonth},
                {F::birthDay, id::BirthDay}});
    binding_.Text(id::Department, &values_.department, QStringLiteral("部门"));
    binding_.Text(id::Level, &values_.level, QStringLiteral("级别"));
    binding_.Date(id::JoinYear, id::JoinMonth, id::JoinDay, &values_.join, QStringLiteral("入司时间"));
    BindPerson(binding_, values_.person,
               {{F::mobile, id::Mobile},
                {F::email, id::Email},
                {F::homePhone, id::HomePhone},
                {F::homeAddress, id::HomeAddress},
                {F::homePostcode, id::HomePostcode},
                {F::height, id::Height},
                {F::weight, id::Weight}});
    binding_.Text(id::Hobby, &values_.hobby, QStringLiteral("爱好"));
    BindPerson(binding_, values_.person, {{F::remarks, id::Remarks}});

    forms::AddYearPresets(Ctl<QComboBox>(id::BirthYear));
    forms::AddYearPresets(Ctl<QComboBox>(id::JoinYear));
    ShowValues(); // the defaults: empty years, no sex, "已婚", months and days "01"
    RebuildList();
}

MemberRecord CTeamMemberPage::RecordFromForm(int stored) const {
    MemberRecord r = stored >= 0 ? members_.GetAt(stored) : MemberRecord{};
    values_.Store(r, stored >= 0 ? Into::stored : Into::fresh);
    return r;
}

void CTeamMemberPage::ShowRecord(int index) {
    values_.Load(members_.GetAt(index));
    ShowValues();
}

QString CTeamMemberPage::CellOf(int index, int column) const {
    return TextOf(members_, index, column == 0 ? kStaffNo : kName);
}

void CTeamMemberPage::RemoveRecord(int index) { members_.RemoveAt(index); }

QString CTeamMemberPage::Describe(int index) const {
    return QStringLiteral("成员 %1（工号 %2）").arg(TextOf(members_, index, kName), TextOf(members_, index, kStaffNo));
}

int CTeamMemberPage::FindEmptyKey() const { return members_.Find({}); }

void CTeamMemberPage::OnAdd() {
    if (!Commit()) return;
    if (rules::FindMember(members_, values_.staffNo) >= 0) {
        msg::Info(this, kDuplicate);
        return;
    }
    if (values_.person.name.isEmpty() || values_.staffNo.isEmpty()) {
        msg::Info(this, QStringLiteral("成员姓名和工号不能为空！"));
        return;
    }
    const int added = members_.Add(RecordFromForm());
    RebuildList();
    Stored(true, added);
}

void CTeamMemberPage::OnModify() {
    if (!CommitForModify()) return;
    const MemberRecord r = RecordFromForm(selected_);
    const MemberRecord stored = members_.GetAt(selected_);
    if (r.person.name != stored.person.name || r.staffNo != stored.staffNo) {
        if (!msg::Ask(this, QStringLiteral("您修改了成员姓名或工号，这是关键数据,你确认修改吗?"))) return;
        if (rules::StaffNoHeldByOther(members_, r.staffNo, selected_)) {
            msg::Info(this, kDuplicate);
            return;
        }
    } else if (!msg::Ask(this, QStringLiteral("确认修改？"))) {
        return;
    }
    const int changed = selected_;
    members_.SetAt(changed, r);
    RebuildList();
    Stored(false, changed);
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
        table.rows.push_back({TextOf(r.staffNo), TextOf(p.name), sexes.value(p.sex), TextOf(r.department),
                              TextOf(r.level), DateText(r.joinDate), DateText(p.birthDate), TextOf(p.mobile),
                              TextOf(p.homePhone), TextOf(p.email)});
    }
    ReportSection section;
    section.fields = {{QStringLiteral("成员人数"), QString::number(records.size())}};
    section.tables.push_back(std::move(table));
    SaveReportInteractive(this, QStringLiteral("团队成员资料"), {section}, QStringLiteral("团队成员资料"),
                          [&records] { return RecordSheet(records, QStringLiteral("团队成员资料")); });
}
