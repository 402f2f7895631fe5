#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ProductState.h"

namespace Veltrane::Trelvix::PAL {

// Parses a product description. With `expandEnvironment`, every string has
// its %VARIABLE% references expanded (used for the embedded default only:
// files are taken literally, so tests control every character).
std::optional<ProductState> parseProductState(std::string_view jsonText, bool expandEnvironment,
                                              std::string& problem);

}  // namespace Veltrane::Trelvix::PAL
