#include "page.h"

#include "forms.h"

CPage::CPage(const tmpl::Window& t, QWidget* parent, const tmpl::CustomFactory& custom) : QWidget(parent) {
    tmpl::Build(t, this, {}, custom);
    forms::ApplyPagePalette(this);
}
