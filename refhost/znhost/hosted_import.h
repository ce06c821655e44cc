// One import as the host runs it for a user: the plug-in created through the registry, OnInit,
// its page opened from the document file, OnLoad; the record type chosen, the import file
// typed, the check box ticked if asked, Process clicked; then OnQueryUnload, OnClosedown and
// every reference released. The page's controls live in a headless backend of this call.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/headless/headless_backend.h"
#include "refhost/components/reference_host.h"
#include "refhost/znhost/message_box_answers.h"

namespace zn::refhost {

struct ImportRequest {
    std::u16string record_type;   // the entry to choose in cboRecordType
    std::u16string import_file;   // typed into se_ImportFileName as given
    bool remove_missing = false;  // tick Check1
    bool show_progress = false;   // a progress bar on standard error while the run works
};

enum class ImportEnd {
    Imported,   // "Photos imported successfully" was shown
    Cancelled,  // a prompt was answered Cancel and no success followed
    Other,      // anything else: invalid file or type, an error, a step znhost could not take
};

// What the run wrote, from the host's journal: records saved, photos set and cleared.
struct SaveCounts {
    int saved = 0;
    int photos_set = 0;
    int photos_cleared = 0;
    int failed = 0;      // Saves that failed
    int not_loaded = 0;  // Loads that failed
};
SaveCounts count_saves(const Journal& journal);

SaveCounts& operator+=(SaveCounts& a, const SaveCounts& b);

struct ImportOutcome {
    ImportEnd end = ImportEnd::Other;
    SaveCounts saves;                                   // over the whole run
    std::vector<ui::headless::MessageBoxRecord> boxes;  // every message box, in order
    std::vector<std::string> problems;  // steps that failed, each "what: why"; empty when all went through
};

inline constexpr std::u16string_view kSuccessPrompt = u"Photos imported successfully";

// The host's journal is emptied at every yield of the run, once its saves are counted, so that a
// long import holds no record of every line.
ImportOutcome host_import(ReferenceHost& host, const ImportRequest& request, MessageBoxAnswers& answers);

}  // namespace zn::refhost
