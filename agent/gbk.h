// The records hold GBK bytes; the windows work in Unicode. These convert at
// the edge, every list and form through the same three functions (each thread
// keeps one converter of each direction).
#pragma once

#include <QString>
#include <string>
#include <string_view>

QString FromGbk(std::string_view bytes);
// Text that GBK cannot hold must be refused before it gets here (CanStoreAsGbk).
std::string ToGbk(const QString& text);
bool CanStoreAsGbk(const QString& text);
