#include <gtest/gtest.h>

#include "uilib/bars/BarInterfaces.h"
#include "uilib/bars/InterfaceFactory.h"
#include "uilib/bars/ShortcutBar.h"
#include "uilib/skin/Skin.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

using Glazier::ISkin;

TEST(InterfaceFactory, SkinIsCreatedWithOneReferenceAndDiesOnTheLastRelease)
{
    auto* skin = static_cast<ISkin*>(glzCreateInstance(Glazier::IID_ISkin));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->AddRef(), 2u);
    EXPECT_EQ(skin->Release(), 1u);
    int cached = Glazier::CSkin::CachedImageCount();
    EXPECT_EQ(skin->Release(), 0u);
    EXPECT_EQ(Glazier::CSkin::CachedImageCount(), cached);
}

TEST(InterfaceFactory, UnknownAndForeignIdentifiersYieldNull)
{
    const IID someOther = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(glzCreateInstance(IID_IUnknown), nullptr);  // the factory only knows its own four
    EXPECT_EQ(glzCreateInstance(someOther), nullptr);
}

TEST(InterfaceFactory, ObjectsAnswerIUnknownAndTheirOwnIdentifierOnly)
{
    auto* skin = static_cast<ISkin*>(glzCreateInstance(Glazier::IID_ISkin));
    ASSERT_NE(skin, nullptr);
    void* out = reinterpret_cast<void*>(1);
    ASSERT_EQ(skin->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, skin);
    EXPECT_EQ(skin->Release(), 1u);
    for (const IID* other : {&Glazier::IID_IMenu, &Glazier::IID_ICommandBar, &Glazier::IID_IShortcutBar}) {
        out = reinterpret_cast<void*>(1);
        EXPECT_EQ(skin->QueryInterface(*other, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(skin->Release(), 0u);
}

TEST(InterfaceFactory, ShortcutBarIsCreatedWithOneReferenceAndAnswersItsOwnIdentifier)
{
    auto* bar = static_cast<Glazier::IShortcutBar*>(glzCreateInstance(Glazier::IID_IShortcutBar));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetWidth(), 232);  // no bitmaps: 230 + 2
    EXPECT_EQ(bar->GetHwnd(), nullptr);
    void* out = reinterpret_cast<void*>(1);
    ASSERT_EQ(bar->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, bar);
    EXPECT_EQ(bar->Release(), 1u);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(bar->QueryInterface(Glazier::IID_IMenu, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(bar->Release(), 0u);
}

TEST(InterfaceFactory, IdentifiersAreDistinct)
{
    const IID* ids[] = {&Glazier::IID_ISkin, &Glazier::IID_IMenu, &Glazier::IID_ICommandBar,
                        &Glazier::IID_IShortcutBar, &IID_IUnknown};
    for (size_t i = 0; i < 5; ++i)
        for (size_t j = i + 1; j < 5; ++j)
            EXPECT_FALSE(IsEqualIID(*ids[i], *ids[j])) << i << " " << j;
}

}  // namespace
