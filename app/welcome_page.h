// The page shown first and for the three root nodes: one picture, no behaviour.
#pragma once

#include "page.h"

class CWelcomePage : public CPage {
    Q_OBJECT
public:
    explicit CWelcomePage(QWidget* parent);

protected:
    void resizeEvent(QResizeEvent* e) override;
};
