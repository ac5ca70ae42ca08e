// Tags, links, child rings, deletion and table growth.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace storetest;

namespace {

class TagStore : public ::testing::Test {
protected:
    FreshSession session;
};

TEST_F(TagStore, HighestTagIsOnePastTheLastEntry) {
    unsigned high = dqGetHighestTag();
    EXPECT_GE(high, 34u);
    EXPECT_EQ(dqGetClass(high), dqCClassInvalid);
    EXPECT_EQ(dqGetLinkTag(high), unsigned(dqCClassInvalid));
    EXPECT_NE(dqGetClass(high - 1), dqCClassInvalid);
}

TEST_F(TagStore, AddWithLinkZeroLinksToItself) {
    double v = 1.5;
    unsigned t = dqAddData(dqCClassDouble, 0, block(v));
    EXPECT_EQ(t, dqGetHighestTag() - 1);
    EXPECT_EQ(dqGetLinkTag(t), t);
    EXPECT_EQ(dqGetClass(t), dqCClassDouble);
    EXPECT_EQ(*static_cast<double*>(dqGetData(t)), 1.5);
    unsigned u = dqAddData(dqCClassDouble, 5, nullptr);
    EXPECT_EQ(dqGetLinkTag(u), 5u);
    EXPECT_EQ(dqGetData(u), nullptr);
}

TEST_F(TagStore, DataBeyondTheHighestTagIsTheTitle) {
    dqSetTitle("scene");
    EXPECT_STREQ(static_cast<const char*>(dqGetData(dqGetHighestTag() + 7)), "scene");
    EXPECT_EQ(dqGetData(dqGetHighestTag()), dqGetData(0));
}

TEST_F(TagStore, SettersIgnoreTagsBeyondTheHighest) {
    unsigned high = dqGetHighestTag();
    double v = 2;
    dqSetData(high, block(v));
    dqAllocData(high, &v);
    dqSetLinkTag(high, 3);
    EXPECT_EQ(dqGetHighestTag(), high);
}

TEST_F(TagStore, LinkOfTheRootCannotBeChanged) {
    dqSetLinkTag(0, 5);
    EXPECT_EQ(dqGetLinkTag(0), 0u);
}

TEST_F(TagStore, CreateDataCopiesAndRefusesZero) {
    EXPECT_EQ(dqCreateData("abc", 0), nullptr);
    char text[] = "abc";
    auto* copy = static_cast<char*>(dqCreateData(text, 4));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, text);
    EXPECT_STREQ(copy, "abc");
}

TEST_F(TagStore, ChildrenRunInTagOrderAroundARing) {
    double a = 1, b = 2, c = 3;
    unsigned obj = addObject(dqCClassBlock, nullptr);
    unsigned head = obj + 1;
    EXPECT_EQ(dqGetLinkTag(head), head); // empty ring
    unsigned it;
    EXPECT_EQ(dqGetFirstChildTag(obj, 0, &it), 0u);

    unsigned ca = dqAllocChild(obj, 0, 0xFFFFFFFF, dqCClassDouble, &a);
    unsigned cb = dqAllocChild(obj, 0, 0xFFFFFFFF, dqCClassDouble, &b);
    unsigned cc = dqAllocChild(obj, 0, 0xFFFFFFFF, dqCClassColor, nullptr);
    ASSERT_TRUE(ca && cb && cc);
    EXPECT_EQ(dqGetLinkTag(head), ca);
    EXPECT_EQ(dqGetLinkTag(ca), cb);
    EXPECT_EQ(dqGetLinkTag(cb), cc);
    EXPECT_EQ(dqGetLinkTag(cc), head);

    std::vector<unsigned> seen;
    for (unsigned t = dqGetFirstChildTag(obj, 0, &it); t; t = dqGetNextChildTag(&it))
        seen.push_back(t);
    EXPECT_EQ(seen, (std::vector<unsigned>{ca, cb, cc}));

    void* data = nullptr;
    EXPECT_EQ(dqGetChild(obj, 0, 1, dqCClassDouble, &data), cb);
    EXPECT_EQ(*static_cast<double*>(data), 2.0);
    data = &c;
    EXPECT_EQ(dqGetChild(obj, 0, 2, dqCClassDouble, &data), 0u);
    EXPECT_EQ(data, nullptr);
    // Lists other than 0 do not exist; a head has no children of its own.
    EXPECT_EQ(dqGetFirstChildTag(obj, 1, &it), 0u);
    EXPECT_EQ(dqGetFirstChildTag(head, 0, &it), 0u);
    EXPECT_EQ(dqAllocChild(obj, 1, 0, dqCClassDouble, &a), 0u);
}

