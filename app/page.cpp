#include "page.h"

#include "theme/control_skin.h"

CPage::CPage(const tmpl::Window& t, QWidget* parent, const tmpl::CustomFactory& custom) : QWidget(parent) {
    SetThemeRole(this, ThemeRole::page);
    tmpl::Build(t, this, {}, custom);
}
