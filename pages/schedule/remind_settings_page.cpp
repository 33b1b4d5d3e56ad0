#include "remind_settings_page.h"

#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/remind_settings_template.h"

namespace id = ids::remind;

CRemindSettingsPage::CRemindSettingsPage(const ReminderSwitches& stored, QWidget* parent)
    : CPage(tmpl::RemindSettingsTemplate(), parent) {
    binding_.Check(id::Insured, &insured_);
    binding_.Check(id::Holder, &holder_);
    binding_.Check(id::Clients, &clients_);
    binding_.Check(id::Members, &members_);

    insured_ = stored.insured;
    holder_ = stored.holder;
    clients_ = stored.clients;
    members_ = stored.members;
    ShowValues();

    // A click is the new value at once: today's reminders reads it from here.
    for (int box : {id::Holder, id::Insured, id::Clients, id::Members}) OnClick(box, [this] { CommitQuiet(); });
}

void CRemindSettingsPage::CollectSwitches(ReminderSwitches& s) const {
    s.insured = insured_;
    s.holder = holder_;
    s.clients = clients_;
    s.members = members_;
}
