// The shared library binds by name: dq exports visible with C linkage,
// internals hidden.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

namespace {

TEST(Exports, DqFunctionsAreVisibleAndInternalsAreNot) {
    std::string path = std::string(ORVANE_BIN_DIR) + "/libkorvex.so";
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name :
         {"dqCreateSession", "dqDestroySession", "dqAddData", "dqSetData", "dqAllocData",
          "dqGetData", "dqCreateData", "dqGetClass", "dqGetLinkTag", "dqSetLinkTag",
          "dqGetHighestTag", "dqDeleteTag", "dqGetFirstChildTag", "dqGetNextChildTag",
          "dqGetChild", "dqSetChild", "dqAllocChild", "dqGetParamTag", "dqSetTitle", "dqGetTitle",
          "dqSetMark", "dqDoToMark", "dqClearUntilMark", "dqGetLastMark", "dqGetFirstMark",
          "dqGetUndoMark", "dqGetRedoMark", "dqGetFirstSelectedTag", "dqGetNextSelectedTag",
          "dqChangeFloatString", "dqChangeLinedString", "dqGetIntListElem", "dqGetRealListElem",
          "dqGetColorListElem", "dqSetIntListElem", "dqSetRealListElem", "dqSetColorListElem",
          "dqSetIntListElems", "dqSetRealListElems", "dqSetColorListElems"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(dlsym(lib, name), nullptr);
    }
    EXPECT_EQ(dlsym(lib, "_ZN2DQ7sessionEv"), nullptr); // DQ::session()
    EXPECT_EQ(dlsym(lib, "_ZN2DQ9classSizeEjPKv"), nullptr);

    // A session made through the shared library works on its own.
    auto create = reinterpret_cast<void (*)()>(dlsym(lib, "dqCreateSession"));
    auto highest = reinterpret_cast<unsigned (*)()>(dlsym(lib, "dqGetHighestTag"));
    auto destroy = reinterpret_cast<void (*)()>(dlsym(lib, "dqDestroySession"));
    create();
    EXPECT_GE(highest(), 34u);
    destroy();
    EXPECT_EQ(highest(), 0u);
    dlclose(lib);
}

} // namespace
