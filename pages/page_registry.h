// Every page the page folders provide, for the main window to create.
#pragma once

#include "app/page_host.h"

PageFactories AllPageFactories();
