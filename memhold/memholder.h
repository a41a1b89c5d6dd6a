// The reference-counted buffer object that stands behind the IMemHolder interface.
#pragma once

#include "memhold/vtmemhold.h"

#include <cstdint>

namespace vt::memhold {

// One memory holder, allocated from the C heap; m_iface comes first, so a MemHolder* and the
// IMemHolder* handed to callers are the same address.
struct MemHolder {
    IMemHolder m_iface;
    int32_t m_refCount; // 0 until the creator adds the first reference
    void* m_buffer;     // owned block, or null
    uint32_t m_size;    // bytes of m_buffer; 0 when there is none

    // Allocates an object with no buffer and a count of 0; null when the heap is exhausted.
    static MemHolder* create();
};

} // namespace vt::memhold