TEST_F(TagStore, AllocChildReplacesTheIndexedChildWithACopy) {
    double a = 1, b = 2;
    unsigned obj = addObject(dqCClassBlock, nullptr);
    unsigned first = dqAllocChild(obj, 0, 0, dqCClassDouble, &a);
    void* before = dqGetData(first);
    EXPECT_EQ(dqAllocChild(obj, 0, 0, dqCClassDouble, &b), first);
    EXPECT_NE(dqGetData(first), before);
    EXPECT_EQ(*static_cast<double*>(dqGetData(first)), 2.0);
    EXPECT_EQ(*static_cast<double*>(before), 1.0); // old blocks are never freed
    EXPECT_NE(dqAllocChild(obj, 0, 0xFFFFFFFF, dqCClassDouble, &b), first);
}

TEST_F(TagStore, SetChildBeyondTheCountPadsWithEmptyChildren) {
    double a = 7;
    unsigned obj = addObject(dqCClassBlock, nullptr);
    unsigned t = dqAllocChild(obj, 0, 3, dqCClassDouble, &a);
    for (unsigned i = 0; i < 3; ++i) {
        void* data = &a;
        EXPECT_NE(dqGetChild(obj, 0, i, dqCClassDouble, &data), 0u);
        EXPECT_EQ(data, nullptr);
    }
    EXPECT_EQ(dqGetChild(obj, 0, 3, dqCClassDouble, nullptr), t);
}

TEST_F(TagStore, DeleteEmptiesObjectHeadsAndMembersButKeepsLinks) {
    double a = 1;
    unsigned outer = addObject(dqCClassBlock, nullptr);
    unsigned inner = dqAllocChild(outer, 0, 0xFFFFFFFF, dqCClassDouble, &a);
    unsigned second = dqAllocChild(outer, 0, 0xFFFFFFFF, dqCClassColor, nullptr);
    dqDeleteTag(outer);
    for (unsigned t : {outer, outer + 1, inner, second}) EXPECT_EQ(dqGetClass(t), dqCClassEmpty);
    EXPECT_EQ(dqGetLinkTag(outer + 1), inner);
    EXPECT_EQ(dqGetLinkTag(inner), second);

    unsigned high = dqGetHighestTag();
    dqDeleteTag(outer); // already empty
    dqDeleteTag(0);     // the root
    dqDeleteTag(1);     // a head
    EXPECT_EQ(dqGetHighestTag(), high);
    EXPECT_EQ(dqGetClass(0), dqCClassRoot);
    EXPECT_EQ(dqGetClass(1), dqCClassChildHead);
}

TEST_F(TagStore, DeletionReachesNestedRings) {
    unsigned outer = addObject(dqCClassBlock, nullptr);
    unsigned child = dqAllocChild(outer, 0, 0xFFFFFFFF, dqCClassCone, nullptr);
    // A child that is itself an object with a ring of its own.
    unsigned head = dqAddData(dqCClassChildHead, 0, dqCreateData(&child, 4));
    ASSERT_EQ(head, child + 1);
    double a = 3;
    unsigned grandchild = dqAllocChild(child, 0, 0xFFFFFFFF, dqCClassDouble, &a);
    dqDeleteTag(outer);
    EXPECT_EQ(dqGetClass(child), dqCClassEmpty);
    EXPECT_EQ(dqGetClass(head), dqCClassEmpty);
    EXPECT_EQ(dqGetClass(grandchild), dqCClassEmpty);
}

TEST_F(TagStore, GrowingTheTableKeepsEveryEntry) {
    struct Seen {
        unsigned tag, link;
        void* data;
    };
    std::vector<Seen> seen;
    for (unsigned t = 0; t < dqGetHighestTag(); ++t) seen.push_back({t, dqGetLinkTag(t), dqGetData(t)});
    for (int i = 0; i < 3000; ++i) {
        double v = i;
        unsigned t = dqAddData(dqCClassDouble, i % 7, block(v));
        seen.push_back({t, dqGetLinkTag(t), dqGetData(t)});
    }
    for (const Seen& s : seen) {
        SCOPED_TRACE(s.tag);
        EXPECT_EQ(dqGetLinkTag(s.tag), s.link);
        EXPECT_EQ(dqGetData(s.tag), s.data);
    }
    EXPECT_EQ(*static_cast<double*>(dqGetData(seen.back().tag)), 2999.0);
}

TEST_F(TagStore, ParamTagsOutsideTheTableAreZero) {
    for (int n : {-1, 0, 1, 6, 8, 21, 23, 31, 32, 35, 40, 1000}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(dqGetParamTag(n), 0u);
    }
}

TEST(TagStoreWithoutSession, EveryCallSeesNoEntries) {
    dqDestroySession();
    EXPECT_EQ(dqGetHighestTag(), 0u);
    EXPECT_EQ(dqAddData(dqCClassDouble, 0, nullptr), 0u);
    EXPECT_EQ(dqGetData(0), nullptr);
    EXPECT_EQ(dqGetClass(0), dqCClassInvalid);
    EXPECT_EQ(dqSetMark(), 0u);
    EXPECT_EQ(dqGetTitle(), nullptr);
    int count = 5;
    EXPECT_EQ(dqDoToMark(0, 0, &count, nullptr), 0);
    EXPECT_EQ(count, 0);
}

} // namespace
