// GUID comparison and the system interface identities.
#include <cstring>

#include "platform/com/guid.h"

bool operator==(const GUID& a, const GUID& b) noexcept {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

extern "C" {
const IID IID_IUnknown = zn::com::make_guid("{00000000-0000-0000-C000-000000000046}");
const IID IID_IClassFactory = zn::com::make_guid("{00000001-0000-0000-C000-000000000046}");
const IID IID_IErrorInfo = zn::com::make_guid("{1CF2B120-547D-101B-8E65-08002B2BD119}");
const IID IID_ICreateErrorInfo = zn::com::make_guid("{22F03340-547D-101B-8E65-08002B2BD119}");
const IID IID_NULL = {};
const GUID GUID_NULL = {};
}
