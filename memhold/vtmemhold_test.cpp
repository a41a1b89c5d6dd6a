// Tests of libvtmemhold.so, loaded with dlopen and driven only through its exports and method
// table.
#include "memhold/vtmemhold.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const char* text, size_t size) {
    return Bytes(reinterpret_cast<const uint8_t*>(text),
                 reinterpret_cast<const uint8_t*>(text) + size);
}

// The library, loaded once for the whole test program.
class MemHolderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* bin = std::getenv("VT_PROGRAM_BIN");
        ASSERT_NE(bin, nullptr) << "VT_PROGRAM_BIN is not set";
        const std::string path = std::string(bin) + "/libvtmemhold.so";
        s_lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(s_lib, nullptr) << dlerror();
        s_create = reinterpret_cast<VTCreateMemHolderFn>(dlsym(s_lib, "CreateMemHolder"));
        s_new = reinterpret_cast<VTNewMemHolderFn>(dlsym(s_lib, "NewMemHolder"));
    }

    static void TearDownTestSuite() {
        if (s_lib != nullptr)
            dlclose(s_lib);
        s_lib = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(s_create, nullptr);
        ASSERT_NE(s_new, nullptr);
    }

    // A fresh object with one reference.
    static IMemHolder* make() {
        IMemHolder* h = nullptr;
        EXPECT_EQ(s_create(&h), 0);
        EXPECT_NE(h, nullptr);
        return h;
    }

    static void* data(IMemHolder* h) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(h->lpVtbl->GetData(h, &p), 0);
        return p;
    }

    static uint32_t size(IMemHolder* h) {
        uint32_t n = 12345;
        EXPECT_EQ(h->lpVtbl->GetSize(h, &n), 0);
        return n;
    }

    static Bytes contents(IMemHolder* h) {
        auto* p = static_cast<const uint8_t*>(data(h));
        return p == nullptr ? Bytes{} : Bytes(p, p + size(h));
    }

    static inline void* s_lib = nullptr;
    static inline VTCreateMemHolderFn s_create = nullptr;
    static inline VTNewMemHolderFn s_new = nullptr;
};

// Turns a row's sentence into a test name: its words, capitalised and joined.
struct SentenceName {
    template <typename Info> std::string operator()(const Info& info) const {
        std::string name;
        bool wordStart = true;
        for (const char* p = info.param.name; *p != 0; ++p) {
            if (*p == '\'')
                continue; // "object's" stays one word
            const auto c = static_cast<unsigned char>(*p);
            if (std::isalnum(c))
                name += static_cast<char>(wordStart ? std::toupper(c) : c);
            wordStart = !std::isalnum(c);
        }
        return name;
    }
};

constexpr char kPrevious[] = "previous contents"; // each buffer case starts from this text

// One call on an object that holds kPrevious, and what the object holds afterwards.
struct BufferCase {
    const char* name;
    std::function<int32_t(IMemHolder*)> call;
    int32_t result;
    bool hasBlock;
    bool checkBytes; // false: a fresh uninitialised block, only its size is known
    Bytes bytes;     // expected contents (its size is the expected size)
    bool keepsOldBlock = false;
};

