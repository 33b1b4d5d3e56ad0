// The program: the application object with every page there is.
#include "app/agent_app.h"
#include "pages/page_registry.h"

int main(int argc, char** argv) {
    CAgentApp app(argc, argv);
    return app.Run(AllPageFactories());
}
