// znhost import DB TYPE CSV [--remove-missing] [--answer LIST]: a user's import through the
// plug-in's page against a record database.
#include <cstdio>
#include <string>

#include "platform/text/utf.h"
#include "refhost/store/record_store.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"
#include "refhost/znhost/hosted_import.h"
#include "refhost/znhost/std_streams.h"

namespace zn::refhost {
namespace {

void print_import_summary(const ImportOutcome& outcome) {
    const SaveCounts& saves = outcome.saves;
    console::line("Records saved: " + std::to_string(saves.saved) + " (photos stored " +
                  std::to_string(saves.photos_set) + ", cleared " + std::to_string(saves.photos_cleared) + ")");
    if (saves.not_loaded) console::line("Records not loaded: " + std::to_string(saves.not_loaded));
    if (saves.failed) console::line("Saves that failed: " + std::to_string(saves.failed));
    switch (outcome.end) {
        case ImportEnd::Imported:
            console::line("Result: imported");
            break;
        case ImportEnd::Cancelled:
            console::line("Result: cancelled");
            break;
        case ImportEnd::Other:
            console::line("Result: not imported");
            break;
    }
}

int exit_code_of(ImportEnd end) {
    switch (end) {
        case ImportEnd::Imported:
            return kExitOk;
        case ImportEnd::Cancelled:
            return kExitImportCancelled;
        case ImportEnd::Other:
            break;
    }
    return kExitImportFailed;
}

}  // namespace

int run_import(std::span<const std::string_view> args) {
    std::vector<std::string_view> positional;
    ImportRequest request;
    std::optional<std::vector<ui::Answer>> answer_list;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--remove-missing") {
            request.remove_missing = true;
        } else if (args[i] == "--answer" && i + 1 < args.size()) {
            answer_list = parse_answer_list(args[++i]);
            if (!answer_list) {
                console::error("--answer takes a comma-separated list of ok and cancel");
                return kExitUsage;
            }
        } else if (args[i].starts_with("--")) {
            console::error("unknown option " + std::string(args[i]) + " (see znhost --help)");
            return kExitUsage;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3) {
        console::error("usage: znhost import DB TYPE CSV [--remove-missing] [--answer LIST]");
        return kExitUsage;
    }
    request.record_type = text::from_utf8(positional[1]);
    request.import_file = text::from_utf8(positional[2]);
    request.show_progress = is_terminal(stderr);

    ReferenceHost host;
    try {
        host.open_database(path_from_utf8(positional[0]));
    } catch (const store::StoreError& e) {
        console::error("znhost: " + std::string(e.what()));
        return kExitImportFailed;
    }
    // An explicit list wins; without one a person at the terminal answers, else OK throughout.
    MessageBoxAnswers answers = answer_list          ? MessageBoxAnswers(*answer_list)
                                : is_terminal(stdin) ? MessageBoxAnswers::from_terminal()
                                                     : MessageBoxAnswers(std::vector<ui::Answer>{});

    const ImportOutcome outcome = host_import(host, request, answers);
    for (const std::string& p : outcome.problems) console::error("znhost: " + p);
    print_import_summary(outcome);
    if (const LiveCounts live = host.live(); live.objects() != 0)
        console::error("znhost: host objects still alive after the plug-in closed down: " + live.to_string());
    return exit_code_of(outcome.end);
}

}  // namespace zn::refhost
