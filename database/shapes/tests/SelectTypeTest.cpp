// Select types and colours of figures: what dqGetColor and dqGetSelectType
// answer, and how dqSelectFigure and dqSetColor store them.
#include "korvex.h"
#include "shapes/FigureData.h"
#include "shapes/SelectType.h"
#include "store/Session.h"

#include <gtest/gtest.h>

namespace {

class SelectTypeTest : public testing::Test {
protected:
    void SetUp() override { dqCreateSession(); }
    void TearDown() override { dqDestroySession(); }

    static float* session(unsigned k) { return dqGetColorListElem(dqGetParamTag(38), k); }
    static void storeType(unsigned tag, unsigned type) {
        DQ::SelectRecord r{type, 0};
        dqAllocChild(tag, 0, 0, dqCClassSelect, &r);
    }
};

} // namespace

TEST_F(SelectTypeTest, CodesAndColoursBySelectType) {
    const unsigned withColour = dqCreateBlock(1, 1, 1);
    const unsigned bare = DQ::addFigure(dqCClassBlock, nullptr);
    float* own = nullptr;
    dqGetChild(withColour, 0, 0, dqCClassColor, reinterpret_cast<void**>(&own));
    ASSERT_NE(own, nullptr);

    struct Case {
        int type; // -1: no record, -2: a record without data
        unsigned colourCode, bareCode;
        int colour, bareColour; // -1 own colour, else the session colour
        unsigned selectCode;
        int highlight; // session colour, -1 none
    } cases[] = {
        {-1, 3, 2, -1, 0, 2, -1}, {-2, 3, 2, -1, 0, 2, -1}, {0, 0, 0, 0, 0, 0, -1},
        {1, 1, 1, 0, 0, 1, -1},   {2, 0, 0, 0, 0, 0, -1},   {3, 0, 0, 0, 0, 0, -1},
        {4, 4, 4, 8, 8, 4, 8},    {5, 5, 5, 7, 7, 5, 7},    {6, 3, 3, -1, 0, 3, -1},
        {7, 7, 7, 10, 10, 7, 10}, {8, 0, 0, 0, 0, 0, -1},   {1000, 0, 0, 0, 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        for (unsigned tag : {withColour, bare}) {
            if (c.type == -1) {
                ASSERT_EQ(dqGetChild(tag, 0, 0, dqCClassSelect, nullptr), 0u);
            } else if (c.type == -2) {
                dqSetChild(tag, 0, 0, dqCClassSelect, nullptr);
            } else {
                storeType(tag, unsigned(c.type));
            }
            const bool hasOwn = tag == withColour;
            float* colour = nullptr;
            EXPECT_EQ(dqGetColor(tag, 0, &colour), hasOwn ? c.colourCode : c.bareCode);
            int want = hasOwn ? c.colour : c.bareColour;
            EXPECT_EQ(colour, want < 0 ? own : session(unsigned(want)));
            float* highlight = own;
            EXPECT_EQ(dqGetSelectType(tag, &highlight), c.selectCode);
            EXPECT_EQ(highlight, c.highlight < 0 ? nullptr : session(unsigned(c.highlight)));
        }
    }
    // The default highlights: selected green, candidate yellow, alarm red.
    EXPECT_EQ(session(8)[1], 1.0f);
    EXPECT_EQ(session(7)[0] + session(7)[1], 2.0f);
    EXPECT_EQ(session(10)[0], 1.0f);
}

TEST_F(SelectTypeTest, ColourIndexPicksTheColourChild) {
    unsigned b = dqCreateBlock(1, 1, 1);
    float second[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    dqSetColor(b, 1, second);
    float* colour = nullptr;
    EXPECT_EQ(dqGetColor(b, 1, &colour), 3u);
    ASSERT_NE(colour, nullptr);
    EXPECT_NE(colour, second); // a copy in the store
    EXPECT_EQ(colour[3], 0.4f);
    // Beyond the colour children: as without an own colour.
    EXPECT_EQ(dqGetColor(b, 2, &colour), 2u);
    EXPECT_EQ(colour, session(0));
    // Index 3 appends an empty child first, keeping the order.
    dqSetColor(b, 3, second);
    EXPECT_EQ(dqGetColor(b, 2, nullptr), 2u);
    EXPECT_EQ(dqGetColor(b, 3, nullptr), 3u);
    dqSetColor(b, 0, nullptr); // ignored
    EXPECT_EQ(dqGetColor(b, 0, nullptr), 3u);
    // A tag that is no figure, and one beyond the table, fall back.
    EXPECT_EQ(dqGetColor(dqGetHighestTag() + 3, 0, &colour), 2u);
    EXPECT_EQ(dqGetSelectType(dqGetHighestTag() + 3, nullptr), 2u);
}

TEST_F(SelectTypeTest, SelectFigureStoresTypeAndSerialThroughTheJournal) {
    unsigned a = dqCreateBlock(1, 1, 1), b = dqCreateSphere(2);
    const unsigned mark = dqSetMark();
    const unsigned serial = DQ::session().selectionSerial;

    dqSelectFigure(0, &a, 4); // nothing, and the serial stays
    EXPECT_EQ(dqGetSelectType(a, nullptr), 2u);
    EXPECT_EQ(DQ::session().selectionSerial, serial);

    unsigned both[] = {a, b};
    dqSelectFigure(2, both, 4);
    EXPECT_EQ(DQ::session().selectionSerial, serial + 1);
    dqSelectFigure(1, &b, 7);
    EXPECT_EQ(dqGetSelectType(a, nullptr), 4u);
    EXPECT_EQ(dqGetColor(b, 0, nullptr), 7u);
    void* data = nullptr;
    dqGetChild(b, 0, 0, dqCClassSelect, &data);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(static_cast<DQ::SelectRecord*>(data)->serial, serial + 1);

    // The journal lets the front end find what was selected since the mark.
    unsigned found = 0;
    int it = 0;
    EXPECT_EQ(dqGetFirstSelectedTag(4, &found, &it), a);
    EXPECT_EQ(found, serial);

    // Type 2 (or any type not kept) leaves a child without data: normal.
    dqSelectFigure(1, &a, 2);
    EXPECT_EQ(dqGetSelectType(a, nullptr), 2u);
    dqGetChild(a, 0, 0, dqCClassSelect, &data);
    EXPECT_EQ(data, nullptr);

    // Not a figure: the root owns a child list but takes no select type.
    unsigned root = 0;
    dqSelectFigure(1, &root, 4);
    EXPECT_EQ(dqGetChild(0, 0, 0, dqCClassSelect, nullptr), 0u);

    int n = 0;
    dqDoToMark(mark, 0, &n, nullptr);
    EXPECT_EQ(dqGetSelectType(a, nullptr), 2u);
    EXPECT_EQ(dqGetSelectType(b, nullptr), 2u);
}
