#include "message_box.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace msg {

namespace {
Responder g_responder;
FileResponder g_fileResponder;
QList<QPointer<QMessageBox>> g_open;

bool Run(QWidget* parent, Kind kind, const QString& text, Default onEnter) {
    if (g_responder) return g_responder(kind, text, onEnter);
    const bool question = kind == Kind::question;
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information, QStringLiteral("Vantorel"), text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    // The default button also takes the focus, so Enter answers with it.
    const auto onEnterButton = onEnter == Default::no ? QMessageBox::No : QMessageBox::Yes;
    box.setDefaultButton(question ? onEnterButton : QMessageBox::Ok);
    box.setEscapeButton(question ? QMessageBox::No : QMessageBox::Ok);
    g_open.append(&box);
    const int answer = box.exec();
    g_open.removeAll(&box);
    return answer == QMessageBox::Yes;
}
} // namespace

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
