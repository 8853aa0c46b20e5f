#include <gtest/gtest.h>

#include "app/Language.h"

TEST(Language, CodeIsLowerCasedAndEngIsTheProgramsOwn)
{
    EXPECT_EQ(LanguageCode(L"ENG"), L"eng");
    EXPECT_TRUE(IsOwnLanguage(LanguageCode(L"Eng")));
    EXPECT_FALSE(IsOwnLanguage(LanguageCode(L"Deu")));
    EXPECT_EQ(LoadLanguageLibrary(L"eng"), nullptr);
}

TEST(Language, CodesThatCouldLeaveTheProgramFolderLoadNothing)
{
    for (const wchar_t* code : {L"..\\evil", L"c:x", L"a/b", L"x.y", L"", L"averyveryveryveryverylonglanguagecode"})
        EXPECT_EQ(LoadLanguageLibrary(code), nullptr) << code;
    EXPECT_EQ(LoadLanguageLibrary(L"absent"), nullptr);
}

TEST(Language, PagePathsByLanguage)
{
    EXPECT_EQ(LanguagePagePath(L"main", L"eng"), L"\\html\\main.html");
    EXPECT_EQ(LanguagePagePath(L"main", L"de"), L"\\html\\main_de.html");
    EXPECT_EQ(LanguagePagePath(L"about", L"chs"), L"\\html\\about_chs.html");
    EXPECT_EQ(LanguagePagePath(L"main", L"..\\x"), L"\\html\\main.html");
}
