#include "import_dlg.h"

#include "app/page_host.h"
#include "resources/templates/import_ids.h"

void RegisterImportPages(PageFactories& f) {
    f.push_back({ids::import::Template, nullptr, [](PageHost* host, QWidget* parent) {
                     CImportDlg dlg(host, parent);
                     dlg.exec();
                 }});
}
