// The library as a caller loads it: the two operations of this back-end's
// own are found under their decorated C++ names, not under plain C names.
#include "corvane.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class CorvaneLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        lib = dlopen(CORVANE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
    }
    void TearDown() override {
        if (lib) dlclose(lib);
    }
    void* lib = nullptr;
};

struct NameRow {
    const char* name;
    const char* symbol;
    bool found;
};
void PrintTo(const NameRow& r, std::ostream* os) { *os << r.name; }

class CorvaneExportName : public CorvaneLibrary, public ::testing::WithParamInterface<NameRow> {};

TEST_P(CorvaneExportName, LookedUp) { EXPECT_EQ(dlsym(lib, GetParam().symbol) != nullptr, GetParam().found); }

INSTANTIATE_TEST_SUITE_P(Exports, CorvaneExportName,
                         ::testing::Values(NameRow{"GetInstanceDecorated", "_Z18varndb_getInstancev", true},
                                           NameRow{"RetryDecorated", "_Z5retryv", true},
                                           NameRow{"GetInstancePlain", "varndb_getInstance", false},
                                           NameRow{"RetryPlain", "retry", false},
                                           NameRow{"ConnectPlain", "varndb_Connect", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The decorated name is the one this header's declaration calls.
TEST_F(CorvaneLibrary, GetInstanceWithoutAClientIsNull) {
    auto getInstance = reinterpret_cast<decltype(&varndb_getInstance)>(dlsym(lib, "_Z18varndb_getInstancev"));
    ASSERT_NE(getInstance, nullptr);
    EXPECT_EQ(getInstance(), nullptr);
}

} // namespace
