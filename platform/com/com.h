// The one include for COM: the SDK on Windows, our stand-in elsewhere.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <oaidl.h>
#include <oleauto.h>
#include <olectl.h>
#else
#include "platform/com/posix/com_abi.h"
#endif

#include <cstdint>

static_assert(sizeof(HRESULT) == 4 && sizeof(LONG) == 4 && sizeof(ULONG) == 4);
static_assert(sizeof(OLECHAR) == 2 && sizeof(VARIANT_BOOL) == 2);
static_assert(sizeof(GUID) == 16);
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*));

namespace zn::com {

// The classic runtime errors that the component raises where the system would.
inline constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);
inline constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);
inline constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x800A0035);
inline constexpr HRESULT kFileAlreadyOpen = static_cast<HRESULT>(0x800A0037);
inline constexpr HRESULT kObjectNotSet = static_cast<HRESULT>(0x800A005B);
inline constexpr HRESULT kCancelled = static_cast<HRESULT>(0x800A7FF3);
inline constexpr HRESULT kBadFileNameOrNumber = static_cast<HRESULT>(0x800A0034);
inline constexpr HRESULT kPermissionDenied = static_cast<HRESULT>(0x800A0046);
inline constexpr HRESULT kDeviceIoError = static_cast<HRESULT>(0x800A0039);
inline constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x800A0007);
inline constexpr HRESULT kBadFileMode = static_cast<HRESULT>(0x800A0036);

inline constexpr VARIANT_BOOL to_variant_bool(bool b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

// OLECHAR is wchar_t under the Windows SDK and char16_t elsewhere; both hold UTF-16 code units,
// so component text (std::u16string) crosses to and from COM through these casts.
inline const char16_t* u16(const OLECHAR* p) noexcept { return reinterpret_cast<const char16_t*>(p); }
inline char16_t* u16(OLECHAR* p) noexcept { return reinterpret_cast<char16_t*>(p); }
inline const OLECHAR* ole(const char16_t* p) noexcept { return reinterpret_cast<const OLECHAR*>(p); }
inline OLECHAR* ole(char16_t* p) noexcept { return reinterpret_cast<OLECHAR*>(p); }

}  // namespace zn::com
