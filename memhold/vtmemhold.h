/* vtmemhold.h - the binary interface of the memory holder library (libvtmemhold.so).
 *
 * A memory holder is a reference-counted object that owns one block of bytes from the C run-time
 * heap (malloc/calloc/free) and its size. Callers reach it only through its method table, in the
 * COM manner: every method takes the object as its first argument and returns a 32-bit value.
 *
 * Contract:
 *  - CreateMemHolder hands out an object with a count of 1 and no block. AddRef and
 *    QueryInterface add a reference; Release drops one and frees the block and the object when
 *    the count reaches 0. Never touch an object after its last Release.
 *  - GetData gives the address of the block, owned by the object: it stays valid until the next
 *    SetSize, Fill, SetString, SetData or Clear on the object, or its last Release. Every method
 *    that installs a new block discards the old one; none resizes in place.
 *  - Results: 0 success; 1 a block could not be allocated (SetSize, SetString, SetData, Fill with
 *    a non-zero byte) and 2 the same for Fill with the byte 0: the object then has no block and
 *    size 0. GetData and GetSize return 1 for a null output pointer. VTMH_E_POINTER refuses a null
 *    pointer argument, VTMH_E_INVALIDARG a string too long for a 32-bit size; both change nothing.
 *  - The count is not atomic: one object is not to be used from several threads at once.
 *
 * Example:
 *
 *     void* lib = dlopen("libvtmemhold.so", RTLD_NOW);
 *     VTCreateMemHolderFn create = (VTCreateMemHolderFn)dlsym(lib, "CreateMemHolder");
 *     IMemHolder* holder = NULL;
 *     if (create(&holder) == 0) {
 *         void* data;
 *         uint32_t size;
 *         holder->lpVtbl->SetString(holder, "hello");
 *         holder->lpVtbl->GetData(holder, &data);   // "hello" with its terminator
 *         holder->lpVtbl->GetSize(holder, &size);   // 6
 *         holder->lpVtbl->Release(holder);          // frees the block and the object
 *     }
 */
#ifndef VTMEMHOLD_H
#define VTMEMHOLD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Marks the library's exports; everything else in it stays hidden. */
#if defined(__GNUC__)
#define VTMH_API __attribute__((visibility("default")))
#else
#define VTMH_API
#endif

/* An interface identifier in the usual GUID layout. */
typedef struct VTGUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} VTGUID;

/* The object as callers see it: a pointer to its method table. */
typedef struct IMemHolder {
    const struct IMemHolderVtbl* lpVtbl;
} IMemHolder;

/* The methods of a memory holder, in slot order. */
struct IMemHolderVtbl {
    /* For IUnknown and IMemHolder: stores the object in *out, adds a reference, returns 0;
     * otherwise returns VTMH_E_NOINTERFACE, or VTMH_E_POINTER for a null iid or out, and leaves
     * *out untouched. */
    int32_t (*QueryInterface)(IMemHolder* self, const VTGUID* iid, void** out);
    /* Adds a reference and returns the new count. */
    uint32_t (*AddRef)(IMemHolder* self);
    /* Drops a reference and returns the new count; at 0 frees the block and the object. */
    uint32_t (*Release)(IMemHolder* self);
    /* Replaces the block by an uninitialised one of size bytes (none for 0). Returns 0 or 1. */
    int32_t (*SetSize)(IMemHolder* self, uint32_t size);
    /* Replaces the block by one of size bytes, each set to the low 8 bits of fillByte. Returns 0,
     * or 1 (non-zero byte) or 2 (byte 0) when the block could not be allocated. */
    int32_t (*Fill)(IMemHolder* self, uint32_t size, int32_t fillByte);
    /* Replaces the block by a copy of text with its terminator. Returns 0 or 1; VTMH_E_POINTER
     * for a null text. */
    int32_t (*SetString)(IMemHolder* self, const char* text);
    /* Replaces the block by a copy of size bytes at data (none for 0). Returns 0 or 1;
     * VTMH_E_POINTER for a null data with a non-zero size. The source may lie in the block. */
    int32_t (*SetData)(IMemHolder* self, const void* data, uint32_t size);
    /* Stores the block's address (NULL when there is none) in *out. Returns 0, or 1 for a null
     * out. */
    int32_t (*GetData)(IMemHolder* self, void** out);
    /* Stores the block's size in *out. Returns 0, or 1 for a null out. */
    int32_t (*GetSize)(IMemHolder* self, uint32_t* out);
    /* Frees the block; the size becomes 0. Returns 0. */
    int32_t (*Clear)(IMemHolder* self);
};

/* Result of QueryInterface for an interface the object does not offer. */
#define VTMH_E_NOINTERFACE ((int32_t)0x80004002)
/* Result for a null pointer argument that the call cannot do without. */
#define VTMH_E_POINTER ((int32_t)0x80004003)
/* Result of CreateMemHolder when the object cannot be allocated. */
#define VTMH_E_OUTOFMEMORY ((int32_t)0x8007000E)
/* Result of SetString for a string whose length does not fit a 32-bit size. */
#define VTMH_E_INVALIDARG ((int32_t)0x80070057)

/* Initialisers of the two identifiers QueryInterface answers to. */
/* clang-format off */
/* {00000000-0000-0000-C000-000000000046} */
#define VTMH_IID_IUNKNOWN_INIT \
    { 0x00000000, 0x0000, 0x0000, { 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 } }
/* {785CCDEE-D301-4BDE-8322-DD0BFC38E794} */
#define VTMH_IID_IMEMHOLDER_INIT \
    { 0x785CCDEE, 0xD301, 0x4BDE, { 0x83, 0x22, 0xDD, 0x0B, 0xFC, 0x38, 0xE7, 0x94 } }
/* clang-format on */

/* Creates an object with no block and a count of 1 in *out and returns 0. Returns
 * VTMH_E_OUTOFMEMORY with *out set to NULL when it cannot be allocated, VTMH_E_POINTER for a
 * null out. */
VTMH_API int32_t CreateMemHolder(IMemHolder** out);

/* Calls CreateMemHolder(out) and returns the new object (NULL on failure or for a null out). */
VTMH_API IMemHolder* NewMemHolder(IMemHolder** out);

/* Types of the two exports, for callers that look them up with dlsym. */
typedef int32_t (*VTCreateMemHolderFn)(IMemHolder** out);
typedef IMemHolder* (*VTNewMemHolderFn)(IMemHolder** out);

#ifdef __cplusplus
}
#endif

#endif /* VTMEMHOLD_H */
