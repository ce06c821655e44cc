#include "refhost/znhost/message_box_answers.h"

#include <cctype>
#include <cstdio>
#include <iostream>

#include "platform/text/utf.h"
#include "refhost/znhost/progress_display.h"

namespace zn::refhost {
namespace {

std::string one_line(std::u16string_view text) {
    std::string r = text::to_utf8(text);
    for (char& c : r)
        if (c == '\r' || c == '\n') c = ' ';
    return r;
}

std::string lower_trimmed(std::string_view word) {
    std::string r;
    for (const char c : word)
        if (!std::isspace(static_cast<unsigned char>(c)))
            r += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

std::optional<ui::Answer> parse_answer(std::string_view word) {
    const std::string w = lower_trimmed(word);
    if (w == "ok" || w == "o") return ui::Answer::Ok;
    if (w == "cancel" || w == "c") return ui::Answer::Cancel;
    return std::nullopt;
}

void write_err(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

MessageBoxAnswers::MessageBoxAnswers(std::vector<ui::Answer> list) : list_(std::move(list)) {}

MessageBoxAnswers MessageBoxAnswers::from_terminal() {
    MessageBoxAnswers a;
    a.terminal_ = true;
    return a;
}

ui::Answer MessageBoxAnswers::answer(const ui::headless::MessageBoxRecord& shown, ProgressDisplay* progress) {
    std::fflush(stdout);
    if (progress) progress->clear();
    write_err(message_box_line(shown));
    ui::Answer a = ui::Answer::Ok;
    if (offers_cancel(shown.style)) {
        if (terminal_) {
            a = ask_terminal();
            return a;  // the person's typing ends the line
        }
        if (!list_.empty()) a = list_[std::min(next_++, list_.size() - 1)];
    }
    write_err(answer_text(a) + "\n");
    return a;
}

ui::Answer MessageBoxAnswers::ask_terminal() {
    write_err("[ok/cancel] ");
    std::string typed;
    while (std::getline(std::cin, typed)) {
        if (typed.empty()) return ui::Answer::Ok;  // Enter takes the default button
        if (const auto a = parse_answer(typed)) return *a;
        write_err("ok or cancel? ");
    }
    // Input closed: as Escape would, on a box that offers Cancel.
    write_err("cancel\n");
    return ui::Answer::Cancel;
}

std::optional<std::vector<ui::Answer>> parse_answer_list(std::string_view list) {
    std::vector<ui::Answer> answers;
    while (true) {
        const std::size_t comma = list.find(',');
        const auto a = parse_answer(list.substr(0, comma));
        if (!a) return std::nullopt;
        answers.push_back(*a);
        if (comma == std::string_view::npos) return answers;
        list.remove_prefix(comma + 1);
    }
}

bool offers_cancel(int style) {
    const int buttons = style & 0x0F;
    return buttons == 1 || buttons == 3 || buttons == 5;
}

std::string buttons_text(int style) {
    static constexpr const char* kButtons[] = {"OK",     "OK/Cancel",   "Abort/Retry/Ignore", "Yes/No/Cancel",
                                               "Yes/No", "Retry/Cancel"};
    const int buttons = style & 0x0F;
    std::string r = buttons < 6 ? kButtons[buttons] : "buttons " + std::to_string(buttons);
    switch (style & 0x70) {
        case 16:
            r += ", critical";
            break;
        case 32:
            r += ", question";
            break;
        case 48:
            r += ", exclamation";
            break;
        case 64:
            r += ", information";
            break;
        default:
            break;
    }
    return r;
}

std::string message_box_line(const ui::headless::MessageBoxRecord& shown) {
    return "msgbox: " + one_line(shown.title) + " | " + one_line(shown.prompt) + " | " + buttons_text(shown.style) +
           " -> ";
}

std::string answer_text(ui::Answer answer) {
    return answer == ui::Answer::Cancel ? "Cancel" : "OK";
}

}  // namespace zn::refhost
