// The band layout saved in the registry: one 80-byte record per band position.
#include <string>

#include "uilib/bars/CommandBar.h"

namespace Glazier {
namespace {

// The stored record: a narrow band record of a 32-bit process, whatever this process's width.
struct SavedBand {
    DWORD cbSize, fMask, fStyle, clrFore, clrBack, lpText, cch, iImage, hwndChild, cxMinChild, cyMinChild, cx,
        hbmBack, wID, cyChild, cyMaxChild, cyIntegral, cxIdeal, lParam, cxHeader;
};
static_assert(sizeof(SavedBand) == 80, "registry format");
constexpr DWORD kSavedMask = RBBIM_STYLE | RBBIM_SIZE | RBBIM_ID;
static_assert(kSavedMask == 0x141, "registry format");

std::string ValueName(const char* name, int position)
{
    return std::string(name ? name : "") + " #" + std::to_string(position);
}

}  // namespace

BOOL CCommandBar::SaveState(const char* subKey, const char* name)
{
    if (!m_rebar || !subKey)
        return FALSE;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return FALSE;
    const int count = static_cast<int>(SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA info = RebarBandInfo(kSavedMask);
        if (!SendMessageA(m_rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info)))
            continue;
        SavedBand saved = {};
        saved.cbSize = sizeof(saved);
        saved.fMask = kSavedMask;
        saved.fStyle = info.fStyle;
        saved.cx = info.cx;
        saved.wID = info.wID;
        RegSetValueExA(key, ValueName(name, i).c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&saved),
                       sizeof(saved));
    }
    RegCloseKey(key);
    return TRUE;
}

BOOL CCommandBar::LoadState(const char* subKey, const char* name)
{
    if (!m_rebar || !subKey)
        return FALSE;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    const int count = static_cast<int>(SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        SavedBand saved = {};
        DWORD type = 0, size = sizeof(saved);
        if (RegQueryValueExA(key, ValueName(name, i).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&saved),
                             &size) != ERROR_SUCCESS ||
            type != REG_BINARY || size != sizeof(saved))
            continue;
        const int from = static_cast<int>(SendMessageA(m_rebar, RB_IDTOINDEX, saved.wID, 0));
        if (from < 0)
            continue;
        SendMessageA(m_rebar, RB_MOVEBAND, from, i);
        REBARBANDINFOA info = RebarBandInfo(kSavedMask);
        info.fStyle = saved.fStyle;
        info.cx = saved.cx;
        info.wID = saved.wID;
        SendMessageA(m_rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
    RegCloseKey(key);
    return TRUE;
}

}  // namespace Glazier
