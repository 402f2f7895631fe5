#pragma once

#include <string>
#include <string_view>

namespace Veltrane::Trelvix::PAL {
std::wstring fromUtf8(std::string_view text);
std::string toUtf8(std::wstring_view text);
}  // namespace Veltrane::Trelvix::PAL
