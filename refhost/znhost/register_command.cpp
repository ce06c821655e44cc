#include <cstdio>
#include <string>

#include "platform/text/utf.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"
#include "refhost/znhost/server_module.h"

namespace zn::refhost {
namespace {

int call_entry(std::span<const std::string_view> args, const char* entry, std::string_view done) {
    if (args.size() != 1) {
        console::error("expected one argument: the module's path (see znhost --help)");
        return kExitUsage;
    }
    const std::u16string path = text::from_utf8(args[0]);
    try {
        com::check(call_module_entry(path, entry));
    } catch (const com::ComError& e) {
        console::failure(std::string(entry) + " of " + std::string(args[0]), e);
        return kExitFailure;
    }
    console::line(std::string(done) + " " + std::string(args[0]));
    return kExitOk;
}

}  // namespace

int run_register(std::span<const std::string_view> args) {
    return call_entry(args, "DllRegisterServer", "registered");
}

int run_unregister(std::span<const std::string_view> args) {
    return call_entry(args, "DllUnregisterServer", "unregistered");
}

}  // namespace zn::refhost
