#include "pot_client_template.h"

#include "people_form.h"
#include "pot_client_ids.h"

namespace tmpl {

const Window& PotClientTemplate() {
    static const Window w = [] {
        namespace id = ids::client;
        using namespace people;
        Window t{id::Template, 410, 392, "宋体", 9, {}};
        Form f(t.controls);
        f.Group("基本资料", 5, 80);
        f.Row(Name(id::Name), Sex(id::Sex));
        f.Wide(IdNumber(id::IdNumber));
        f.Row(Nation(id::Nation), Marital(id::Marital));
        f.BirthDate(id::BirthYear, id::BirthMonth, id::BirthDay);

        f.Group("联系方式", 89, 94);
        f.Row(Mobile(id::Mobile), Email(id::Email));
        f.Row(HomePhone(id::HomePhone), WorkPhone(id::WorkPhone));
        f.Row({"传真", id::Fax});
        f.Address("家庭地址", id::HomeAddress, id::HomePostcode);
        f.Address("单位地址", id::WorkAddress, id::WorkPostcode);

        f.Group("其它资料", 187, 198);
        f.Row(Occupation(id::Occupation), Income(id::Income));
        f.Measures(id::Height, id::Weight);
        f.Row(Hobby(id::Hobby), Education(id::Education));
        f.Remarks(id::Remarks, 128);

        f.ListAndButtons(id::List);
        return t;
    }();
    return w;
}

} // namespace tmpl
