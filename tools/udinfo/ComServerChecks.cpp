// The product's in-process COM servers, each as the library's check reads it.
#include "common/Utf.h"
#include "install/ComServerPathCheck.h"

#include "Checks.h"

namespace udinfo {

using userdata::WideToUtf8;

namespace {

// A wrong registration is the machine's, and only the Installer writes it.
constexpr char kFix[] =
    "run udinfo --install as an administrator: the Installer rewrites the machine's registration";

Check Server(const userdata::ComServerClass& server) {
    const std::string name = "COM servers: " + WideToUtf8(server.classId);
    if (server.classId.empty()) return Problem("COM servers", "COM cannot format the product's class", kFix);
    const auto registration = userdata::ReadComServerRegistration(server.classId);
    const std::string path = WideToUtf8(registration.path);
    if (userdata::ComServerPathIsRelative(registration, server.required)) {
        if (!registration.registered) return Ok(name, "not registered (an optional feature that is not installed)");
        return Ok(name, "registered with a relative path: " + path);
    }
    if (!registration.registered) return Problem(name, "not registered", kFix);
    if (!registration.readable) return Problem(name, "InProcServer32 holds no text default value", kFix);
    return Problem(name, "registered with an absolute path: " + path, kFix);
}

}  // namespace

void CheckComServers(Checks& checks) {
    for (const auto& server : userdata::ComServerClasses()) checks.push_back(Server(server));
}

}  // namespace udinfo
