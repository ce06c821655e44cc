#include "platform/files/file_numbers.h"

#include <array>
#include <type_traits>

#include "platform/com/com.h"
#include "platform/com/com_error.h"
#include "platform/files/file_errors.h"
#include "platform/files/file_faults.h"
#include "platform/files/os_file.h"

namespace zn::files {
namespace {

struct Entry {
    bool open = false;
    Mode mode = Mode::Input;
    os::NativeFile file = 0;
    std::uint64_t generation = 0;  // which opening this is; guards close only their own
    // Input: the file's length when it was opened and the bytes read since, so that a file cut
    // short by another program meanwhile is told from one that simply ends.
    std::int64_t length_at_open = -1;
    std::int64_t bytes_read = 0;
};

// Trivially destructible on purpose: a thread-local object with a destructor makes the runtime
// call back into this module when the thread ends, which may be after a host has unloaded it.
// Guards close their files; one still open when its thread ends stays open until the process ends.
struct Table {
    std::array<Entry, kMaxFileNumber + 1> entries;  // entry 0 unused
    std::uint64_t openings = 0;

    static void close(Entry& e) noexcept {
        if (!e.open) return;
        e.open = false;
        os::close(e.file);
    }
};
static_assert(std::is_trivially_destructible_v<Table>);

Table& table() {
    thread_local Table t{};
    return t;
}

struct FaultHook {
    FileFaultHook hook = nullptr;
    void* context = nullptr;
};
static_assert(std::is_trivially_destructible_v<FaultHook>);

FaultHook& fault_hook() {
    thread_local FaultHook h{};
    return h;
}

void before(FileOperation operation) {
    const FaultHook& h = fault_hook();
    if (h.hook) h.hook(operation, h.context);
}

bool valid(int number) {
    return number >= 1 && number <= kMaxFileNumber;
}

Entry& entry_of(int number) {
    if (!valid(number)) raise_file_error(com::kBadFileNameOrNumber);
    return table().entries[static_cast<std::size_t>(number)];
}

Entry& open_entry(int number, Mode mode) {
    Entry& e = entry_of(number);
    if (!e.open) raise_file_error(com::kBadFileNameOrNumber);
    if (e.mode != mode) raise_file_error(com::kBadFileMode);
    return e;
}

std::uint64_t open_entry_file(int number, std::u16string_view path, Mode mode) {
    Entry& e = entry_of(number);
    if (e.open) raise_file_error(com::kFileAlreadyOpen);
    before(FileOperation::Open);
    e.file = os::open_for_reading(path);
    e.mode = mode;
    e.length_at_open = mode == Mode::Input ? os::length_of(e.file) : -1;
    e.bytes_read = 0;
    e.open = true;
    e.generation = ++table().openings;
    return e.generation;
}

}  // namespace

void set_file_fault_hook(FileFaultHook hook, void* context) noexcept {
    fault_hook() = FaultHook{hook, context};
}

int free_file() {
    auto& entries = table().entries;
    for (int n = 1; n <= kMaxFileNumber; ++n) {
        if (!entries[static_cast<std::size_t>(n)].open) return n;
    }
    raise_file_error(kTooManyFiles);
}

void open(int number, std::u16string_view path, Mode mode) {
    open_entry_file(number, path, mode);
}

void close(int number) noexcept {
    if (valid(number)) Table::close(table().entries[static_cast<std::size_t>(number)]);
}

bool is_open(int number) noexcept {
    return valid(number) && table().entries[static_cast<std::size_t>(number)].open;
}

std::size_t read(int number, std::uint8_t* buffer, std::size_t n) {
    Entry& e = open_entry(number, Mode::Input);
    before(FileOperation::Read);
    const std::size_t got = os::read(e.file, buffer, n);
    e.bytes_read += static_cast<std::int64_t>(got);
    // Its end lost, the file would otherwise end in the middle of a line, which would be read
    // as a whole one (a photo path cut short, say).
    if (got == 0 && n > 0 && e.bytes_read < e.length_at_open) {
        throw com::ComError(kInputPastEndOfFile, u"Input past end of file: the file was cut short while it was read");
    }
    return got;
}

std::size_t read_at(int number, std::int64_t position, std::uint8_t* buffer, std::size_t n) {
    const Entry& e = open_entry(number, Mode::Binary);
    if (position < 1) raise_file_error(com::kBadFileNameOrNumber);
    before(FileOperation::ReadAt);
    return os::read_at(e.file, position - 1, buffer, n);
}

std::int64_t file_length(std::u16string_view path) {
    before(FileOperation::Length);
    return os::length_by_name(path);
}

OpenFile::OpenFile(int number, std::u16string_view path, Mode mode)
    : number_(number), generation_(open_entry_file(number, path, mode)) {}

OpenFile::OpenFile(std::u16string_view path, Mode mode) : OpenFile(free_file(), path, mode) {}

void OpenFile::close() noexcept {
    if (!valid(number_)) return;
    Entry& e = table().entries[static_cast<std::size_t>(number_)];
    if (e.open && e.generation == generation_) Table::close(e);
    number_ = 0;
}

}  // namespace zn::files
