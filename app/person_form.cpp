#include "person_form.h"

#include "forms.h"
#include "gbk.h"

using vantorel::HolderInfo;
using vantorel::PersonInfo;

void PersonForm::Bind(FormBinding& b, const PersonIds& controls, const QString& labelPrefix) {
    auto text = [&](int id, QString* value, const char* label) {
        b.Text(id, value, labelPrefix + QString::fromUtf8(label));
    };
    auto number = [&](int id, QString* value, const char* label) {
        b.Number(id, value, labelPrefix + QString::fromUtf8(label));
    };
    for (const auto& [field, id] : controls) {
        bound_ |= 1u << unsigned(field);
        // clang-format off
        switch (field) {
        case PersonField::name: text(id, &name, "姓名"); break;
        case PersonField::sex: b.Index(id, &sex); break;
        case PersonField::nation: text(id, &nation, "民族"); break;
        case PersonField::idNumber: text(id, &idNumber, "身份证号"); break;
        case PersonField::marital: b.Index(id, &marital); break;
        case PersonField::birthYear: text(id, &birth.year, "出生日期"); break;
        case PersonField::birthMonth: b.Index(id, &birth.monthIndex); break;
        case PersonField::birthDay: b.Index(id, &birth.dayIndex); break;
        case PersonField::education: text(id, &education, "文化程度"); break;
        case PersonField::mobile: text(id, &mobile, "手机"); break;
        case PersonField::email: text(id, &email, "EMAIL"); break;
        case PersonField::occupation: text(id, &occupation, "职业"); break;
        case PersonField::income: text(id, &income, "年收入"); break;
        case PersonField::homePhone: text(id, &homePhone, "家庭电话"); break;
        case PersonField::workPhone: text(id, &workPhone, "单位电话"); break;
        case PersonField::homeAddress: text(id, &homeAddress, "家庭地址"); break;
        case PersonField::homePostcode: text(id, &homePostcode, "邮编"); break;
        case PersonField::workAddress: text(id, &workAddress, "单位地址"); break;
        case PersonField::workPostcode: text(id, &workPostcode, "邮编"); break;
        case PersonField::height: number(id, &height, "身高"); break;
        case PersonField::weight: number(id, &weight, "体重"); break;
        case PersonField::remarks: text(id, &remarks, "备注"); break;
        }
        // clang-format on
    }
}

namespace {
template <class P> void Store(const PersonForm& f, P& r) {
    auto put = [&f](PersonField field, std::string& to, const QString& from) {
        if (f.Binds(field)) to = ToGbk(from);
    };
    put(PersonField::name, r.name, f.name);
    if (f.Binds(PersonField::sex)) r.sex = static_cast<std::int16_t>(f.sex);
    put(PersonField::nation, r.nation, f.nation);
    put(PersonField::idNumber, r.idNumber, f.idNumber);
    if (f.Binds(PersonField::marital)) r.maritalStatus = static_cast<std::int16_t>(f.marital);
    if (f.Binds(PersonField::birthYear)) r.birthDate = ToGbk(forms::ComposeDate(f.birth));
    put(PersonField::mobile, r.mobile, f.mobile);
    put(PersonField::email, r.email, f.email);
    put(PersonField::occupation, r.occupation, f.occupation);
    put(PersonField::income, r.annualIncome, f.income);
    put(PersonField::homePhone, r.homePhone, f.homePhone);
    put(PersonField::homeAddress, r.homeAddress, f.homeAddress);
    put(PersonField::homePostcode, r.homePostcode, f.homePostcode);
    put(PersonField::workPhone, r.workPhone, f.workPhone);
    put(PersonField::workAddress, r.workAddress, f.workAddress);
    put(PersonField::workPostcode, r.workPostcode, f.workPostcode);
    put(PersonField::remarks, r.remarks, f.remarks);
    put(PersonField::education, r.education, f.education);
}

template <class P> void Load(PersonForm& f, const P& r) {
    f.name = FromGbk(r.name);
    f.sex = r.sex;
    f.nation = FromGbk(r.nation);
    f.idNumber = FromGbk(r.idNumber);
    f.marital = r.maritalStatus;
    f.birth = forms::SplitDate(FromGbk(r.birthDate));
    f.mobile = FromGbk(r.mobile);
    f.email = FromGbk(r.email);
    f.occupation = FromGbk(r.occupation);
    f.income = FromGbk(r.annualIncome);
    f.homePhone = FromGbk(r.homePhone);
    f.homeAddress = FromGbk(r.homeAddress);
    f.homePostcode = FromGbk(r.homePostcode);
    f.workPhone = FromGbk(r.workPhone);
    f.workAddress = FromGbk(r.workAddress);
    f.workPostcode = FromGbk(r.workPostcode);
    f.remarks = FromGbk(r.remarks);
    f.education = FromGbk(r.education);
}
} // namespace

void PersonForm::ToRecord(PersonInfo& r) const {
    Store(*this, r);
    if (Binds(PersonField::height)) r.height = forms::TextToDouble(height);
    if (Binds(PersonField::weight)) r.weight = forms::TextToDouble(weight);
}

void PersonForm::ToRecord(HolderInfo& r) const { Store(*this, r); }

void PersonForm::FromRecord(const PersonInfo& r) {
    Load(*this, r);
    height = forms::FormatRounded(r.height);
    weight = forms::FormatRounded(r.weight);
}

void PersonForm::FromRecord(const HolderInfo& r) { Load(*this, r); }
