#include "message_box.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QStyle>

namespace msg {

namespace {
Responder g_responder;
FileResponder g_fileResponder;
QList<QPointer<QMessageBox>> g_open;

bool Run(QWidget* parent, Kind kind, const QString& text, Default onEnter) {
    if (g_responder) return g_responder(kind, text, onEnter);
    const std::unique_ptr<QMessageBox> box = MakeBox(parent, kind, text, onEnter);
    g_open.append(box.get());
    const int answer = box->exec();
    g_open.removeAll(box.get());
    return answer == QMessageBox::Yes;
}
} // namespace

std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, Kind kind, const QString& text, Default onEnter) {
    const bool question = kind == Kind::question;
    const QString title = QStringLiteral("Vantorel");
    auto box = std::make_unique<QMessageBox>(question ? QMessageBox::Question : QMessageBox::Information, title, text,
                                             question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    // The default button also takes the focus, so Enter answers with it.
    const auto onEnterButton = onEnter == Default::no ? QMessageBox::No : QMessageBox::Yes;
    box->setDefaultButton(question ? onEnterButton : QMessageBox::Ok);
    box->setEscapeButton(question ? QMessageBox::No : QMessageBox::Ok);
    // A short text makes a box narrower than its title bar needs, and the
    // title is cut short: the box keeps room for the title and the frame's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(MinimumBoxWidth(*box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

int MinimumBoxWidth(const QWidget& box) {
    const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    const int buttons = 3 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    return title.horizontalAdvance(QStringLiteral("Vantorel")) + buttons + 64;
}

void Info(QWidget* parent, const QString& text) { Run(parent, Kind::info, text, Default::yes); }

bool Ask(QWidget* parent, const QString& text, Default onEnter) { return Run(parent, Kind::question, text, onEnter); }

void SetResponder(Responder responder) { g_responder = std::move(responder); }

void CloseOpenBoxes() {
    for (const QPointer<QMessageBox>& box : g_open)
        if (box) box->done(QMessageBox::No);
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                     QString* selectedFilter) {
    QString chosen = selectedFilter ? *selectedFilter : QString();
    const QString path = g_fileResponder
                             ? g_fileResponder(caption, suggestedName, &chosen)
                             : QFileDialog::getSaveFileName(parent, caption, suggestedName, filter, &chosen);
    if (selectedFilter) *selectedFilter = chosen;
    return path;
}

void SetFileResponder(FileResponder responder) { g_fileResponder = std::move(responder); }

QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (g_fileResponder) return g_fileResponder(caption, {}, nullptr);
    return QFileDialog::getOpenFileName(parent, caption, {}, filter);
}

} // namespace msg
