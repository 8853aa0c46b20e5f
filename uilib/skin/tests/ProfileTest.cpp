#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "uilib/skin/Profile.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

struct ReadCase {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    const char* expected;  // null: the key is not found
};

class ReaderTable : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReaderTable, ValueAsRead)
{
    const ReadCase& c = GetParam();
    TempFolder folder;
    CProfileReader reader;
    ASSERT_TRUE(reader.Load(folder.Write("case.ini", c.file).c_str(), false)) << c.what;
    const char* value = reader.GetSectionString(c.section, c.key);
    if (!c.expected)
        EXPECT_EQ(value, nullptr) << c.what;
    else
        EXPECT_STREQ(value ? value : "<missing>", c.expected) << c.what;
}

const std::string kLongLine = "k=" + std::string(4093, 'a') + "m=" + std::string(903, 'b');

INSTANTIATE_TEST_SUITE_P(
    Reader, ReaderTable,
    ::testing::Values(
        ReadCase{"comment after a blank keeps the blank", "[S]\nk = abc //note\n", "S", "k", "abc "},
        ReadCase{"// inside a value cuts it", "[S]\nurl = http://host\n", "S", "url", "http:"},
        ReadCase{"double quotes removed", "[S]\nk = \"a b \"\n", "S", "k", "a b "},
        ReadCase{"apostrophes removed", "[S]\nk='x'\n", "S", "k", "x"},
        ReadCase{"lone quote stays", "[S]\nk=\"\n", "S", "k", "\""},
        ReadCase{"mismatched quotes stay", "[S]\nk=\"a'\n", "S", "k", "\"a'"},
        ReadCase{"blanks trimmed around key and value", "[S]\n\t  key  \t=   value \t\n", "S", "key", "value"},
        ReadCase{"empty value is present", "[S]\nk=\n", "S", "k", ""},
        ReadCase{"trimmed section name, lookup ignores case and blanks", "[  My Section ]\nk=1\n",
                 "  my SECTION  ", "k", "1"},
        ReadCase{"key lookup exact, not a prefix", "[S]\nkeyword=1\n", "S", "key", nullptr},
        ReadCase{"first duplicate section wins", "[S]\nk=1\n[s]\nk=2\nonly=3\n", "S", "only", nullptr},
        ReadCase{"first duplicate key wins", "[S]\nk=1\nk=2\n", "S", "k", "1"},
        ReadCase{"keys before any section are ignored", "k=0\n[S]\nj=1\n", "S", "k", nullptr},
        ReadCase{"semicolon line is a comment", "[S]\n  ;k=1\n", "S", "k", nullptr},
        ReadCase{"line without = is skipped", "[S]\nk\nj=2\n", "S", "k", nullptr},
        ReadCase{"value after the first =", "[S]\nk = a=b\n", "S", "k", "a=b"},
        ReadCase{"bracket line without ] is a key", "[S]\n[x=1\n", "S", "[x", "1"},
        ReadCase{"CR LF and blank lines", "\r\n[S]\r\n\r\nk=v\r\n", "S", "k", "v"},
        ReadCase{"last line without newline", "[S]\nk=v", "S", "k", "v"},
        ReadCase{"brace line with groups off is a key", "[S]\n{g}=1\n", "S", "{g}", "1"}));

TEST(Reader, LongLineSplitsAt4095)
{
    TempFolder folder;
    CProfileReader reader(folder.Write("long.ini", "[S]\n" + kLongLine + "\n").c_str());
    ASSERT_TRUE(reader.SelectSection("S"));
    const char* head = reader.GetString("k");
    const char* rest = reader.GetString("m");
    ASSERT_NE(head, nullptr);
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(strlen(head), 4093u);  // 4095 characters of the line less "k="
    EXPECT_EQ(strlen(rest), 903u);   // the remaining 905 less "m="
}

TEST(Reader, EmptyOrMissingFileFailsAndGettersGiveDefaults)
{
    TempFolder folder;
    CProfileReader reader;
    EXPECT_FALSE(reader.Load(folder.Write("empty.ini", "").c_str(), false));
    EXPECT_FALSE(reader.Load(folder.File("missing.ini").c_str(), false));
    EXPECT_FALSE(reader.SelectSection("S"));
    EXPECT_EQ(reader.GetInt("k", 42), 42);
    EXPECT_EQ(reader.GetColor("k", 0x123456), 0x123456u);
}

TEST(Reader, GettersGiveDefaultsWithoutSelectedSection)
{
    TempFolder folder;
    CProfileReader reader(folder.Write("a.ini", "[S]\nk=7\n").c_str());
    EXPECT_EQ(reader.GetInt("k", -1), -1);  // loaded, but nothing selected yet
    EXPECT_TRUE(reader.SelectSection("S"));
    EXPECT_EQ(reader.GetInt("k", -1), 7);
    EXPECT_FALSE(reader.SelectSection("Nope"));
    EXPECT_EQ(reader.GetInt("k", -1), -1);
}

