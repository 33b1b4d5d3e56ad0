// The data tool's subcommands. Each returns the process exit code:
// 0 done, 1 the data or a file is bad, 2 wrong arguments.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace vantorel::tool {

// Wrong arguments: a one-line reason.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Args = std::vector<std::string>;

int Dump(const Args& args);
int Build(const Args& args);
int Check(const Args& args);
int Export(const Args& args);
int Calendar(const Args& args); // calendar_command.cpp
int Import(const Args& args);

} // namespace vantorel::tool
