#include "app/MainDlgSkin.h"

#include "core/AppPaths.h"
#include "uilib/skin/SkinFrameApi.h"

namespace {

// String ids of the title texts and the skin's text elements that show them.
constexpr UINT kTitleString = 123;
constexpr UINT kVersionLabelString = 124;
constexpr UINT kTitleText = 11;
constexpr UINT kVersionLabelText = 14;
constexpr UINT kVersionText = 15;

}  // namespace

void AttachMainDialogSkin(HWND dialog)
{
    // Results are not used: without the description the dialog keeps the system's frame.
    SetWindowSkin(dialog, static_cast<const wchar_t*>(GetAppPath(L"\\Skin\\Skin.inf")));
    AddSkinText(dialog, "AppTitle Text", kTitleText, static_cast<const wchar_t*>(LoadResString(kTitleString)));
    AddSkinText(dialog, "AppVersion.Label Text", kVersionLabelText,
                static_cast<const wchar_t*>(LoadResString(kVersionLabelString)));
    AddSkinText(dialog, "AppVersion Text", kVersionText, L"1.0");
}

void SetMainDialogVersionText(HWND dialog, const wchar_t* version)
{
    SetSkinText(dialog, kVersionText, version);
}
