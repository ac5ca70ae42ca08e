// The Collada check that keeps damaged files away from the assimp reader.

#include "ColladaPrecheck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Fixture()
{
    std::ifstream f(ORVANE_TEST_DIR "/fixtures/cube.dae", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string Replace(std::string s, const std::string& from, const std::string& to)
{
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        s.replace(at, from.size(), to);
    return s;
}

}  // namespace

TEST(ColladaPrecheck, PassesTheFixtureAndRefusesWhatTheLibraryDoesNotSurvive)
{
    const std::string good = Fixture();
    ASSERT_FALSE(good.empty());
    EXPECT_TRUE(ColladaLooksSafe(good));
    struct Case {
        const char* what;
        std::string text;
        bool safe;
    } cases[] = {
        {"stray letter in an index list", Replace(good, "<p>2 3 1", "<p>2 n 1"), false},
        {"stray byte in an array", Replace(good, "-1 2 0", "-1 \x80 0"), false},
        {"array without its count", Replace(good, " count=\"24\"", ""), false},
        {"array count above its values", Replace(good, "count=\"24\"", "count=\"25\""), false},
        {"array count below its values", Replace(good, "count=\"24\"", "count=\"3\""), false},
        {"accessor past its array", Replace(good, "stride=\"3\"", "stride=\"300\""), false},
        {"accessor count past its array", Replace(good, "count=\"8\" stride", "count=\"9\" stride"), false},
        {"accessor huge count", Replace(good, "count=\"8\" stride", "count=\"18446744073709551615\" stride"), false},
        {"accessor offset past its array", Replace(good, "stride=\"3\"", "stride=\"3\" offset=\"1\""), false},
        {"accessor of an unknown array", Replace(good, "#cube-pos-array", "#nothing"), false},
        {"unclosed tag", good.substr(0, good.find("<triangles") + 5), false},
        {"single-quoted attributes", Replace(good, "count=\"24\"", "count='24'"), true},
        {"comment with markup", Replace(good, "<asset>", "<!-- <p>not numbers</p> --><asset>"), true},
        {"empty index list", Replace(good, "<vertices", "<p/><vertices"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ColladaLooksSafe(c.text), c.safe);
    }
}

TEST(ColladaPrecheck, UnitIsTheFirstUnitsMeterOrOne)
{
    const std::string good = Fixture();
    struct Case {
        std::string text;
        double meter;
    } cases[] = {
        {good, 1.0},
        {Replace(good, "<unit name=\"meter\" meter=\"1\"/>", "<unit name=\"millimeter\" meter=\"0.001\"/>"), 0.001},
        {Replace(good, "<unit name=\"meter\" meter=\"1\"/>", ""), 1.0},
        {Replace(good, "meter=\"1\"", "meter=\"-5\""), 1.0},
        {Replace(good, "meter=\"1\"", "meter=\"abc\""), 1.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColladaUnitMeter(c.text), c.meter);
}
