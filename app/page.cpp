#include "page.h"

#include "theme/control_skin.h"

#include <QAbstractButton>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>

CPage::CPage(const tmpl::Window& t, QWidget* parent, const tmpl::CustomFactory& custom) : QWidget(parent) {
    SetThemeRole(this, ThemeRole::page);
    tmpl::Build(t, this, {}, custom);
    said_ = new QLabel(this);
    said_->setObjectName(QStringLiteral("said"));
    said_->hide();
    auto* effect = new QGraphicsOpacityEffect(said_);
    said_->setGraphicsEffect(effect);
    sayTimer_ = new QTimer(this);
    sayTimer_->setSingleShot(true);
    sayTimer_->setInterval(kSaidShownMs);
    connect(sayTimer_, &QTimer::timeout, this, [this, effect] {
        auto* fade = new QPropertyAnimation(effect, "opacity", this);
        fade_ = fade;
        fade->setDuration(kSaidFadeMs);
        fade->setStartValue(1.0);
        fade->setEndValue(0.0);
        connect(fade, &QPropertyAnimation::finished, said_, &QWidget::hide);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    });
}

// Under the lowest of the page's buttons, from the leftmost one to the page's right edge.
void CPage::PlaceSaidLine() {
    int left = width(), bottom = 0;
    for (const QAbstractButton* b : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<const QPushButton*>(b)) continue;
        left = qMin(left, b->geometry().left());
        bottom = qMax(bottom, b->geometry().bottom());
    }
    if (left >= width()) left = 8;
    const int h = said_->sizeHint().height();
    said_->setGeometry(left, qMin(bottom + 4, height() - h), width() - left - 4, h);
}

void CPage::Say(const QString& text) {
    if (fade_) fade_->stop(); // a line still fading gives way to the new one
    said_->setText(text);
    PlaceSaidLine();
    static_cast<QGraphicsOpacityEffect*>(said_->graphicsEffect())->setOpacity(1.0);
    said_->show();
    said_->raise();
    sayTimer_->start();
}
