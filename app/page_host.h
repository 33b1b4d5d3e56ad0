// What the main window offers its pages, and how pages are made. The main
// window knows pages only through this: the page folders register their
// factories (pages/page_registry) and the program's main() hands them over.
#pragma once

#include <QString>
#include <functional>
#include <vector>

class CPage;
class QWidget;

// The five reminder switches as the pages hold them while the program runs.
struct ReminderSwitches {
    int calendar = 1; // "打开日程提醒" on the schedule page
    int holder = 1;   // policyholders' birthdays
    int insured = 1;  // insured persons' birthdays
    int clients = 1;  // potential clients' birthdays
    int members = 1;  // team members' birthdays
};

class PageHost {
public:
    virtual ~PageHost() = default;
    // The page made from that template (its ids header's Template), or nullptr.
    virtual CPage* Page(int templateId) const = 0;
    // Hides every page and shows that one, without touching the navigation tree.
    virtual void ShowOnly(int templateId) = 0;
};

struct PageFactory {
    int templateId;
    std::function<CPage*(PageHost* host, QWidget* parent)> make;
};
using PageFactories = std::vector<PageFactory>;
