#include "remind_settings_page.h"

#include "resources/templates/remind_settings_template.h"

namespace {
enum : int { kHolder = 1201, kInsured = 1202, kClients = 1203, kMembers = 1204 };
}

CRemindSettingsPage::CRemindSettingsPage(const ReminderSwitches& stored, QWidget* parent)
    : CPage(tmpl::RemindSettingsTemplate(), parent) {
    binding_.Check(kInsured, &insured_);
    binding_.Check(kHolder, &holder_);
    binding_.Check(kClients, &clients_);
    binding_.Check(kMembers, &members_);

    insured_ = stored.insured;
    holder_ = stored.holder;
    clients_ = stored.clients;
    members_ = stored.members;
    ShowValues();

    // A click is the new value at once: today's reminders reads it from here.
    for (int id : {kHolder, kInsured, kClients, kMembers}) OnClick(id, [this] { CommitQuiet(); });
}

void CRemindSettingsPage::CollectSwitches(ReminderSwitches& s) const {
    s.insured = insured_;
    s.holder = holder_;
    s.clients = clients_;
    s.members = members_;
}
