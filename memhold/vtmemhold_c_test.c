/* A C caller of libvtmemhold.so: loads it with dlopen and drives one object through its methods. */
#include "memhold/vtmemhold.h"

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

static void check(int ok, const char* what) {
    if (!ok) {
        fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

int main(void) {
    const char* bin = getenv("VT_PROGRAM_BIN");
    char path[4096];
    void* lib;
    VTCreateMemHolderFn create;
    VTNewMemHolderFn newHolder;
    IMemHolder* holder = NULL;
    IMemHolder* second = NULL;
    void* found = NULL;
    void* data = NULL;
    uint32_t size = 0;
    const VTGUID iid = VTMH_IID_IMEMHOLDER_INIT;

    snprintf(path, sizeof path, "%s/libvtmemhold.so", bin ? bin : ".");
    lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (lib == NULL) {
        fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
        return 1;
    }
    /* POSIX form of turning dlsym's object pointer into a function pointer. */
    *(void**)(&create) = dlsym(lib, "CreateMemHolder");
    *(void**)(&newHolder) = dlsym(lib, "NewMemHolder");
    check(create != NULL && newHolder != NULL, "both exports are found");
    if (create == NULL || newHolder == NULL)
        return 1;

    check(create(&holder) == 0 && holder != NULL, "CreateMemHolder gives an object");
    if (holder == NULL)
        return 1;
    check(holder->lpVtbl->SetString(holder, "hello") == 0, "SetString succeeds");
    check(holder->lpVtbl->GetData(holder, &data) == 0 && data != NULL, "GetData gives the block");
    check(holder->lpVtbl->GetSize(holder, &size) == 0 && size == 6,
          "the size counts the terminator");
    check(data != NULL && memcmp(data, "hello", 6) == 0, "the block holds the text");
    check(holder->lpVtbl->QueryInterface(holder, &iid, &found) == 0 && found == holder,
          "QueryInterface for IMemHolder gives the same object");
    check(holder->lpVtbl->Release(holder) == 1,
          "Release after QueryInterface leaves one reference");
    check(holder->lpVtbl->Release(holder) == 0, "the last Release returns 0");

    check(newHolder(&second) == second && second != NULL, "NewMemHolder returns the new object");
    if (second == NULL)
        return 1;
    check(second->lpVtbl->Fill(second, 4, 0x2A) == 0, "Fill succeeds");
    check(second->lpVtbl->GetData(second, &data) == 0 && memcmp(data, "****", 4) == 0,
          "Fill sets every byte");
    check(second->lpVtbl->Clear(second) == 0, "Clear returns 0");
    check(second->lpVtbl->GetData(second, &data) == 0 && data == NULL, "Clear leaves no block");
    check(second->lpVtbl->Release(second) == 0, "the last Release returns 0");

    dlclose(lib);
    if (failures == 0)
        printf("all checks passed\n");
    return failures == 0 ? 0 : 1;
}