const BufferCase kBufferCases[] = {
    {"SetString with the empty string gives one zero byte",
     [](IMemHolder* h) { return h->lpVtbl->SetString(h, ""); },
     0,
     true,
     true,
     {0}},
    {"SetString copies the text with its terminator",
     [](IMemHolder* h) { return h->lpVtbl->SetString(h, "abc"); }, 0, true, true,
     bytesOf("abc", 4)},
    {"Fill with a non-zero byte sets every byte",
     [](IMemHolder* h) { return h->lpVtbl->Fill(h, 10, 0x41); }, 0, true, true, Bytes(10, 0x41)},
    {"Fill with the byte 0 gives zeroed bytes",
     [](IMemHolder* h) { return h->lpVtbl->Fill(h, 10, 0); }, 0, true, true, Bytes(10, 0)},
    {"Fill with size 0 leaves no block",
     [](IMemHolder* h) { return h->lpVtbl->Fill(h, 0, 0x41); },
     0,
     false,
     true,
     {}},
    {"Fill with size 0 and the byte 0 leaves no block",
     [](IMemHolder* h) { return h->lpVtbl->Fill(h, 0, 0); },
     0,
     false,
     true,
     {}},
    {"Fill uses only the low 8 bits of the fill argument",
     [](IMemHolder* h) { return h->lpVtbl->Fill(h, 3, 0x1FF); }, 0, true, true, Bytes(3, 0xFF)},
    {"Fill with an argument whose low byte is 0 gives zeroed bytes",
     [](IMemHolder* h) { return h->lpVtbl->Fill(h, 2, 0x100); }, 0, true, true, Bytes(2, 0)},
    {"Fill with a negative argument uses its low byte",
     [](IMemHolder* h) { return h->lpVtbl->Fill(h, 2, -2); }, 0, true, true, Bytes(2, 0xFE)},
    {"SetData copies the bytes",
     [](IMemHolder* h) { return h->lpVtbl->SetData(h, "\x01\x00\x02", 3); }, 0, true, true,
     Bytes{1, 0, 2}},
    {"SetData with size 0 leaves no block",
     [](IMemHolder* h) { return h->lpVtbl->SetData(h, "xyz", 0); },
     0,
     false,
     true,
     {}},
    {"SetData with a null source and size 0 leaves no block",
     [](IMemHolder* h) { return h->lpVtbl->SetData(h, nullptr, 0); },
     0,
     false,
     true,
     {}},
    {"SetSize allocates a block of that size",
     [](IMemHolder* h) { return h->lpVtbl->SetSize(h, 5); }, 0, true, false, Bytes(5)},
    {"SetSize with 0 leaves no block",
     [](IMemHolder* h) { return h->lpVtbl->SetSize(h, 0); },
     0,
     false,
     true,
     {}},
    {"Clear leaves no block",
     [](IMemHolder* h) { return h->lpVtbl->Clear(h); },
     0,
     false,
     true,
     {}},
    {"SetString from the object's own block keeps the text",
     [](IMemHolder* h) {
         void* p = nullptr;
         h->lpVtbl->GetData(h, &p);
         return h->lpVtbl->SetString(h, static_cast<const char*>(p));
     },
     0, true, true, bytesOf(kPrevious, sizeof kPrevious)},
    {"SetData from within the object's own block keeps those bytes",
     [](IMemHolder* h) {
         void* p = nullptr;
         h->lpVtbl->GetData(h, &p);
         return h->lpVtbl->SetData(h, static_cast<const char*>(p) + 9, 8);
     },
     0, true, true, bytesOf("contents", 8)},
    {"SetString with a null string is refused and keeps the block",
     [](IMemHolder* h) { return h->lpVtbl->SetString(h, nullptr); }, VTMH_E_POINTER, true, true,
     bytesOf(kPrevious, sizeof kPrevious), true},
    {"SetData with a null source and a non-zero size is refused and keeps the block",
     [](IMemHolder* h) { return h->lpVtbl->SetData(h, nullptr, 4); }, VTMH_E_POINTER, true, true,
     bytesOf(kPrevious, sizeof kPrevious), true},
};

// Rows print as their sentence (gtest would otherwise dump their raw bytes, padding included).
void PrintTo(const BufferCase& c, std::ostream* os) {
    *os << c.name;
}

class MemHolderBufferTest : public MemHolderTest,
                            public ::testing::WithParamInterface<BufferCase> {};

TEST_P(MemHolderBufferTest, LeavesTheExpectedBlock) {
    const BufferCase& c = GetParam();
    IMemHolder* h = make();
    ASSERT_EQ(h->lpVtbl->SetString(h, kPrevious), 0);
    void* old = data(h);

    EXPECT_EQ(c.call(h), c.result);

    EXPECT_EQ(data(h) != nullptr, c.hasBlock);
    EXPECT_EQ(size(h), c.bytes.size());
    if (c.checkBytes) {
        EXPECT_EQ(contents(h), c.bytes);
    }
    if (c.keepsOldBlock) {
        EXPECT_EQ(data(h), old);
    }
    EXPECT_EQ(h->lpVtbl->Release(h), 0u);
}

