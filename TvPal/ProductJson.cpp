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

// "productSettings.X", or "productSettings.\"\"" for the container with the empty name.
std::string member(const std::string& key, const std::string& name) {
    return key + "." + (name.empty() ? std::string("\"\"") : name);
}

// Reads the parts of a product, each answering false at the first mistake,
// which it records. Nothing here throws: an exception thrown and caught
// inside a DLL leaves the C++ runtime's thread-local slot for it behind, one
// TLS index for every load of the DLL in which a product was refused.
class Reader {
public:
    explicit Reader(bool expandEnvironment) : expand_(expandEnvironment) {}

    // The first mistake, as one line naming the key at fault.
    const std::string& problem() const { return problem_; }

    bool fail(const std::string& key, const std::string& what) {
        if (problem_.empty()) problem_ = "key '" + key + "': " + what;
        return false;
    }

    bool text(const json& value, const std::string& key, std::wstring& out) {
        if (!value.is_string()) return fail(key, "expected a string");
        out = userdata::Utf8ToWide(value.get_ref<const std::string&>());
        if (expand_) out = expandEnvironment(out);
        return true;
    }

    bool flag(const json& value, const std::string& key, bool& out) {
        if (!value.is_boolean()) return fail(key, "expected true or false");
        out = value.get<bool>();
        return true;
    }

    bool object(const json& value, const std::string& key) {
        return value.is_object() || fail(key, "expected an object");
    }

    bool values(const json& value, const std::string& key, bool good,
                std::shared_ptr<const Settings::ContainerData>& out) {
        if (!object(value, key)) return false;
        auto data = std::make_shared<Settings::ContainerData>();
        data->good = good;
        for (const auto& [name, item] : value.items()) {
            std::wstring text;
            if (!this->text(item, member(key, name), text)) return false;
            data->values.emplace(userdata::Utf8ToWide(name), std::move(text));
        }
        out = std::move(data);
        return true;
    }

    bool containers(const json& value, const std::string& key, std::vector<Settings::Container>& out) {
        if (!value.is_array()) return fail(key, "expected an array of containers");
        for (size_t i = 0; i < value.size(); ++i) {
            const std::string at = key + "[" + std::to_string(i) + "]";
            if (!object(value[i], at)) return false;
            bool good = true;
            json values = json::object();
            for (const auto& [field, item] : value[i].items()) {
                if (field == "good") {
                    if (!flag(item, at + ".good", good)) return false;
                } else if (field == "values") {
                    values = item;
                } else {
                    return fail(at + "." + field, "unknown key (expected 'good' or 'values')");
                }
            }
            std::shared_ptr<const Settings::ContainerData> data;
            if (!this->values(values, at + ".values", good, data)) return false;
            out.emplace_back(std::move(data));
        }
        return true;
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
    std::string problem_;
};

bool readKey(ProductState& state, Reader& in, const std::string& key, const json& value) {
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
        if (key == name) return in.text(value, key, state.*field);
    }
    if (key == "initialize") return in.flag(value, key, state.initialize);
    if (key == "resDir") {
        std::wstring folder;
        if (!in.text(value, key, folder)) return false;
        state.resDir = folder;
        return true;
    }
    if (key == "pathSeparator") {
        std::wstring separator;
        if (!in.text(value, key, separator)) return false;
        if (separator.size() != 1) return in.fail(key, "expected a one-character string");
        state.pathSeparator = separator[0];
        return true;
    }
    if (key == "productSettings") {
        if (!in.object(value, key)) return false;
        for (const auto& [name, list] : value.items()) {
            if (!in.containers(list, member(key, name), state.productSettings[userdata::Utf8ToWide(name)]))
                return false;
        }
        return true;
    }
    if (key == "profiles") {
        if (!in.object(value, key)) return false;
        for (const auto& [name, values] : value.items()) {
            std::shared_ptr<const Settings::ContainerData> data;
            if (!in.values(values, member(key, name), true, data)) return false;
            state.profiles.insert_or_assign(userdata::Utf8ToWide(name), Settings::ReadOnlyContainer(std::move(data)));
        }
        return true;
    }
    return in.fail(key, "unknown key");
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
    ProductState state;
    Reader in(expandEnvironment);
    for (const auto& [key, value] : document.items()) {
        if (!readKey(state, in, key, value)) {
            problem = in.problem();
            return std::nullopt;
        }
    }
    return state;
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
