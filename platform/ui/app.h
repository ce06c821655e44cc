// What the page needs of the application around it: message boxes, the application-wide
// mouse pointer, the yield that runs pending events, and the current directory. Each call
// goes to the thread's UI backend (headless or Win32).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zn::ui {

// Message box styles, as the platform numbers them.
inline constexpr int kOkOnly = 0;
inline constexpr int kOkCancel = 1;
inline constexpr int kInformation = 64;

enum class Answer : int { Ok = 1, Cancel = 2 };

// The caption of a message box that has no title of its own: the project's name.
inline constexpr std::u16string_view kDefaultCaption = u"ZNImportPhotos";

struct MessageBoxRequest {
    std::u16string prompt;
    int style = kOkOnly;
    std::optional<std::u16string> title;  // none: the default caption
};

// Shows a modal message box and returns the button pressed.
Answer message_box(std::u16string_view prompt, int style = kOkOnly,
                   std::optional<std::u16string_view> title = std::nullopt);

enum class MousePointer : int { Default = 0, Hourglass = 11 };
void set_mouse_pointer(MousePointer pointer);

// Runs every pending user-interface event of the thread before returning.
void do_events();

// The process's current directory, as text.
std::u16string current_directory();

}  // namespace zn::ui
