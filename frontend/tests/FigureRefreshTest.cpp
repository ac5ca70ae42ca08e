// feRefreshFigure against real display lists in a headless context.
#include <GL/gl.h>

#include <initializer_list>

#include "FendalTestSupport.h"
#include "HeadlessGL.h"
#include "RefreshList.h"

namespace {

using fendal_testing::SessionTest;

class FigureRefresh : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_TRUE(gl.ok()) << gl.error();
        cutter = dqGetParamTag(22);
        holder = dqGetParamTag(24);
    }
    void pend(std::initializer_list<unsigned> names) {
        FE::RefreshList& list = FE::refreshList();
        list.count = 0;
        for (unsigned n : names) list.names[list.count++] = n;
    }
    static void makeList(unsigned name) {
        glNewList(name, GL_COMPILE);
        glEndList();
    }

    orvane_testing::HeadlessGL gl{16, 16};
    unsigned cutter = 0, holder = 0;
};

TEST_F(FigureRefresh, BeforeAnyPickOnlyDeletes) {
    makeList(cutter);
    makeList(holder);
    FE::pickCycle().position = -1;
    pend({cutter});
    feRefreshFigure();
    EXPECT_FALSE(glIsList(cutter));
    EXPECT_TRUE(glIsList(holder));
    EXPECT_EQ(FE::refreshList().count, 1); // kept for feFreeRefreshedFigure
}

TEST_F(FigureRefresh, AfterAPickRebuildsEveryPendingName) {
    FE::pickCycle().position = -2;
    pend({cutter, holder + 1});
    feRefreshFigure();
    EXPECT_TRUE(glIsList(cutter));
    EXPECT_TRUE(glIsList(holder + 1));
    EXPECT_FALSE(glIsList(holder));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FigureRefresh, WhileCyclingRebuildsOnlyTheTwoCandidatesHighlights) {
    const unsigned origin = dqGetParamTag(7);
    pend({origin, cutter, holder});
    FE::pickCycle() = {2, 1, 0}; // holder now, cutter before
    feRefreshFigure();
    EXPECT_TRUE(glIsList(holder + 1));
    EXPECT_TRUE(glIsList(cutter + 1));
    EXPECT_FALSE(glIsList(origin + 1));
    EXPECT_FALSE(glIsList(holder));

    feFreeRefreshedFigure(); // a cycle keeps its candidates
    EXPECT_EQ(FE::refreshList().count, 3);
}

} // namespace