TEST(Reader, ProfileGetStringCopiesValueOrDefault)
{
    TempFolder folder;
    CProfile profile(folder.Write("a.ini", "[S]\nname=abcdef\n").c_str(), FALSE);
    char buffer[4];
    EXPECT_EQ(profile.GetString("name", "x", buffer, sizeof(buffer)), 3);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(profile.GetString("none", "dflt", buffer, sizeof(buffer)), 3);
    EXPECT_STREQ(buffer, "dfl");
    EXPECT_EQ(profile.GetString("none", nullptr, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(profile.GetString(nullptr, "x", buffer, sizeof(buffer)), 0);
}

TEST(Reader, GroupsCoverTheirSections)
{
    TempFolder folder;
    CProfile profile(folder.Write("g.ini", "{ G1 }\n[A]\n[B]\n{G2}\n[C]\n[D]\n").c_str(), TRUE);
    CProfile::Group* g1 = profile.FirstGroup();
    ASSERT_NE(g1, nullptr);
    CProfile::Group* g2 = g1->next;
    ASSERT_NE(g2, nullptr);
    EXPECT_STREQ(g1->name, "G1");
    EXPECT_STREQ(g2->name, "G2");
    EXPECT_NE(profile.FindSectionInGroup(g1, "a"), nullptr);
    EXPECT_NE(profile.FindSectionInGroup(g1, "B"), nullptr);
    EXPECT_EQ(profile.FindSectionInGroup(g1, "C"), nullptr);
    EXPECT_NE(profile.FindSectionInGroup(g2, "C"), nullptr);
    EXPECT_NE(profile.FindSectionInGroup(g2, "D"), nullptr);  // the last group runs to the end
    EXPECT_EQ(profile.FindSectionInGroup(g2, "A"), nullptr);
}

struct ColorCase {
    const char* text;
    COLORREF expected;
};

TEST(Reader, ParseColorForms)
{
    const ColorCase cases[] = {
        {"#FF0000", 0x0000FF},      {"#00ff80", 0x80FF00},    {"#12345", 0},
        {"#1234567", 0x563412},     {"#80FF0000", 0x800000FF}, {"0, 128, 255", 0xFF8000},
        {"0 ,, 128   255", 0xFF8000}, {"255", 0x0000FF},       {"-1", 0x0000FF},
        {"256, 0, 0", 0},           {"", 0},
    };
    for (const ColorCase& c : cases)
        EXPECT_EQ(ParseColor(c.text), c.expected) << c.text;
}

TEST(Reader, TypedGetters)
{
    TempFolder folder;
    CProfileReader reader(folder.Write("t.ini",
                                       "[T]\n"
                                       "five=#12345\n"
                                       "empty=\n"
                                       "int=  -12px\n"
                                       "word=abc\n"
                                       "pair=#FF0000 ; 0,255,0\n"
                                       "one=#0000FF\n"
                                       "font=Bold+Italic|underline\n"
                                       "font2=antialias & BOLD, strange\n"
                                       "rect=1, 2 ,3 4\n"
                                       "point=5,6\n"
                                       "flag=Stretch\n")
                              .c_str());
    ASSERT_TRUE(reader.SelectSection("T"));
    EXPECT_EQ(reader.GetColor("five", 7), 0u);  // malformed, not the default
    EXPECT_EQ(reader.GetColor("empty", 7), 7u);
    EXPECT_EQ(reader.GetColor("none", 7), 7u);
    EXPECT_EQ(reader.GetInt("int", 5), -12);
    EXPECT_EQ(reader.GetInt("word", 5), 0);
    EXPECT_EQ(reader.GetInt("empty", 5), 0);

    COLORREF pair[2] = {1, 1};
    EXPECT_TRUE(reader.GetColorPair("pair", pair));
    EXPECT_EQ(pair[0], 0x0000FFu);
    EXPECT_EQ(pair[1], 0x00FF00u);
    EXPECT_TRUE(reader.GetColorPair("one", pair));
    EXPECT_EQ(pair[0], 0xFF0000u);
    EXPECT_EQ(pair[1], 0xFF0000u);
    pair[0] = pair[1] = 9;
    EXPECT_FALSE(reader.GetColorPair("empty", pair));
    EXPECT_EQ(pair[0], 9u);

    GRADIENT g;
    reader.GetGradient(&g, "none", 3, 4);
    EXPECT_EQ(g.start, 3u);
    EXPECT_EQ(g.end, 4u);

    EXPECT_EQ(reader.GetFontAttributes("font"), 7);
    EXPECT_EQ(reader.GetFontAttributes("font2"), 9);
    EXPECT_EQ(reader.GetFontAttributes("none"), 0);

    RECT r;
    EXPECT_TRUE(reader.GetRect("rect", &r));
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 4);
    EXPECT_FALSE(reader.GetRect("none", &r));
    EXPECT_EQ(r.left | r.top | r.right | r.bottom, 0);
    POINT p;
    EXPECT_TRUE(reader.GetPoint("point", &p));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);

    EXPECT_TRUE(reader.HasValue("flag", "stretch"));
    EXPECT_FALSE(reader.HasValue("flag", "stretc"));
}