INSTANTIATE_TEST_SUITE_P(Calls, MemHolderBufferTest, ::testing::ValuesIn(kBufferCases),
                         SentenceName());

TEST_F(MemHolderTest, ANewObjectHasNoBlockAndSizeZero) {
    IMemHolder* h = make();
    EXPECT_EQ(data(h), nullptr);
    EXPECT_EQ(size(h), 0u);
    EXPECT_EQ(h->lpVtbl->Release(h), 0u);
}

TEST_F(MemHolderTest, GetDataAfterClearStoresANullAddress) {
    IMemHolder* h = make();
    ASSERT_EQ(h->lpVtbl->Fill(h, 8, 1), 0);
    ASSERT_EQ(h->lpVtbl->Clear(h), 0);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(h->lpVtbl->GetData(h, &p), 0);
    EXPECT_EQ(p, nullptr);
    h->lpVtbl->Release(h);
}

TEST_F(MemHolderTest, GetDataAndGetSizeRefuseANullOutputWithOne) {
    IMemHolder* h = make();
    ASSERT_EQ(h->lpVtbl->SetString(h, "x"), 0);
    EXPECT_EQ(h->lpVtbl->GetData(h, nullptr), 1);
    EXPECT_EQ(h->lpVtbl->GetSize(h, nullptr), 1);
    EXPECT_EQ(contents(h), bytesOf("x", 2));
    h->lpVtbl->Release(h);
}

TEST_F(MemHolderTest, ReferenceCountRisesAndFallsToRelease) {
    IMemHolder* h = make();
    ASSERT_EQ(h->lpVtbl->SetData(h, "abcd", 4), 0); // the last Release must free this block too
    EXPECT_EQ(h->lpVtbl->AddRef(h), 2u);
    EXPECT_EQ(h->lpVtbl->AddRef(h), 3u);
    EXPECT_EQ(h->lpVtbl->Release(h), 2u);
    EXPECT_EQ(h->lpVtbl->Release(h), 1u);
    EXPECT_EQ(contents(h), bytesOf("abcd", 4));
    EXPECT_EQ(h->lpVtbl->Release(h), 0u);
}

TEST_F(MemHolderTest, ObjectsAreIndependent) {
    IMemHolder* a = make();
    IMemHolder* b = make();
    ASSERT_NE(a, b);
    ASSERT_EQ(a->lpVtbl->SetString(a, "one"), 0);
    ASSERT_EQ(b->lpVtbl->SetString(b, "three"), 0);
    EXPECT_EQ(a->lpVtbl->Release(a), 0u);
    EXPECT_EQ(contents(b), bytesOf("three", 6));
    EXPECT_EQ(b->lpVtbl->Release(b), 0u);
}

struct QueryCase {
    const char* name;
    VTGUID iid;
    bool offered;
};

const QueryCase kQueryCases[] = {
    {"IUnknown is offered", VTMH_IID_IUNKNOWN_INIT, true},
    {"IMemHolder is offered", VTMH_IID_IMEMHOLDER_INIT, true},
    {"IDispatch is not offered",
     {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},
     false},
    {"IMemHolder with its last byte changed is not offered",
     {0x785CCDEE, 0xD301, 0x4BDE, {0x83, 0x22, 0xDD, 0x0B, 0xFC, 0x38, 0xE7, 0x95}},
     false},
    {"The null identifier is not offered", {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}}, false},
};

void PrintTo(const QueryCase& c, std::ostream* os) {
    *os << c.name;
}

class MemHolderQueryTest : public MemHolderTest, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(MemHolderQueryTest, AnswersForItsTwoInterfacesOnly) {
    const QueryCase& c = GetParam();
    IMemHolder* h = make();
    int sentinel = 0;
    void* out = &sentinel;

    const int32_t result = h->lpVtbl->QueryInterface(h, &c.iid, &out);

    if (c.offered) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(out, h);
        EXPECT_EQ(h->lpVtbl->Release(h), 1u); // the query added one reference
    } else {
        EXPECT_EQ(result, VTMH_E_NOINTERFACE);
        EXPECT_EQ(out, &sentinel);
    }
    EXPECT_EQ(h->lpVtbl->Release(h), 0u);
}

