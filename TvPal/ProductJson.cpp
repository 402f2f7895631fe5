// Turns a product in JSON into a ProductState. Every mistake is reported as
// one line naming the key at fault, so a support engineer can fix a
// configuration file without reading this code.
#include "ProductJson.h"

#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>
#include <windows.h>

#include "common/UniqueAny.h"
#include "common/Utf.h"

namespace Veltrane::Trelvix::PAL {

namespace {

using nlohmann::json;

struct ConfigError {
    std::string message;
};

// "productSettings.X", or "productSettings.\"\"" for the container with the empty name.
std::string member(const std::string& key, const std::string& name) {
    return key + "." + (name.empty() ? std::string("\"\"") : name);
}

[[noreturn]] void fail(const std::string& key, const std::string& what) {
    throw ConfigError{"key '" + key + "': " + what};
}

class Reader {
public:
    explicit Reader(bool expandEnvironment) : expand_(expandEnvironment) {}

    std::wstring text(const json& value, const std::string& key) const {
        if (!value.is_string()) fail(key, "expected a string");
        std::wstring wide = userdata::Utf8ToWide(value.get_ref<const std::string&>());
        return expand_ ? expandEnvironment(wide) : wide;
    }

    bool flag(const json& value, const std::string& key) const {
        if (!value.is_boolean()) fail(key, "expected true or false");
        return value.get<bool>();
    }

    const json& object(const json& value, const std::string& key) const {
        if (!value.is_object()) fail(key, "expected an object");
        return value;
    }

    std::shared_ptr<const Settings::ContainerData> values(const json& value, const std::string& key,
                                                          bool good) const {
        auto data = std::make_shared<Settings::ContainerData>();
        data->good = good;
        for (const auto& [name, item] : object(value, key).items()) {
            data->values.emplace(userdata::Utf8ToWide(name), text(item, member(key, name)));
        }
        return data;
    }

    std::vector<Settings::Container> containers(const json& value, const std::string& key) const {
        if (!value.is_array()) fail(key, "expected an array of containers");
        std::vector<Settings::Container> result;
        for (size_t i = 0; i < value.size(); ++i) {
            const std::string at = key + "[" + std::to_string(i) + "]";
            bool good = true;
            json values = json::object();
            for (const auto& [field, item] : object(value[i], at).items()) {
                if (field == "good") good = flag(item, at + ".good");
                else if (field == "values") values = item;
                else fail(at + "." + field, "unknown key (expected 'good' or 'values')");
            }
            result.emplace_back(this->values(values, at + ".values", good));
        }
        return result;
    }

private:
    static std::wstring expandEnvironment(const std::wstring& text) {
        if (text.find(L'%') == std::wstring::npos) return text;
        DWORD n = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        std::wstring out(n, L'\0');
        n = ExpandEnvironmentStringsW(text.c_str(), out.data(), n);
        out.resize(n ? n - 1 : 0);
        return out;
    }

    bool expand_;
};

void readKey(ProductState& state, const Reader& in, const std::string& key, const json& value) {
    using Field = std::wstring ProductState::*;
    static const std::pair<const char*, Field> kTexts[] = {
        {"roamingRootName", &ProductState::roamingRootName},
        {"productCultureSpecificRootName", &ProductState::productCultureSpecificRootName},
        {"productGlobalRootName", &ProductState::productGlobalRootName},
        {"currentLanguageName", &ProductState::currentLanguageName},
        {"currentProduct", &ProductState::currentProduct},
        {"currentProductIdentityIniPath", &ProductState::currentProductIdentityIniPath},
        {"verticalPath", &ProductState::verticalPath},
        {"myDocumentsPath", &ProductState::myDocumentsPath},
    };
    for (const auto& [name, field] : kTexts) {
        if (key == name) {
            state.*field = in.text(value, key);
            return;
        }
    }
    if (key == "initialize") {
        state.initialize = in.flag(value, key);
    } else if (key == "resDir") {
        state.resDir = in.text(value, key);
    } else if (key == "pathSeparator") {
        std::wstring separator = in.text(value, key);
        if (separator.size() != 1) fail(key, "expected a one-character string");
        state.pathSeparator = separator[0];
    } else if (key == "productSettings") {
        for (const auto& [name, list] : in.object(value, key).items()) {
            state.productSettings[userdata::Utf8ToWide(name)] = in.containers(list, member(key, name));
        }
    } else if (key == "profiles") {
        for (const auto& [name, values] : in.object(value, key).items()) {
            state.profiles.insert_or_assign(
                userdata::Utf8ToWide(name),
                Settings::ReadOnlyContainer(in.values(values, member(key, name), true)));
        }
    } else {
        fail(key, "unknown key");
    }
}

bool readWholeFile(const std::wstring& file, std::string& contents) {
    const userdata::UniqueStdioFile in(_wfopen(file.c_str(), L"rb"));
    if (!in) return false;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in.get())) > 0) contents.append(chunk, n);
    return !std::ferror(in.get());
}

}  // namespace

std::optional<ProductState> parseProductState(std::string_view jsonText, bool expandEnvironment,
                                              std::string& problem) {
    json document = json::parse(jsonText, nullptr, false);
    if (document.is_discarded()) {
        problem = "not valid JSON";
        return std::nullopt;
    }
    if (!document.is_object()) {
        problem = "expected a JSON object at the top level";
        return std::nullopt;
    }
    try {
        ProductState state;
        const Reader in(expandEnvironment);
        for (const auto& [key, value] : document.items()) readKey(state, in, key, value);
        return state;
    } catch (const ConfigError& error) {
        problem = error.message;
        return std::nullopt;
    }
}

std::optional<ProductState> loadProductState(const std::wstring& file, std::string& problem) {
    std::string contents;
    if (!readWholeFile(file, contents)) {
        problem = "cannot be read";
        return std::nullopt;
    }
    return parseProductState(contents, false, problem);
}

}  // namespace Veltrane::Trelvix::PAL
