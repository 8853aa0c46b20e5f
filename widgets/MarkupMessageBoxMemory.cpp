#include "widgets/MarkupMessageBoxMemory.h"

#include "render/MarkupString.h"
#include "widgets/MarkupMessageBoxText.h"

namespace {

bool UsesMemory(const MarkupMessageBoxParams& params)
{
    return (params.style & MMB_CHECKBOX) != 0 && !ReadTextPointer(params.memoryName).empty();
}

}  // namespace

std::wstring AnswerMemoryKey(const wchar_t* company)
{
    wchar_t modulePath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    wchar_t fullPath[MAX_PATH] = {};
    wchar_t* fileName = nullptr;
    if (GetFullPathNameW(modulePath, MAX_PATH, fullPath, &fileName) == 0 || fileName == nullptr)
        return std::wstring();
    const std::wstring companyText = ReadTextPointer(company);
    CMarkupString key;
    if (!companyText.empty())
        key.Format(L"Software\\%s\\%s\\%s", companyText.c_str(), fileName, L"MarkupMessageBox");
    else
        key.Format(L"Software\\%s\\%s", fileName, L"MarkupMessageBox");
    return key;
}

std::wstring AnswerMemoryValueName(const wchar_t* memoryName, int messageId)
{
    CMarkupString name;
    name.Format(L"%s%d", ReadTextPointer(memoryName).c_str(), messageId);
    return name;
}

DWORD ReadRememberedAnswer(const MarkupMessageBoxParams& params)
{
    if (!UsesMemory(params))
        return 0;
    const std::wstring key = AnswerMemoryKey(params.memoryCompany);
    HKEY handle = nullptr;
    if (key.empty() || RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return 0;
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    const std::wstring name = AnswerMemoryValueName(params.memoryName, params.messageId);
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        value = 0;
    RegCloseKey(handle);
    return value;
}

void RememberAnswer(const MarkupMessageBoxParams& params, DWORD answer)
{
    if (!UsesMemory(params))
        return;
    const std::wstring key = AnswerMemoryKey(params.memoryCompany);
    HKEY handle = nullptr;
    if (key.empty() || RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                                       nullptr) != ERROR_SUCCESS)
        return;
    const std::wstring name = AnswerMemoryValueName(params.memoryName, params.messageId);
    RegSetValueExW(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&answer), sizeof(answer));
    RegCloseKey(handle);
}
