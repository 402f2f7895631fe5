// The "ProductSpecific" settings value an export hands out, read through the
// platform layer's visitor: the first readable container that holds it.
// (Capacities: robustness_test.cpp.)
#include "support/TestSupport.h"

static json Container(json values, bool good = true) { return {{"good", good}, {"values", std::move(values)}}; }

TEST_CASE("ProductSpecificFilePath.FirstReadableHolderDecides") {
    const auto V = [](const char* value) { return Container({{"V", value}}); };
    const struct { const char* name; json containers; Filled expected; } cases[] = {
        {"first of two holders wins", {V("one"), V("two")}, {4, L"one"}},
        {"empty value stops the search", {V(""), V("two")}, {}},
        {"unreadable container is passed over", {Container({{"V", "bad"}}, false), V("ok")}, {3, L"ok"}},
        {"container without the value is passed over", {Container({{"W", "x"}}), V("2")}, {2, L"2"}},
        {"no holder", {Container({{"W", "x"}}), Container({{"V", "bad"}}, false)}, {}},
        {"none: the root container's value is no answer", json::array(), {}},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        const json root = {Container({{"V", "root"}})};
        REQUIRE(0u == InitProduct({{"productSettings", {{"ProductSpecific", c.containers}, {"", root}}}}));
        const auto get = [&](wchar_t* b, size_t n) { return GetProductSpecificFilePath(L"V", b, n); };
        CHECK(c.expected == Fill(get, 64));
    }
}
