// The program: the application object with every page there is, working on
// the data files of the folder it is started in.
#include "app/agent_app.h"
#include "pages/page_registry.h"

#include <filesystem>

#ifdef _WIN32
#include <QDir>
#include <QFileInfo>

namespace {

// The Start menu and a double click start the program in its installation
// folder, which is no place for data (nor writable by the user): there it
// works in %VANTOREL_DATA% or %USERPROFILE%\Vantorel instead, made when
// missing, as vantorel-start does on Linux. Started anywhere else, it keeps
// its data in its current folder there too.
std::filesystem::path DataFolder(const std::filesystem::path& current) {
    const QString here = QString::fromStdWString(current.wstring());
    if (QFileInfo(here) != QFileInfo(QCoreApplication::applicationDirPath())) return current;
    QString data = qEnvironmentVariable("VANTOREL_DATA");
    if (data.isEmpty()) data = QDir::home().filePath(QStringLiteral("Vantorel"));
    if (!QDir().mkpath(data) || !QDir::setCurrent(data)) return current;
    return std::filesystem::path(QDir::toNativeSeparators(QDir(data).absolutePath()).toStdWString());
}

} // namespace
#endif

int main(int argc, char** argv) {
    CAgentApp app(argc, argv);
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    // A folder removed under the shell: names relative to it are all there is.
    if (ec) folder = ".";
#ifdef _WIN32
    folder = DataFolder(folder);
#endif
    return app.Run(AllPageFactories(), folder);
}
