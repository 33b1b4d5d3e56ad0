#include "message_box.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace msg {

namespace {
Responder g_responder;
FileResponder g_fileResponder;
QList<QPointer<QMessageBox>> g_open;

bool Run(QWidget* parent, Kind kind, const QString& text) {
    if (g_responder) return g_responder(kind, text);
    QMessageBox box(kind == Kind::question ? QMessageBox::Question : QMessageBox::Information,
                    QStringLiteral("Vantorel"), text,
                    kind == Kind::question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    box.setDefaultButton(kind == Kind::question ? QMessageBox::Yes : QMessageBox::Ok);
    box.setEscapeButton(kind == Kind::question ? QMessageBox::No : QMessageBox::Ok);
    g_open.append(&box);
    const int answer = box.exec();
    g_open.removeAll(&box);
    return answer == QMessageBox::Yes;
}
} // namespace

void Info(QWidget* parent, const QString& text) { Run(parent, Kind::info, text); }

bool Ask(QWidget* parent, const QString& text) { return Run(parent, Kind::question, text); }

void SetResponder(Responder responder) { g_responder = std::move(responder); }

void CloseOpenBoxes() {
    for (const QPointer<QMessageBox>& box : g_open)
        if (box) box->done(QMessageBox::No);
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter) {
    if (g_fileResponder) return g_fileResponder(caption, suggestedName);
    return QFileDialog::getSaveFileName(parent, caption, suggestedName, filter);
}

void SetFileResponder(FileResponder responder) { g_fileResponder = std::move(responder); }

} // namespace msg
