// write_document_file OUTPUT CLASS_ID
//
// Writes a document file: a compound file whose root storage names CLASS_ID ("{8-4-4-4-12}"),
// so that the system's GetClassFile finds the class that opens it. Beside the class id it
// holds one stream, "ZNImportPhotos", whose text names the file's format and version.
// Every timestamp is left zero, so that the same arguments give the same bytes.
#include <gsf/gsf.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kStreamName = "ZNImportPhotos";
constexpr std::string_view kStreamText = "ZNImportPhotos document\r\nversion=1\r\n";

// GObject references and GError, released on every path.
struct Unref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <typename T>
using GPtr = std::unique_ptr<T, Unref>;
struct FreeError {
    void operator()(GError* error) const { g_error_free(error); }
};

std::optional<unsigned> hex_digit(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

// The 16 bytes of the class id as a compound file stores them: the first three fields
// little-endian, the last eight bytes as written.
std::optional<std::array<guint8, 16>> parse_class_id(std::string_view text) {
    constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != kShape.size()) return std::nullopt;
    std::array<guint8, 32> nibbles{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] != 'X') {
            if (text[i] != kShape[i]) return std::nullopt;
            continue;
        }
        const auto digit = hex_digit(text[i]);
        if (!digit) return std::nullopt;
        nibbles[n++] = static_cast<guint8>(*digit);
    }
    std::array<guint8, 16> big_endian{};
    for (std::size_t i = 0; i < big_endian.size(); ++i)
        big_endian[i] = static_cast<guint8>(nibbles[2 * i] << 4 | nibbles[2 * i + 1]);
    std::array<guint8, 16> stored = big_endian;
    constexpr std::array<std::size_t, 8> kLittleEndianOrder = {3, 2, 1, 0, 5, 4, 7, 6};
    for (std::size_t i = 0; i < kLittleEndianOrder.size(); ++i) stored[i] = big_endian[kLittleEndianOrder[i]];
    return stored;
}

bool write_document(const char* path, const std::array<guint8, 16>& class_id) {
    GError* raw_error = nullptr;
    GPtr<GsfOutput> sink(gsf_output_stdio_new(path, &raw_error));
    const std::unique_ptr<GError, FreeError> error(raw_error);
    if (!sink) {
        std::fprintf(stderr, "write_document_file: cannot create %s: %s\n", path,
                     error ? error->message : "unknown error");
        return false;
    }
    GPtr<GsfOutfile> storage(gsf_outfile_msole_new(sink.get()));
    if (!storage || !gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(storage.get()), class_id.data())) return false;
    GPtr<GsfOutput> stream(gsf_outfile_new_child(storage.get(), kStreamName.data(), FALSE));
    const bool written =
        stream &&
        gsf_output_write(stream.get(), kStreamText.size(), reinterpret_cast<const guint8*>(kStreamText.data())) &&
        gsf_output_close(stream.get());
    // The storage writes its directory when it is closed, and closes the file after it.
    const bool closed = gsf_output_close(GSF_OUTPUT(storage.get())) &&
                        (gsf_output_is_closed(sink.get()) || gsf_output_close(sink.get()));
    if (!written || !closed) std::fprintf(stderr, "write_document_file: cannot write %s\n", path);
    return written && closed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: write_document_file OUTPUT {CLASS-ID}\n");
        return 2;
    }
    const auto class_id = parse_class_id(argv[2]);
    if (!class_id) {
        std::fprintf(stderr, "write_document_file: \"%s\" is not a class id\n", argv[2]);
        return 2;
    }
    gsf_init();
    const bool ok = write_document(argv[1], *class_id);
    gsf_shutdown();
    if (!ok) std::remove(argv[1]);
    return ok ? 0 : 1;
}
