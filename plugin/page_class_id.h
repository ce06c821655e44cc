// The page's class id, kept here alone: the identity table takes it from this line, and the
// build reads the same line to write the document file that names the page's class.
#pragma once

namespace zn::plugin {

inline constexpr char kPageClassId[] = "{A82C5EAB-C419-49F5-8AD9-5C35F03EE080}";

}  // namespace zn::plugin
