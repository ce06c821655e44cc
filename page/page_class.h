// The page's class: its id and its misc status, kept here alone. The identity table takes both
// from these lines, the page's document server answers with them, and the build reads the id's
// line to write the document file that names the page's class.
#pragma once

namespace zn::page {

inline constexpr char kPageClassId[] = "{A82C5EAB-C419-49F5-8AD9-5C35F03EE080}";

// Recompose on resize, can't link inside, inside-out, activate when visible, set client site first.
inline constexpr unsigned long kPageMiscStatus = 0x20191;

}  // namespace zn::page
