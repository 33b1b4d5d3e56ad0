// The application object: prepares the process and runs the main window.
#pragma once

#include "page_host.h"
#include "agent/folder_lock.h"
#include "records/storage.h"

#include <QApplication>
#include <filesystem>

class CAgentApp : public QApplication {
    Q_OBJECT
public:
    CAgentApp(int& argc, char** argv);

    // Runs the main window with these pages on the data files in `folder`
    // until it is closed; 0 when it ran, 1 when another copy already works there.
    int Run(PageFactories factories, const std::filesystem::path& folder) {
        return RunMainWindow(std::move(factories), folder);
    }

    // The pieces of the start-up, usable on any QApplication (tests build their own).
    static void Prepare();
    static void SetDefaultDialogColours();
    // Qt's own texts (message-box buttons, file dialogs, edit menus) in Chinese.
    static void InstallQtTranslations();
    // Tests hand in a `storage` that fails.
    static int RunMainWindow(PageFactories factories, const std::filesystem::path& folder,
                             vantorel::Storage& storage = vantorel::SystemStorage());

    // The lock that keeps a second copy out of the data folder.
    static constexpr const char* kLockFileName = kFolderLockFileName;
};

// What the second copy says before it ends.
inline constexpr const char* kSecondCopyText =
    "Vantorel已经在这个文件夹中运行。\n请使用已经打开的窗口；这个程序现在退出，没有改动任何数据。";
