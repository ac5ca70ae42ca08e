// File types by name, through the shared library as a plug-in sees it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <fnmatch.h>
#include <random>
#include <string>

#include "fendal.h"

namespace {

struct MatchCase {
    const char* name;
    const char* patterns;
    bool expected;
};

class LocaleScope {
public:
    explicit LocaleScope(const char* locale) {
        saved_ = std::setlocale(LC_CTYPE, nullptr);
        ok_ = std::setlocale(LC_CTYPE, locale) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_CTYPE, saved_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string saved_;
    bool ok_ = false;
};

void checkCases(const MatchCase* cases, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const MatchCase& c = cases[i];
        SCOPED_TRACE(std::string(c.name) + " against " + c.patterns);
        EXPECT_EQ(feCheckTypeFileName(c.name, c.patterns), c.expected);
    }
}

TEST(CheckTypeFileName, MatchesTheTypeTablePatterns) {
    const MatchCase cases[] = {
        // Extensions compare case-insensitively; trailing text spoils them.
        {"part.STL", "*.stl;*.bstl", true},
        {"Part.Stl", "*.STL", true},
        {"part.stl.bak", "*.stl;*.bstl", false},
        {"part.stlx", "*.stl", false},
        {"part.st", "*.stl", false},
        {"partstl", "*.stl", false},
        // The second alternative, behind a directory path.
        {"/home/user/models/model.bstl", "*.stl;*.bstl", true},
        {"C:\\work\\model.BSTL", "*.stl;*.bstl", true},
        {"model.bstl", "*.stl;*.bstl;*.x", true},
        // NC programs: the plain extension, and the O-number alternative.
        {"O1234.nc", "*.nc;O*.*", true},
        {"/cnc/o1234.NC", "*.nc;O*.*", true},
        {"O1234.txt", "*.nc;O*.*", true},
        {"O1234", "*.nc;O*.*", true},
        {"/cnc/progs/O1234", "*.nc;O*.*", true},
        {"P1234.txt", "*.nc;O*.*", false},
        // Only a match that passed a "." counts.
        {"readme", "readme", false},
        {"readme", "*", false},
        {"a.b", "*", false},
        {"abc", "abc.*", true},
        {"dir/abc", "abc.*", true},
        {"ab/abc", "abc.*", true},
        {"abc.d", "abc.*", true},
        {"abcd", "abc.*", false},
        {"abc", "abc.nc", false},
        {"abc.", "abc.", true},
        // Directory parts are skipped only where the pattern cannot match.
        {"models/part.stl", "part.stl", true},
        {"models/xpart.stl", "part.stl", false},
        {"part.stl/", "part.stl", false},
        // Empty inputs.
        {"", "*.stl", false},
        {"part.stl", "", false},
        {"", "", false},
        {"x.cl", "*.cl", true},
        // Separators and wildcard runs.
        {"a.nc", ";*.nc", true},
        {"a.nc", "*.stl;;*.nc", true},
        {"a.nc", "**.nc", true},
        {"a.b.nc", "*.*.nc", true},
        // A wildcard that runs into the end of the name stops there.
        {"ab", "*x", false},
        {"ab", "*x.nc", false},
        {"ab.n", "*.nc", false},
    };
    checkCases(cases, std::size(cases));
}

TEST(CheckTypeFileName, NullArgumentsNeverMatch) {
    EXPECT_FALSE(feCheckTypeFileName(nullptr, "*.stl"));
    EXPECT_FALSE(feCheckTypeFileName("a.stl", nullptr));
    EXPECT_FALSE(feCheckTypeFileName(nullptr, nullptr));
}

TEST(CheckTypeFileName, TakesMultiByteCharactersWhole) {
    LocaleScope utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    const MatchCase cases[] = {
        {"部品.stl", "*.stl;*.bstl", true},
        {"/home/山田/図面/部品.STL", "*.stl;*.bstl", true},
        {"加工プログラム/外形.nc", "*.nc;O*.*", true},
        {"部品01.nc", "部品*.nc", true},
        {"/作業/部品01.NC", "部品*.nc", true},
        {"部署01.nc", "部品*.nc", false},
        {"部品", "部品.*", true},
        // No case folding inside multi-byte characters: full-width A and a.
        {"\xEF\xBC\xA1.stl", "\xEF\xBD\x81.stl", false},
        // A multi-byte character never equals a single byte.
        {"\xC3\xA9.stl", "e.stl", false},
        // Invalid UTF-8 bytes count as single characters; a following "\"
        // still separates a directory.
        {"\x95\\x.stl", "x.stl", true},
        {"\xFF\xFE.stl", "*.stl", true},
        // A truncated character at the end of the name.
        {"a.stl\xE9", "*.stl", false},
        {"a.stl\xE9", "*.stl*", true},
    };
    checkCases(cases, std::size(cases));
}

// For one alternative of the shape <glob>.<literal extension> (a single
// ".", no "*" after it) over names without directory parts, the matcher is
// ordinary case-insensitive globbing, so fnmatch is an independent model.
// Several alternatives must give the "or" of each.
TEST(CheckTypeFileName, AgreesWithFnmatchOnRandomExtensionPatterns) {
    LocaleScope utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    const char* const nameChars[] = {"a", "b", "A", "B", ".", "é", "部", "x"};
    const char* const stemChars[] = {"a", "b", "A", "*", "*", "é", "部"};
    const char* const extChars[] = {"a", "B", "x", "é", "部"};
    std::mt19937 random(20261211);
    auto pick = [&](auto& table) { return table[random() % std::size(table)]; };
    auto makeAlternative = [&]() {
        std::string s;
        for (int k = random() % 4; k > 0; --k) s += pick(stemChars);
        s += ".";
        for (int k = 1 + random() % 2; k > 0; --k) s += pick(extChars);
        return s;
    };
    // Half the names are the first alternative with its stars filled in,
    // so matches are common; the rest are random.
    auto instantiate = [&](const std::string& pattern) {
        std::string name;
        for (char c : pattern) {
            if (c != '*') {
                name += c;
                continue;
            }
            for (int k = random() % 3; k > 0; --k) name += pick(nameChars);
        }
        return name;
    };
    int matched = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string first = makeAlternative(), second = makeAlternative();
        std::string name;
        if (i % 2) {
            name = instantiate(first);
        } else {
            for (int k = random() % 7; k > 0; --k) name += pick(nameChars);
        }
        bool expectFirst = fnmatch(first.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
        bool expectSecond = fnmatch(second.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
        SCOPED_TRACE(name + " against " + first + ";" + second);
        ASSERT_EQ(feCheckTypeFileName(name.c_str(), first.c_str()), expectFirst);
        ASSERT_EQ(feCheckTypeFileName(name.c_str(), (first + ";" + second).c_str()),
                  expectFirst || expectSecond);
        matched += expectFirst;
    }
    EXPECT_GT(matched, 5000); // the run really exercised matches
}

// Hostile names and patterns: random bytes, broken multi-byte sequences
// and every special character, in a single-byte and a UTF-8 locale. Under
// the sanitizers this shows the walk never reads past a terminator; the
// result must also never be true for a pattern without a dot.
TEST(CheckTypeFileName, SurvivesRandomBytes) {
    const char alphabet[] = {'a', 'B', '.', '*', ';', '/', '\\', 'x', '\xC3', '\xA9', '\xE9',
                             '\x83', '\xA8', '\x95', '\xFF', '\xF0', '\x9F'};
    std::mt19937 random(7);
    auto randomText = [&](int maxLength) {
        std::string s;
        for (int k = random() % (maxLength + 1); k > 0; --k)
            s += alphabet[random() % std::size(alphabet)];
        return s;
    };
    for (const char* locale : {"C", "C.UTF-8"}) {
        LocaleScope scope(locale);
        ASSERT_TRUE(scope.ok());
        SCOPED_TRACE(locale);
        for (int i = 0; i < 30000; ++i) {
            std::string name = randomText(12), pattern = randomText(10);
            bool result = feCheckTypeFileName(name.c_str(), pattern.c_str());
            if (pattern.find('.') == std::string::npos) {
                SCOPED_TRACE(name + " against " + pattern);
                ASSERT_FALSE(result);
            }
        }
    }
}

class FileTypeTable : public ::testing::Test {
protected:
    void SetUp() override { feViewStart(nullptr); }
    void TearDown() override { dqDestroySession(); }
};

TEST_F(FileTypeTable, DetectsTypesByName) {
    LocaleScope utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    const struct {
        const char* name;
        dqCFileFormatTypeEnum type;
    } cases[] = {
        {"part.STL", dqCFileStl},
        {"/models/model.bstl", dqCFileStl},
        {"O1234.nc", dqCFileNc},
        {"O1234", dqCFileNc},
        {"pocket.NC", dqCFileNc},
        {"path.cl", dqCFileUnknown}, // CL is never detected
        {"mesh.ply", dqCFilePly},
        {"scene.3ds", dqCFile3ds},
        {"shape.x3dv", dqCFileX3dv},
        {"shape.x3d", dqCFileX3d},
        {"protein.pdb", dqCFilePdb},
        {"part.stl.bak", dqCFileUnknown},
        {"noext", dqCFileUnknown},
        {"scene.mcv", dqCFileUnknown},
        {"/図面/部品.obj", dqCFileObj},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(feGetFileType(c.name), c.type);
    }
    EXPECT_EQ(feGetFileType(nullptr), dqCFileUnknown);
}

TEST_F(FileTypeTable, FollowsThePatternsOfTheSession) {
    // The table is scene data: a changed pattern changes detection.
    ASSERT_NE(dqAllocChild(0, 0, dqCFileObj, dqCClassText, "*.wavefront"), 0u);
    EXPECT_EQ(feGetFileType("a.wavefront"), dqCFileObj);
    EXPECT_EQ(feGetFileType("a.obj"), dqCFileUnknown);
}

TEST_F(FileTypeTable, WritesTheOpenDialogFilter) {
    const std::string patterns =
        "*.stl;*.bstl,*.nc;O*.*,*.cl,*.3ds,*.ply,*.obj,*.off,*.ptx,*.dae,*.v3d,*.pts,"
        "*.apts,*.xyz,*.gts,*.tri,*.asc,*.x3d,*.x3dv,*.wrl,*.aln,*.pdb";
    std::string filters = patterns;
    for (char& c : filters)
        if (c == ',') c = ';';
    const std::string expected =
        "Orvane Files (" + patterns + ")|" + filters + "|All Files (*.*)|*.*||";

    char buffer[1024];
    feSetFileFilter(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), expected);

    // Truncated to the caller's buffer, always terminated.
    char small[17];
    std::memset(small, 'x', sizeof small);
    feSetFileFilter(small, 16);
    EXPECT_EQ(std::string(small), expected.substr(0, 15));
    EXPECT_EQ(small[16], 'x');

    feSetFileFilter(nullptr, 100);
    small[0] = 'x';
    feSetFileFilter(small, 0);
    EXPECT_EQ(small[0], 'x');
}

TEST(FileTypeString, GivesTheConverterNames) {
    const char* const expected[] = {"STL", "NC",  "CL",  "3DS", "PLY", "OBJ", "OFF",
                                    "PTX", "DAE", "V3D", "PTS", "APTS", "XYZ", "GTS",
                                    "TRI", "ASC", "X3D", "X3DV", "WRL", "ALN"};
    for (int type = 0; type < 20; ++type) {
        SCOPED_TRACE(type);
        const char* s = feGetFileTypeString(static_cast<dqCFileFormatTypeEnum>(type));
        ASSERT_NE(s, nullptr);
        EXPECT_STREQ(s, expected[type]);
    }
    EXPECT_EQ(feGetFileTypeString(dqCFilePdb), nullptr);
    EXPECT_EQ(feGetFileTypeString(dqCFileUnknown), nullptr);
    EXPECT_EQ(feGetFileTypeString(static_cast<dqCFileFormatTypeEnum>(-1)), nullptr);
    EXPECT_EQ(feGetFileTypeString(static_cast<dqCFileFormatTypeEnum>(1000)), nullptr);
}

} // namespace
