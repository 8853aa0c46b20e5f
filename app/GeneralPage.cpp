#include "app/GeneralPage.h"

#include <commctrl.h>

#include "app/AppMessageBox.h"
#include "app/UpdateCheck.h"
#include "core/AppPaths.h"
#include "core/RegSettings.h"

namespace {

struct LanguageRow
{
    const wchar_t* code;
    const wchar_t* name;
};

const LanguageRow kLanguages[] = {
    {L"eng", L"English"},
    {L"chs", L"\u7B80\u4F53\u4E2D\u6587"},
    {L"ch", L"\u7E41\u9AD4\u4E2D\u6587"},
    {L"jp", L"\u65E5\u672C\u8A9E"},
    {L"fr", L"Fran\u00E7ais"},
    {L"nl", L"Nederlands"},
    {L"es", L"Espa\u00F1ol"},
    {L"pl", L"Polski"},
    {L"de", L"Deutsch"},
    {L"ar", L"\u0627\u0644\u0639\u0631\u0628\u064A\u0629"},
    {L"pt", L"Portugu\u00EAs"},
};

const wchar_t* const kBufferLengths[] = {L"50", L"100", L"200", L"300", L"400", L"500", L"1000"};
const wchar_t* const kBitsPerSample[] = {L"8", L"16", L"24"};
const wchar_t* const kSampleRates[] = {L"8000", L"11025", L"16000", L"22050", L"32000",
                                       L"44100", L"48000", L"96000", L"192000"};
constexpr int kBufferCountMin = 2, kBufferCountMax = 20;
constexpr int kLanguageTextChars = 260;
constexpr size_t kExtensionChars = 4;   // ".dll"
constexpr size_t kPrefixChars = 3;      // "Res"

template <size_t N>
void FillCombo(HWND combo, const wchar_t* const (&items)[N])
{
    for (const wchar_t* item : items)
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

// The first item that begins with the text, without regard to case; none when no item does.
void SelectStored(HWND combo, const std::wstring& text)
{
    ::SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

// The selected item's text; false when nothing is selected.
bool SelectedText(HWND combo, std::wstring& text)
{
    LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selection < 0)
        return false;
    LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, selection, 0);
    if (length < 0)
        return false;
    text.assign(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return true;
}

}  // namespace

std::wstring LanguageDisplayName(const std::wstring& code)
{
    std::wstring lower = code;
    if (!lower.empty())
        ::CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    for (const LanguageRow& row : kLanguages)
        if (lower == row.code)
            return row.name;
    return lower;
}

std::wstring LanguageCodeOfDisplayName(const std::wstring& name)
{
    for (const LanguageRow& row : kLanguages)
        if (name == row.name)
            return row.code;
    return name;
}

LRESULT COptionPageGeneral::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_language = GetDlgItem(IDC_GEN_LANGUAGE);
    m_bufferLength = GetDlgItem(IDC_GEN_BUFFER_LENGTH);
    m_bits = GetDlgItem(IDC_GEN_BITS);
    m_sampleRate = GetDlgItem(IDC_GEN_SAMPLE_RATE);
    m_bufferSpin = GetDlgItem(IDC_GEN_BUFFER_SPIN);

