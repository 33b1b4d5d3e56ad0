#include "welcome_page.h"

#include "resources/templates/welcome_template.h"

#include <QLabel>

CWelcomePage::CWelcomePage(QWidget* parent) : CPage(tmpl::WelcomeTemplate(), parent) {}

void CWelcomePage::resizeEvent(QResizeEvent* e) {
    CPage::resizeEvent(e);
    // The picture stays centred at its real size over whatever area the page is given.
    if (auto* picture = findChild<QLabel*>()) picture->setGeometry(rect());
}
