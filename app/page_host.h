// What the main window offers its pages, and how pages are made. The main
// window knows pages only through this: the page folders register their
// factories (pages/page_registry) and the program's main() hands them over.
// A factory hands each page the data it shows and changes.
#pragma once

#include "settings.h"
#include "records/result.h"

#include <QDate>
#include <functional>
#include <vector>

class CPage;
class QWidget;

namespace vantorel {
struct DataBook;
}

// A page on which a stored policy is opened for changing: the entry page.
class PolicyEditor {
public:
    virtual ~PolicyEditor() = default;
    // Modify mode on the stored policy at `index`, shown on the form; false,
    // and nothing changed, for an index outside the collection.
    virtual bool EditPolicy(int index) = 0;
    // Waits until every change made to the book so far is in the recovery
    // journal on disk; any thread may ask. A host without a journal has
    // nothing to wait for.
    virtual vantorel::Result<void> FlushJournal() { return {}; }
};

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
    // The reminder switches as the pages hold them now.
    virtual ReminderSwitches CurrentSwitches() const { return StoredSwitches(); }
    // Today by the main window's clock.
    virtual QDate Today() const = 0;
    // Opens the stored policy at `index` on the entry page for changing and
    // shows that page ("修 改 指 定 保 单"); false, with nothing shown, when
    // there is no such policy.
    virtual bool EditPolicy(int index) = 0;
    // Waits until every change made to the book so far is in the recovery
    // journal on disk; any thread may ask. A host without a journal has
    // nothing to wait for.
    virtual vantorel::Result<void> FlushJournal() { return {}; }
};

struct PageFactory {
    int templateId;
    std::function<CPage*(PageHost* host, QWidget* parent)> make;
    // Instead of a page: a modal dialog that a button of the main window
    // opens over it (the import).
    std::function<void(PageHost* host, QWidget* parent)> open = {};
};
using PageFactories = std::vector<PageFactory>;
