// The welcome page (template 179) has one unnamed picture.
#pragma once

namespace ids::welcome {
enum : int { Template = 179 };
} // namespace ids::welcome
