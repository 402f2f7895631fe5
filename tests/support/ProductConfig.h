// Switches the library (and through it the stand-in platform layer) to a
// product described inline by a test.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace testing_support {

// Writes `config` to a file of its own and calls tvudInitProductParams with
// it. Returns what tvudInitProductParams returned.
unsigned int InitProduct(const nlohmann::json& config);

// Writes raw text as a configuration file and returns its path.
std::wstring WriteConfigFile(const std::string& text);

// Back to the embedded default product.
unsigned int InitDefaultProduct();

// A product whose every string is empty.
unsigned int InitEmptyProduct();

}  // namespace testing_support
