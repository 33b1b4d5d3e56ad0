#include "pot_client_page.h"

#include "agent/book_text.h"
#include "agent/form_rules.h"
#include "app/forms.h"
#include "app/message_box.h"
#include "app/report_save.h"
#include "exchange/record_sheet.h"
#include "resources/templates/pot_client_ids.h"
#include "resources/templates/pot_client_template.h"

#include <QComboBox>

using vantorel::PotClientRecord;
using F = PersonField;
namespace id = ids::client;

namespace {
const vantorel::Field<PotClientRecord> kName([](auto& r) -> auto& { return r.person.name; });
const vantorel::Field<PotClientRecord> kIdNumber([](auto& r) -> auto& { return r.person.idNumber; });
const QString kDuplicateOnAdd = QStringLiteral("非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号！");
const QString kDuplicateOnModify = QStringLiteral("非常抱歉,数据库中已存在相同客户,请重新输入客户姓名、身份证号!");
} // namespace

CPotClientPage::CPotClientPage(vantorel::CPotClient& clients, QWidget* parent)
    : CPeopleListPage(tmpl::PotClientTemplate(), id::List, {QStringLiteral("姓名"), 100},
                      {QStringLiteral("身份证号"), 200}, clients, parent),
      clients_(clients) {
    // In the order the form reads.
    BindPerson(binding_, values_.person,
               {{F::name, id::Name},
                {F::sex, id::Sex},
                {F::nation, id::Nation},
                {F::idNumber, id::IdNumber},
                {F::marital, id::Marital},
                {F::birthYear, id::BirthYear},
                {F::birthMonth, id::BirthMonth},
                {F::birthDay, id::BirthDay},
                {F::mobile, id::Mobile},
                {F::email, id::Email}});
    binding_.Text(id::Fax, &values_.fax, QStringLiteral("传真"));
    BindPerson(binding_, values_.person,
               {{F::homePhone, id::HomePhone},
                {F::workPhone, id::WorkPhone},
                {F::homeAddress, id::HomeAddress},
                {F::homePostcode, id::HomePostcode},
                {F::workAddress, id::WorkAddress},
                {F::workPostcode, id::WorkPostcode},
                {F::occupation, id::Occupation},
                {F::income, id::Income},
                {F::height, id::Height},
                {F::weight, id::Weight}});
    binding_.Text(id::Hobby, &values_.hobby, QStringLiteral("爱好"));
    BindPerson(binding_, values_.person, {{F::education, id::Education}, {F::remarks, id::Remarks}});

    ShowValues(); // the defaults: no sex, "已婚", month and day "01"
    RebuildList();
    forms::AddYearPresets(Ctl<QComboBox>(id::BirthYear));
    ShowValues(); // adding presets must not pick a year
}

PotClientRecord CPotClientPage::RecordFromForm(int stored) const {
    PotClientRecord r = stored >= 0 ? clients_.GetAt(stored) : PotClientRecord{};
    values_.Store(r, stored >= 0 ? Into::stored : Into::fresh);
    return r;
}

void CPotClientPage::ShowRecord(int index) {
    values_.Load(clients_.GetAt(index));
    ShowValues();
}

QString CPotClientPage::CellOf(int index, int column) const {
    return TextOf(clients_, index, column == 0 ? kName : kIdNumber);
}

void CPotClientPage::RemoveRecord(int index) { clients_.RemoveAt(index); }

QString CPotClientPage::Describe(int index) const {
    return QStringLiteral("潜力客户 %1").arg(TextOf(clients_, index, kName));
}

int CPotClientPage::FindEmptyKey() const { return clients_.Find({}, {}); }

void CPotClientPage::OnAdd() {
    if (!Commit()) return;
    if (rules::ClientExists(clients_, values_.person.name, values_.person.idNumber)) {
        msg::Info(this, kDuplicateOnAdd);
        return;
    }
    if (values_.person.name.isEmpty()) {
        msg::Info(this, QStringLiteral("客户姓名不能为空！"));
        return;
    }
    const int added = clients_.Add(RecordFromForm());
    RebuildList();
    Stored(true, added);
}

void CPotClientPage::OnModify() {
    if (!CommitForModify()) return;
    const PotClientRecord r = RecordFromForm(selected_);
    const PotClientRecord stored = clients_.GetAt(selected_);
    const bool nameChanged = r.person.name != stored.person.name;
    const bool idChanged = r.person.idNumber != stored.person.idNumber;
    if (nameChanged && idChanged) {
        if (!msg::Ask(this, QStringLiteral("您修改了客户姓名和身份证号，这是关键数据,你确认修改吗?"))) return;
    } else if (!msg::Ask(this, QStringLiteral("确认修改？"))) {
        return;
    }
    // A changed key must stay unique, whichever part of it changed.
    if ((nameChanged || idChanged) &&
        rules::ClientKeyHeldByOther(clients_, r.person.name, r.person.idNumber, selected_)) {
        msg::Info(this, kDuplicateOnModify);
        return;
    }
    const int changed = selected_;
    clients_.SetAt(changed, r);
    RebuildList();
    Stored(false, changed);
}

void CPotClientPage::OnReport() {
    ReportTable table;
    table.caption = QStringLiteral("潜力客户");
    table.headers = {QStringLiteral("姓名"),     QStringLiteral("性别"),    QStringLiteral("身份证号"),
                     QStringLiteral("出生日期"), QStringLiteral("手机"),    QStringLiteral("家庭电话"),
                     QStringLiteral("单位电话"), QStringLiteral("EMAIL"),   QStringLiteral("职业"),
                     QStringLiteral("年收入"),   QStringLiteral("家庭地址")};
    const QStringList sexes = {QStringLiteral("男"), QStringLiteral("女")};
    // A report holds every field of every record: decoded once, for it alone.
    const std::vector<PotClientRecord> records = clients_.CopyAll();
    table.rows.reserve(records.size());
    for (const PotClientRecord& r : records) {
        const auto& p = r.person;
        table.rows.push_back({TextOf(p.name), sexes.value(p.sex), TextOf(p.idNumber), DateText(p.birthDate),
                              TextOf(p.mobile), TextOf(p.homePhone), TextOf(p.workPhone), TextOf(p.email),
                              TextOf(p.occupation), TextOf(p.annualIncome), TextOf(p.homeAddress)});
    }
    ReportSection section;
    section.fields = {{QStringLiteral("客户人数"), QString::number(records.size())}};
    section.tables.push_back(std::move(table));
    SaveReportInteractive(this, QStringLiteral("潜力客户资料"), {section}, QStringLiteral("潜力客户资料"),
                          [&records] { return RecordSheet(records, QStringLiteral("潜力客户资料")); });
}
