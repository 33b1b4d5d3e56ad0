#include "team_member_template.h"

#include "people_form.h"
#include "team_member_ids.h"

namespace tmpl {

// Laid out like the potential-client page, with the member's own fields.
const Window& TeamMemberTemplate() {
    static const Window w = [] {
        namespace id = ids::member;
        using namespace people;
        Window t{id::Template, 410, 392, "宋体", 9, {}};
        Form f(t.controls);
        f.Group("基本资料", 5, 96);
        f.Row({"工号", id::StaffNo}, Name(id::Name));
        f.Row(Sex(id::Sex), Nation(id::Nation));
        f.Wide(IdNumber(id::IdNumber));
        f.Row(Marital(id::Marital));
        f.BirthDate(id::BirthYear, id::BirthMonth, id::BirthDay);

        f.Group("工作资料", 105, 46);
        f.Row({"部门", id::Department}, {"级别", id::Level});
        f.Date("入司时间", id::JoinYear, id::JoinMonth, id::JoinDay);

        f.Group("联系方式", 155, 62);
        f.Row(Mobile(id::Mobile), Email(id::Email));
        f.Row(HomePhone(id::HomePhone));
        f.Address("家庭地址", id::HomeAddress, id::HomePostcode);

        f.Group("其它资料", 221, 164);
        f.Measures(id::Height, id::Weight);
        f.Wide(Hobby(id::Hobby));
        f.Remarks(id::Remarks, 110);

        f.ListAndButtons(id::List);
        return t;
    }();
    return w;
}

} // namespace tmpl
