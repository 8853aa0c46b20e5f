#include "app/AppMessageBox.h"

#include <string>

#include "app/res/resource.h"
#include "core/AppPaths.h"
#include "core/LogFile.h"
#include "render/DrawManager.h"

namespace {

constexpr COLORREF kShadeBegin = 0xEEEEAF;
constexpr COLORREF kShadeMid = 0xFAFAFA;
constexpr COLORREF kShadeEnd = 0xF0F0F0;
constexpr COLORREF kButtonBand = 0xF0F0F0;

}  // namespace

MarkupMessageBoxParams AppMessageBoxParams()
{
    MarkupMessageBoxParams params;
    InitMarkupMessageBoxParams(&params);
    params.background.effect = EffectHShade;
    params.background.beginColor = kShadeBegin;
    params.background.midColor = kShadeMid;
    params.background.endColor = kShadeEnd;
    params.buttons.effect = EffectSolid;
    params.buttons.beginColor = kButtonBand;
    return params;
}

int AppMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    const MarkupMessageBoxParams params = AppMessageBoxParams();
    return MarkupMessageBox(owner, text, caption, style, &params);
}

void ReportError(HWND owner, const wchar_t* text)
{
    g_LogFile.Log(L"%s", text);
    std::wstring caption = LoadResString(IDS_ERROR);
    AppMessageBox(owner, text, caption.c_str(), MB_OK | MB_ICONHAND);
}
