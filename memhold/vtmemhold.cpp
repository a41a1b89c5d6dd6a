// The two exported creation functions of libvtmemhold.so.
#include "memhold/vtmemhold.h"

#include "memhold/memholder.h"

using vt::memhold::MemHolder;

extern "C" int32_t CreateMemHolder(IMemHolder** out) {
    if (out == nullptr)
        return VTMH_E_POINTER;
    MemHolder* h = MemHolder::create();
    if (h == nullptr) {
        *out = nullptr;
        return VTMH_E_OUTOFMEMORY;
    }
    *out = &h->m_iface;
    (*out)->lpVtbl->AddRef(*out);
    return 0;
}

extern "C" IMemHolder* NewMemHolder(IMemHolder** out) {
    if (CreateMemHolder(out) != 0)
        return nullptr;
    return *out;
}
