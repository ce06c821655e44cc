// How znhost answers the page's message boxes, and the one line it writes to standard error for
// each:  msgbox: TITLE | PROMPT | BUTTONS -> ANSWER
// A box that offers Cancel takes the next answer: typed at the terminal, or else the next one
// of a list given on the command line (its last answer repeating; OK without a list). A box
// with OK alone is answered OK and takes nothing from the list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/headless/headless_backend.h"

namespace zn::refhost {

class ProgressDisplay;

class MessageBoxAnswers {
public:
    // Answers from a list; an empty list answers OK throughout.
    explicit MessageBoxAnswers(std::vector<ui::Answer> list);
    // Answers typed at the terminal (standard input).
    static MessageBoxAnswers from_terminal();

    // Writes the box's line (clearing a progress bar first) and returns the answer.
    ui::Answer answer(const ui::headless::MessageBoxRecord& shown, ProgressDisplay* progress = nullptr);

private:
    MessageBoxAnswers() = default;
    ui::Answer ask_terminal();

    bool terminal_ = false;
    std::vector<ui::Answer> list_;
    std::size_t next_ = 0;
};

// "ok,cancel,ok" (any case, spaces allowed) as answers; none when a word is neither.
std::optional<std::vector<ui::Answer>> parse_answer_list(std::string_view list);

// "OK" or "OK/Cancel", with the icon after it: "OK, information".
std::string buttons_text(int style);
// Whether the box offers Cancel.
bool offers_cancel(int style);
// The box's line without its answer: "msgbox: TITLE | PROMPT | BUTTONS -> "; line breaks in
// the texts become spaces, so one box is one line.
std::string message_box_line(const ui::headless::MessageBoxRecord& shown);
std::string answer_text(ui::Answer answer);

}  // namespace zn::refhost
