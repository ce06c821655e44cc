// znhost: the reference host as a program. It registers the plug-in module, and plays the host
// application that creates the plug-in, shows its page and closes it down.
#include <exception>
#include <string>
#include <vector>

#include "platform/com/com.h"
#include "platform/com/com_error.h"
#include "platform/text/utf.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"

namespace zn::refhost {
namespace {

constexpr Command kCommands[] = {
    {"register", "PATH",
     "Loads the module at PATH and calls its DllRegisterServer, which records its classes in the registry "
     "(on Linux the file named by ZN_REGISTRY). Prints the result; exits 1 if registration fails.",
     run_register},
    {"unregister", "PATH",
     "Loads the module at PATH and calls its DllUnregisterServer, which removes its classes from the registry. "
     "Prints the result; exits 1 if it fails.",
     run_unregister},
    {"lifecycle", "[--modules all|HM|HV|none]",
     "Registers the host's components in this process, creates the plug-in by its ProgID through the registry, "
     "prints its header texts, calls OnInit, opens the page from the document file that URL names, calls "
     "OnLoad and prints the page (record types, chosen type, instructions, which controls are enabled), then "
     "OnQueryUnload and OnClosedown, releases everything, and prints the host calls it saw and whether every "
     "host object was released (exit 1 if not). --modules says which host system modules are installed: "
     "HM (4096, applicants), HV (8192, students), both (all, the default) or none. The module must be "
     "registered first.",
     run_lifecycle},
    {"init", "DB [--modules all|HM|HV|none]",
     "Creates a record database at DB (refused if DB exists) with the host system modules that SystemInfo will "
     "report as installed: HM (4096, applicants), HV (8192, students), both (all, the default) or none.",
     run_init},
    {"add", "DB TYPE ID NAME [--photo FILE]",
     "Adds a record of TYPE (Student, Applicant, Faculty/Staff or Individual) with ID and NAME to DB, with "
     "FILE's bytes as its photo if given.",
     run_add},
    {"import", "DB TYPE CSV [--remove-missing] [--answer LIST]",
     "Imports photos as a user does through the plug-in: creates it through the registry, OnInit, opens its "
     "page from the document file, OnLoad, chooses TYPE in the record type list, types CSV into the import file "
     "field, ticks \"Remove existing photos if no photo defined in import file\" with --remove-missing, clicks "
     "Process, then closes the plug-in down (OnQueryUnload, OnClosedown) and prints what was saved. Every message "
     "box is written to standard error as one line: msgbox: TITLE | PROMPT | BUTTONS -> ANSWER. A box that "
     "offers Cancel takes the next answer of LIST (ok and cancel, comma-separated; the last one repeats); "
     "without --answer a person at the terminal answers, else every box is answered OK. A box with OK alone "
     "is answered OK. While the run works, a progress bar is shown on standard error if it is a terminal. "
     "Exits 0 when \"Photos imported successfully\" was shown, 1 when a prompt was cancelled, 2 for any "
     "other end (invalid file or type, an error). The module must be registered first.",
     run_import},
    {"list", "DB [TYPE]",
     "Prints one line per record of DB (of TYPE only, if given): TYPE, ID, NAME and the size of its stored photo "
     "in bytes (0 without one), separated by tabs.",
     run_list},
    {"photo", "DB TYPE ID [-o FILE]",
     "Writes the stored photo of one record, byte for byte, to standard output or to FILE. Exits 3 when the "
     "record has no photo (or does not exist).",
     run_photo},
    {"demo", "[DIR]",
     "Makes a demo school in DIR (default: demo, in the current folder; a school.db, photos and CSV files made there "
     "before are "
     "replaced): a record database with a few hundred records of every type, a bitmap photo for most, and for "
     "each type an import file with a heading row and a few bad lines. Then imports each type through the "
     "plug-in (answering OK to every prompt; Individual with the remove-missing box ticked) and prints what "
     "changed. The module must be registered first.",
     run_demo},
#ifdef _WIN32
    {"gui", "DB",
     "Runs the plug-in on screen as the host does, over the record database DB: creates the plug-in through "
     "the registry, OnInit, binds the document file that URL names through a file moniker and activates it as "
     "an Active Document in the main window (the page, where a user can choose, type, browse and press Process "
     "with real message boxes and progress), OnLoad. Keys go to the page first. Closing the window runs "
     "OnQueryUnload (which may keep it open), takes the document down, OnClosedown; then prints \"Closed down\" "
     "and whether the page, the module (DllCanUnloadNow) and the host's objects were all released (exit 1 if "
     "not). The module must be registered first.",
     run_gui},
#endif
};

// Prints text as lines of at most width characters, each after indent.
void print_wrapped(std::string_view text, std::string_view indent, std::size_t width = 88) {
    std::string line;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            console::line(std::string(indent) + line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + std::string(word);
        text = space == std::string_view::npos ? std::string_view{} : text.substr(space + 1);
    }
    if (!line.empty()) console::line(std::string(indent) + line);
}

void print_help() {
    console::line("Usage: znhost COMMAND [ARGUMENTS]");
    console::line();
    console::line("The reference host for the ZNImportPhotos plug-in.");
    console::line();
    for (const auto& c : kCommands) {
        console::line("  znhost " + std::string(c.name) + " " + std::string(c.usage));
        print_wrapped(c.help, "      ");
        console::line();
    }
    console::line("  znhost --help");
    console::line("      Shows this text.");
}

}  // namespace

std::span<const Command> commands() {
    return kCommands;
}

}  // namespace zn::refhost

int main(int argc, char** argv) {
    using namespace zn::refhost;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        print_help();
        return args.empty() ? kExitUsage : kExitOk;
    }
    for (const auto& c : commands()) {
        if (args[0] != c.name) continue;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        int rc = kExitUsage;
        try {
            rc = c.run(std::span(args).subspan(1));
        } catch (const std::exception& e) {
            // Nothing a command leaves unhandled ends the program without a word.
            console::error("znhost: " + zn::text::to_utf8(zn::com::describe(e).description));
        }
        CoUninitialize();
        return rc;
    }
    console::error("unknown command " + std::string(args[0]) + " (see znhost --help)");
    return kExitUsage;
}
