#include "uilib/skin/SkinTxtHtml.h"

#include <delayimp.h>

#include <cstdlib>

#include "outside/scrivel/Scrivel.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/TextConvert.h"

namespace FWSkin {

namespace {

constexpr char kMarkupLibrary[] = "Scrivel.dll";

// Stands in for DrawHTML once the library or the function is missing: nothing is drawn.
int NoMarkupDrawHTML(HDC, LPCSTR, int, LPRECT, UINT)
{
    return 0;
}

// Delay-load failures of the markup library show their text once (through the library's
// filter) and leave a function that draws nothing in the import slot.
FARPROC WINAPI MarkupLoadFailure(unsigned notify, PDelayLoadInfo info)
{
    static bool libraryMissing = false;
    if (!info || !info->szDll || lstrcmpiA(info->szDll, kMarkupLibrary) != 0)
        return nullptr;
    EXCEPTION_RECORD record = {};
    record.NumberParameters = 1;
    record.ExceptionInformation[0] = reinterpret_cast<ULONG_PTR>(info);
    EXCEPTION_POINTERS pointers = {&record, nullptr};
    if (notify == dliFailLoadLib) {
        record.ExceptionCode = kDelayLoadModuleNotFound;
        DelayLoadFailureFilter(&pointers, true);
        libraryMissing = true;
        // A module without DrawHTML: the procedure lookup fails next and lands below.
        HMODULE self = GetLibraryModule() ? GetLibraryModule() : GetModuleHandleW(nullptr);
        return reinterpret_cast<FARPROC>(self);
    }
    if (notify == dliFailGetProc) {
        record.ExceptionCode = kDelayLoadProcNotFound;
        if (!libraryMissing)
            DelayLoadFailureFilter(&pointers, true);
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(NoMarkupDrawHTML));
    }
    return nullptr;
}

}  // namespace

void CSkinTxtHtml::Draw(HDC dc, bool)
{
    RECT area = WindowRect();
    if ((m_style & kStyleHidden) || !m_text || !*m_text || !RectVisible(dc, &area))
        return;
    char* narrow = WideToNarrowAlloc(m_text);
    if (!narrow)
        return;
    PrepareDc(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    if (!__pfnDliFailureHook2)
        __pfnDliFailureHook2 = MarkupLoadFailure;
    DrawHTML(dc, narrow, -1, &area, (m_style & kStyleMultiLine) ? DT_WORDBREAK : DT_SINGLELINE);
    RestoreDC(dc, -1);
    free(narrow);
}

}  // namespace FWSkin
