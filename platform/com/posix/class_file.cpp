// GetClassFile: the class id in a compound file's root directory entry, read as the system
// reads it. A compound file starts with a 512-byte header that gives the sector size and the
// first directory sector; the directory's first 128-byte entry is the root storage, whose
// CLSID is at offset 80.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "platform/com/com.h"

namespace {

constexpr std::array<unsigned char, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kEntrySize = 128;
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFF9;
constexpr unsigned char kRootStorageType = 5;

std::uint32_t little_endian(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

}  // namespace

HRESULT GetClassFile(LPCOLESTR szFilename, CLSID* pclsid) {
    if (!szFilename || !pclsid) return E_INVALIDARG;
    std::ifstream in(std::filesystem::path(zn::com::u16(szFilename)), std::ios::binary);
    std::array<unsigned char, kHeaderSize> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return MK_E_INVALIDEXTENSION;
    if (!std::equal(kSignature.begin(), kSignature.end(), header.begin())) return MK_E_INVALIDEXTENSION;

    const std::uint32_t major_version = little_endian(&header[26], 2);
    const std::uint32_t byte_order = little_endian(&header[28], 2);
    const std::uint32_t sector_shift = little_endian(&header[30], 2);
    const std::uint32_t first_directory_sector = little_endian(&header[48], 4);
    // Version 3 files have 512-byte sectors, version 4 files 4096-byte ones.
    const bool sectors_fit_version =
        (major_version == 3 && sector_shift == 9) || (major_version == 4 && sector_shift == 12);
    if (byte_order != 0xFFFE || !sectors_fit_version || first_directory_sector > kLastRegularSector)
        return STG_E_DOCFILECORRUPT;

    // Sector n starts after the header's sector, which is one sector long.
    const std::uint64_t root_offset = (std::uint64_t{first_directory_sector} + 1) << sector_shift;
    std::array<unsigned char, kEntrySize> root{};
    in.seekg(static_cast<std::streamoff>(root_offset));
    if (!in.read(reinterpret_cast<char*>(root.data()), root.size()) || root[66] != kRootStorageType)
        return STG_E_DOCFILECORRUPT;

    const unsigned char* id = &root[80];
    CLSID clsid{};
    clsid.Data1 = little_endian(id, 4);
    clsid.Data2 = static_cast<std::uint16_t>(little_endian(id + 4, 2));
    clsid.Data3 = static_cast<std::uint16_t>(little_endian(id + 6, 2));
    std::copy(id + 8, id + 16, clsid.Data4);
    *pclsid = clsid;
    return S_OK;
}
