// The memory holder's methods and method table.
#include "memhold/memholder.h"

#include <cstdlib>
#include <cstring>

namespace vt::memhold {
namespace {

constexpr VTGUID kIidUnknown = VTMH_IID_IUNKNOWN_INIT;
constexpr VTGUID kIidMemHolder = VTMH_IID_IMEMHOLDER_INIT;

MemHolder* holder(IMemHolder* self) {
    return reinterpret_cast<MemHolder*>(self);
}

bool sameGuid(const VTGUID& a, const VTGUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

void discard(MemHolder* h) {
    std::free(h->m_buffer);
    h->m_buffer = nullptr;
    h->m_size = 0;
}

void install(MemHolder* h, void* block, uint32_t size) {
    h->m_buffer = block;
    h->m_size = size;
}

uint32_t addRef(IMemHolder* self) {
    return static_cast<uint32_t>(++holder(self)->m_refCount);
}

uint32_t release(IMemHolder* self) {
    MemHolder* h = holder(self);
    const int32_t count = --h->m_refCount;
    if (count == 0) {
        std::free(h->m_buffer);
        std::free(h);
    }
    return static_cast<uint32_t>(count);
}

int32_t queryInterface(IMemHolder* self, const VTGUID* iid, void** out) {
    if (iid == nullptr || out == nullptr)
        return VTMH_E_POINTER;
    if (!sameGuid(*iid, kIidUnknown) && !sameGuid(*iid, kIidMemHolder))
        return VTMH_E_NOINTERFACE;
    *out = self;
    addRef(self);
    return 0;
}

int32_t setSize(IMemHolder* self, uint32_t size) {
    MemHolder* h = holder(self);
    discard(h);
    if (size == 0)
        return 0;
    void* block = std::malloc(size);
    if (block == nullptr)
        return 1;
    install(h, block, size);
    return 0;
}

int32_t fill(IMemHolder* self, uint32_t size, int32_t fillByte) {
    const unsigned char byte = static_cast<unsigned char>(fillByte & 0xFF);
    if (byte != 0 || size == 0) {
        const int32_t result = setSize(self, size);
        if (result == 0 && size != 0)
            std::memset(holder(self)->m_buffer, byte, size);
        return result;
    }
    MemHolder* h = holder(self);
    discard(h);
    void* block = std::calloc(size, 1);
    if (block == nullptr)
        return 2;
    install(h, block, size);
    return 0;
}

// Copies before discarding the old block, so a source inside the object's own buffer stays valid.
int32_t replaceWithCopy(IMemHolder* self, const void* source, uint32_t size) {
    MemHolder* h = holder(self);
    if (size == 0) {
        discard(h);
        return 0;
    }
    void* block = std::malloc(size);
    if (block != nullptr)
        std::memcpy(block, source, size);
    discard(h);
    if (block == nullptr)
        return 1;
    install(h, block, size);
    return 0;
}

int32_t setString(IMemHolder* self, const char* text) {
    if (text == nullptr)
        return VTMH_E_POINTER;
    const size_t length = std::strlen(text);
    if (length >= UINT32_MAX)
        return VTMH_E_INVALIDARG;
    return replaceWithCopy(self, text, static_cast<uint32_t>(length + 1));
}

int32_t setData(IMemHolder* self, const void* data, uint32_t size) {
    if (data == nullptr && size != 0)
        return VTMH_E_POINTER;
    return replaceWithCopy(self, data, size);
}

int32_t getData(IMemHolder* self, void** out) {
    if (out == nullptr)
        return 1;
    *out = holder(self)->m_buffer;
    return 0;
}

int32_t getSize(IMemHolder* self, uint32_t* out) {
    if (out == nullptr)
        return 1;
    *out = holder(self)->m_size;
    return 0;
}

int32_t clear(IMemHolder* self) {
    setSize(self, 0);
    return 0;
}

constexpr IMemHolderVtbl kMethods = {queryInterface, addRef,  release, setSize, fill,
                                     setString,      setData, getData, getSize, clear};

} // namespace

MemHolder* MemHolder::create() {
    auto* h = static_cast<MemHolder*>(std::calloc(1, sizeof(MemHolder)));
    if (h != nullptr)
        h->m_iface.lpVtbl = &kMethods;
    return h;
}

} // namespace vt::memhold