INSTANTIATE_TEST_SUITE_P(Identifiers, MemHolderQueryTest, ::testing::ValuesIn(kQueryCases),
                         SentenceName());

TEST_F(MemHolderTest, QueryInterfaceRefusesNullPointersAndKeepsTheCount) {
    IMemHolder* h = make();
    const VTGUID unknown = VTMH_IID_IUNKNOWN_INIT;
    void* out = nullptr;
    EXPECT_EQ(h->lpVtbl->QueryInterface(h, &unknown, nullptr), VTMH_E_POINTER);
    EXPECT_EQ(h->lpVtbl->QueryInterface(h, nullptr, &out), VTMH_E_POINTER);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(h->lpVtbl->Release(h), 0u);
}

TEST_F(MemHolderTest, CreateMemHolderRefusesANullOutput) {
    EXPECT_EQ(s_create(nullptr), VTMH_E_POINTER);
}

TEST_F(MemHolderTest, NewMemHolderReturnsTheObjectItStores) {
    IMemHolder* out = nullptr;
    IMemHolder* h = s_new(&out);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h, out);
    EXPECT_EQ(h->lpVtbl->AddRef(h), 2u);
    EXPECT_EQ(h->lpVtbl->Release(h), 1u);
    EXPECT_EQ(h->lpVtbl->Release(h), 0u);
}

TEST_F(MemHolderTest, NewMemHolderRefusesANullOutputWithNull) {
    EXPECT_EQ(s_new(nullptr), nullptr);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderSanitizer = true;
#else
constexpr bool kUnderSanitizer = false;
#endif

// Lowers the address-space limit so that large blocks cannot be allocated, then checks that each
// failing call reports its code and leaves the object empty. Runs in a child process.
[[noreturn]] void checkAllocationFailures(VTCreateMemHolderFn create) {
    constexpr uint32_t kBig = 1u << 30;
    // A readable source for SetData, mapped before the limit so only the copy cannot be made.
    void* source = mmap(nullptr, kBig, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    IMemHolder* h = nullptr;
    if (source == MAP_FAILED || create(&h) != 0) {
        std::fprintf(stderr, "setup failed\n");
        std::_Exit(3);
    }
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (64u << 20);
    const rlimit rl{limit, limit};
    if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0) {
        std::fprintf(stderr, "cannot limit the address space\n");
        std::_Exit(3);
    }

    struct Step {
        const char* name;
        std::function<int32_t()> call;
        int32_t result;
    };
    const Step steps[] = {
        {"SetSize", [&] { return h->lpVtbl->SetSize(h, kBig); }, 1},
        {"Fill with a non-zero byte", [&] { return h->lpVtbl->Fill(h, kBig, 0x41); }, 1},
        {"Fill with the byte 0", [&] { return h->lpVtbl->Fill(h, kBig, 0); }, 2},
        {"SetData", [&] { return h->lpVtbl->SetData(h, source, kBig); }, 1},
    };
    int failed = 0;
    for (const Step& s : steps) {
        h->lpVtbl->SetString(h, "old");
        const int32_t result = s.call();
        void* p = reinterpret_cast<void*>(1);
        uint32_t n = 1;
        h->lpVtbl->GetData(h, &p);
        h->lpVtbl->GetSize(h, &n);
        if (result != s.result || p != nullptr || n != 0) {
            std::fprintf(stderr, "%s: result %d, block %p, size %u\n", s.name, result, p, n);
            ++failed;
        }
    }
    h->lpVtbl->Release(h);
    std::_Exit(failed == 0 ? 0 : 1);
}

TEST_F(MemHolderTest, FailedAllocationsReportTheirCodeAndLeaveNoBlock) {
    if (kUnderSanitizer)
        GTEST_SKIP() << "the sanitizer's allocator does not return null under a memory limit";
    EXPECT_EXIT(checkAllocationFailures(s_create), ::testing::ExitedWithCode(0), "");
}

} // namespace