    ::SendMessageW(m_language, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LanguageDisplayName(L"Eng").c_str()));
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(GetAppPath(L"\\Res*.dll"), &found);
    if (search == INVALID_HANDLE_VALUE) {
        ::EnableWindow(m_language, FALSE);
    } else {
        do {
            std::wstring name = found.cFileName;
            if (name.size() <= kExtensionChars + kPrefixChars)
                continue;
            std::wstring code = name.substr(kPrefixChars, name.size() - kExtensionChars - kPrefixChars);
            ::SendMessageW(m_language, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LanguageDisplayName(code).c_str()));
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    CRegSettings& settings = GetSettings();
    SelectStored(m_language, LanguageDisplayName(settings.Get(Settings::LanName)));

    CheckDlgButton(IDC_GEN_AUTO_UPDATE, settings.GetDWORD(L"AutoCLU", Settings::AutoCLU.defaultValue) != 0
                                            ? BST_CHECKED : BST_UNCHECKED);
    ::SendMessageW(m_bufferSpin, UDM_SETRANGE, 0, MAKELPARAM(kBufferCountMax, kBufferCountMin));
    // The edit reports this as a change: the page counts as edited from its first display.
    SetDlgItemInt(IDC_GEN_BUFFER_COUNT, settings.Get(Settings::BufferNum), TRUE);

    FillCombo(m_bufferLength, kBufferLengths);
    FillCombo(m_bits, kBitsPerSample);
    FillCombo(m_sampleRate, kSampleRates);
    SelectStored(m_bufferLength, settings.Get(Settings::BufferLenMs));
    SelectStored(m_bits, settings.Get(Settings::BPS));
    SelectStored(m_sampleRate, settings.Get(Settings::SampleRate));
    return TRUE;
}

LRESULT COptionPageGeneral::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const WORD id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (id == IDC_GEN_AUTO_UPDATE || id == IDC_GEN_BUFFER_COUNT || id == IDC_GEN_BUFFER_LENGTH ||
        code == CBN_SELCHANGE) {
        m_modified = true;
        SetModified(TRUE);
    } else if (id == IDC_GEN_CHECK_NOW) {
        CheckNow();
    }
    return 0;
}

int COptionPageGeneral::OnApply()
{
    if (!m_modified)
        return PSNRET_NOERROR;
    return Save() > 0 ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
}

bool COptionPageGeneral::ConfirmBufferCount()
{
    BOOL number = FALSE;
    int count = static_cast<int>(GetDlgItemInt(IDC_GEN_BUFFER_COUNT, &number, TRUE));
    if (number && count >= kBufferCountMin && count <= kBufferCountMax)
        return true;
    std::wstring text = FormatResString(IDS_BAD_BUFFER_COUNT, "dd", kBufferCountMin, kBufferCountMax);
    std::wstring caption = LoadResString(IDS_PREFERENCES);
    AppMessageBox(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    HWND edit = GetDlgItem(IDC_GEN_BUFFER_COUNT);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    return false;
}

int COptionPageGeneral::Save()
{
    // A count the arrows do not offer would be stored as typed (0 blocks every channel).
    if (!ConfirmBufferCount())
        return 0;
    CRegSettings& settings = GetSettings();
    wchar_t text[kLanguageTextChars] = {};
    ::GetWindowTextW(m_language, text, kLanguageTextChars);
    std::wstring code = LanguageCodeOfDisplayName(text);
    std::wstring stored;
    settings.GetString(stored, Settings::LanName.name, L"");
    if (stored != code) {
        m_languageChanged = true;
        settings.SetString(Settings::LanName.name, code.c_str());
    }

    settings.SetDWORD(Settings::AutoCLU.name, IsDlgButtonChecked(IDC_GEN_AUTO_UPDATE) == BST_CHECKED ? 1 : 0);
    settings.SetDWORD(Settings::BufferNum.name, static_cast<DWORD>(static_cast<int>(GetDlgItemInt(IDC_GEN_BUFFER_COUNT, nullptr, TRUE))));

    // A combo without a selection leaves its stored value as it is.
    std::wstring item;
    if (SelectedText(m_bufferLength, item))
        settings.SetString(Settings::BufferLenMs.name, item.c_str());
    if (SelectedText(m_bits, item))
        settings.SetString(Settings::BPS.name, item.c_str());
    if (SelectedText(m_sampleRate, item))
        settings.SetString(Settings::SampleRate.name, item.c_str());

    m_modified = false;
    return 1;
}

void COptionPageGeneral::CheckNow()
{
    if (CheckForUpdates(1) == 0)
        AppMessageBox(m_hWnd, LoadResString(IDS_NO_UPDATES), LoadResString(IDS_UPDATER_NAME), MB_ICONINFORMATION);
}
