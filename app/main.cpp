// The program: the application object with every page there is, working on
// the data files of the folder it is started in.
#include "app/agent_app.h"
#include "pages/page_registry.h"

#include <filesystem>

int main(int argc, char** argv) {
    CAgentApp app(argc, argv);
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    // A folder removed under the shell: names relative to it are all there is.
    if (ec) folder = ".";
    return app.Run(AllPageFactories(), folder);
}
