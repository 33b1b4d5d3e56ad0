#include "agent_app.h"

#include "main_dlg.h"
#include "message_box.h"
#include "template_builder.h"
#include "termination_signals.h"
#include "agent/folder_lock.h"
#include "theme/control_skin.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QSysInfo>
#include <QThread>
#include <QTranslator>

CAgentApp::CAgentApp(int& argc, char** argv) : QApplication(argc, argv) { Prepare(); }

void CAgentApp::Prepare() {
    QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
    // No title string is defined: the settings live under the executable's name.
    QCoreApplication::setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    SetDefaultDialogColours();
    InstallQtTranslations();
    tmpl::InstallFontSubstitutes();
}

void CAgentApp::InstallQtTranslations() {
    // Chinese whatever the user's locale: every text of the program is.
    const QString name = QStringLiteral("qtbase_zh_CN");
    if (qApp->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly)) return; // once per application
    auto* qt = new QTranslator(qApp);
    qt->setObjectName(name);
    if (!qt->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        // Without the translations package Qt's texts stay English; nothing else depends on them.
        delete qt;
        return;
    }
    QCoreApplication::installTranslator(qt);
}

void CAgentApp::SetDefaultDialogColours() {
    // Only the boxes that do not paint themselves; the main window and the pages do.
    InstallDialogColours();
}

int CAgentApp::RunMainWindow(PageFactories factories, const std::filesystem::path& folder, vantorel::Storage& storage) {
    // Installed first, so that a signal from here on ends the program in order.
    TerminationSignals terminations;
    QLockFile lock(QDir(folder).absoluteFilePath(QString::fromLatin1(kLockFileName)));
    if (!TakeFolderLock(lock)) {
        // A signal while the box is open closes it, and this copy ends.
        QObject::connect(&terminations, &TerminationSignals::received, [] { msg::CloseOpenBoxes(); });
        msg::Info(nullptr, QString::fromUtf8(kSecondCopyText));
        return 1;
    }

    // The data files are read from here on, while the window is built.
    Session session(folder, storage);
    session.BeginOpen();
    CMainDlg dlg(std::move(session), std::move(factories));
    auto end = [&dlg] { dlg.RequestClose(false); };
    QObject::connect(&terminations, &TerminationSignals::received, &dlg, end);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &dlg, end);
    // Also emitted after every orderly close; only a quit from elsewhere ends the program here.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &dlg, [&dlg] {
        if (!dlg.CloseRequested()) dlg.RequestClose(false);
    });
    QObject::connect(&dlg, &QDialog::finished, qApp, &QCoreApplication::quit);

    dlg.Initialise();
    dlg.show();
    dlg.ShowStartMessages();
    if (!dlg.CloseRequested()) QApplication::exec();
    dlg.Shutdown();
    return 0;
}
