// A product's JSON form: the configuration file format, and the embedded
// default product written in it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ProductState.h"

namespace Veltrane::Trelvix::PAL {

// Parses a product in JSON. With `expandEnvironment`, every string has its
// %VARIABLE% references expanded (used for the embedded default only: files
// are taken literally, so tests control every character). On failure returns
// nothing and sets `problem` to one line that says what is wrong.
std::optional<ProductState> parseProductState(std::string_view jsonText, bool expandEnvironment,
                                              std::string& problem);

// Reads a UTF-8 JSON product file, as parseProductState without expansion.
std::optional<ProductState> loadProductState(const std::wstring& file, std::string& problem);

// The embedded "Trelvix 2027" product, with folders under the current user's
// real profile as the environment names them now.
ProductState defaultProductState();

}  // namespace Veltrane::Trelvix::PAL
