// GBK <-> UTF-8 for the data tool, converting exactly as the program does
// (the same GBK table, user-defined areas included).
#pragma once

#include <stdexcept>
#include <string>

namespace vantorel::tool {

class TextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throw TextError, naming the byte where conversion stopped, for text that
// the other encoding cannot hold. Nothing is ever replaced by "?".
std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbk(const std::string& utf8);

} // namespace vantorel::tool
