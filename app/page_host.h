// What the main window offers its pages, and how pages are made. The main
// window knows pages only through this: the page folders register their
// factories (pages/page_registry) and the program's main() hands them over.
// A factory hands each page the data it shows and changes.
#pragma once

#include "settings.h"

#include <QDate>
#include <functional>
#include <vector>

class CPage;
class QWidget;

namespace vantorel {
struct DataBook;
}

class PageHost {
public:
    virtual ~PageHost() = default;
    // The page made from that template (its ids header's Template), or nullptr.
    virtual CPage* Page(int templateId) const = 0;
    // Hides every page and shows that one, without touching the navigation tree.
    virtual void ShowOnly(int templateId) = 0;
    // The one book of the running program.
    virtual vantorel::DataBook& Book() = 0;
    // The reminder switches as the settings store held them at start.
    virtual const ReminderSwitches& StoredSwitches() const = 0;
    // Today by the main window's clock.
    virtual QDate Today() const = 0;
};

struct PageFactory {
    int templateId;
    std::function<CPage*(PageHost* host, QWidget* parent)> make;
};
using PageFactories = std::vector<PageFactory>;
