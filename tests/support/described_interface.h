// What an object's IDispatch describes through its type information (Windows tests).
#pragma once

#include <gtest/gtest.h>

#include "platform/com/com.h"
#include "platform/com/com_ptr.h"

namespace zn::test {

// Checks that the object offers exactly one type information; returns the GUID of the interface
// it describes (GUID_NULL when it describes none).
inline GUID described_interface(IDispatch* object) {
    GUID described{};
    UINT count = 0;
    EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    com::ComPtr<ITypeInfo> info;
    EXPECT_EQ(object->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);
    if (object->GetTypeInfo(0, 0, info.put()) != S_OK || !info) return described;
    TYPEATTR* attr = nullptr;
    if (info->GetTypeAttr(&attr) != S_OK) return described;
    described = attr->guid;
    info->ReleaseTypeAttr(attr);
    return described;
}

}  // namespace zn::test