TEST(Reader, FilePathJoinsRelativeValuesToTheFileFolder)
{
    TempFolder folder;
    CreateDirectoryA(folder.File("sub").c_str(), nullptr);
    CProfileReader reader(
        folder.Write("sub\\f.ini", "[F]\nrel=..\\img\\a.png\nabs=C:\\x\\y.png\nempty=\n").c_str());
    ASSERT_TRUE(reader.SelectSection("F"));
    char* path = reader.GetFilePath(nullptr, "rel");
    ASSERT_NE(path, nullptr);
    EXPECT_STRCASEEQ(path, (folder.Path() + "\\img\\a.png").c_str());
    path = reader.GetFilePath(path, "abs");  // frees the previous result
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, "C:\\x\\y.png");
    path = reader.GetFilePath(path, "empty");
    EXPECT_EQ(path, nullptr);
}

struct GradientCase {
    const char* value;
    bool read;
    GRADIENTEX expected;  // from defaults {1, 2, false, -1, 0, -1, 0}
};

TEST(Reader, ReadGradientExSyntax)
{
    const COLORREF n = kNoColor;
    const GradientCase cases[] = {
        {"#FF0000", true, {0xFF, 0xFF, false, n, 0, n, 0}},
        {"#FF0000 H", true, {0xFF, 0xFF, false, n, 0, n, 0}},   // H not read after a lone start
        {"#FF0000; H", true, {0xFF, 0xFF, false, n, 0, n, 0}},
        {"#FF0000;#00FF00 h", true, {0xFF, 0xFF00, true, n, 0, n, 0}},
        {"#FF0000 ; #00FF00 ; #0000FF [ 5 ]; #FFFFFF [3]", true, {0xFF, 0xFF00, false, 0xFF0000, 5, 0xFFFFFF, 3}},
        {"#FF0000;#00FF00;#0000FF[5] H", true, {0xFF, 0xFF00, true, 0xFF0000, 5, n, 0}},
        {"#FF0000;#00FF00;#0000FF H", true, {0xFF, 0xFF00, true, 0xFF0000, 0, n, 0}},
        {"#FF0000;#00FF00;#0000FF;#FFFFFF[3]", true, {0xFF, 0xFF00, false, 0xFF0000, 0, n, 0}},  // band 2 ignored
        {"#FF0000;#00FF00;#0000FF[5];#FFFFFF H", true, {0xFF, 0xFF00, true, 0xFF0000, 5, 0xFFFFFF, 0}},
        {"#FF0000;#00FF00;#0000FF[5];#FFFFFF[3] H", true, {0xFF, 0xFF00, false, 0xFF0000, 5, 0xFFFFFF, 3}},
        {"", false, {1, 2, false, n, 0, n, 0}},
    };
    TempFolder folder;
    std::string file = "[G]\n";
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        file += "g" + std::to_string(i) + "=" + cases[i].value + "\n";
    CProfileReader reader(folder.Write("g.ini", file).c_str());
    ASSERT_TRUE(reader.SelectSection("G"));
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const GradientCase& c = cases[i];
        GRADIENTEX g = {1, 2, false, n, 0, n, 0};
        EXPECT_EQ(reader.ReadGradientEx(("g" + std::to_string(i)).c_str(), &g), c.read) << c.value;
        EXPECT_EQ(g.start, c.expected.start) << c.value;
        EXPECT_EQ(g.end, c.expected.end) << c.value;
        EXPECT_EQ(g.horizontal, c.expected.horizontal) << c.value;
        EXPECT_EQ(g.band1, c.expected.band1) << c.value;
        EXPECT_EQ(g.band1Size, c.expected.band1Size) << c.value;
        EXPECT_EQ(g.band2, c.expected.band2) << c.value;
        EXPECT_EQ(g.band2Size, c.expected.band2Size) << c.value;
    }
    GRADIENTEX keep;
    reader.GetGradientEx(&keep, "g1", 0, 0, true);  // one colour then H keeps the given direction
    EXPECT_TRUE(keep.horizontal);
}

}  // namespace
