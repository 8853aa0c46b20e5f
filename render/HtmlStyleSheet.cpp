// Style classes: the sheet parser, the built-in sheet and the declaration parser.
#include "render/HtmlDrawer.h"
#include <cstdlib>
#include <vector>

namespace {
const wchar_t kBuiltInStyleSheet[] =
    L"body {font-size: 10pt; color:black; font-family:Verdana}\r\n"
    L"p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
    L"h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
    L"h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
    L"h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\r\n"
    L"h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
    L"h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
    L"h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\r\n"
    L"pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\r\n"
    L"code {color:#990000; font-family:Arial}\r\n"
    L"a:link {text-decoration:none; color:blue}\r\n"
    L"a:hover {text-decoration:underline; color:blue}\r\n"
    L"sub {font-size:65%; vertical-align:bottom}\r\n"
    L"sup {font-size:65%; vertical-align:top}\r\n"
    L"big {font-size:125%}\r\n"
    L"small {font-size:75%}\r\n"
    L".cpp-comment {color:green; font-style:italic}\r\n";

const int kFirstStringBuffer = 1024;

CMarkupString Lower(const wchar_t* name)
{
    CMarkupString lower(name ? name : L"");
    lower.MakeLower();
    return lower;
}
}

void CHtmlDrawer::SetDefaultStyle(CMarkupStyle& style)
{
    style = CMarkupStyle();
}

void CHtmlDrawer::SetStyleSheet(const wchar_t* text)
{
    m_styleClasses.clear();
    m_parsedClasses.clear();
    if (!text || !*text) {
        SetDefaultStyleSheet();
        return;
    }
    m_styleSheet = text;
    const CMarkupString sheet = m_styleSheet;
    int pos = 0;
    while (SkipToToken(sheet, pos, FALSE)) {
        const int start = pos;
        if (!SkipToAnyOf(sheet, pos, L" {"))
            break;
        CMarkupString selector = sheet.Mid(start, pos - start);
        if (!SkipToAnyOf(sheet, pos, L"{"))
            break;
        const int open = pos + 1;
        if (!SkipToAnyOf(sheet, pos, L"}"))
            break;
        SetStyleClass(selector.c_str(), sheet.Mid(open, pos - open).c_str());
        ++pos;
    }
}

void CHtmlDrawer::SetDefaultStyleSheet()
{
    SetStyleSheet(kBuiltInStyleSheet);
}

CMarkupString CHtmlDrawer::LoadResourceString(HINSTANCE module, UINT id)
{
    if (id == 0)
        return CMarkupString();
    // The length comes from the string's table block: 16 strings a block, each length-prefixed.
    HRSRC block = FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
    if (!block)
        return CMarkupString();
    HGLOBAL loaded = LoadResource(module, block);
    const WCHAR* data = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!data)
        return CMarkupString();
    const WCHAR* end = data + SizeofResource(module, block) / sizeof(WCHAR);
    for (UINT i = 0; i < (id & 15); ++i) {
        if (data >= end)
            return CMarkupString();
        data += 1 + *data;
    }
    if (data >= end || data + 1 + *data > end)
        return CMarkupString();
    return CMarkupString(data + 1, *data);
}

void CHtmlDrawer::LoadStyleSheet(UINT id, const wchar_t* dllName)
{
    CMarkupString text;
    if (id != 0 && dllName && *dllName) {
        HMODULE dll = LoadLibraryExW(dllName, nullptr, 0);
        if (dll) {
            std::vector<wchar_t> buffer(kFirstStringBuffer);
            for (;;) {
                int length = LoadStringW(dll, id, buffer.data(), static_cast<int>(buffer.size()));
                if (length < static_cast<int>(buffer.size()) - 1) {
                    text.assign(buffer.data(), length > 0 ? length : 0);
                    break;
                }
                buffer.resize(buffer.size() * 2);
            }
            FreeLibrary(dll);
        }
    } else if (id != 0) {
        text = LoadResourceString(GetModuleHandleW(nullptr), id);
    }
    SetStyleSheet(text.c_str());
}

void CHtmlDrawer::SetStyleClass(const wchar_t* name, const wchar_t* declarations)
{
    const std::wstring key = Lower(name);
    m_styleClasses[key] = declarations ? declarations : L"";
    m_parsedClasses.erase(key);
}

void CHtmlDrawer::RemoveStyleClass(const wchar_t* name)
{
    const std::wstring key = Lower(name);
    m_styleClasses.erase(key);
    m_parsedClasses.erase(key);
}

const wchar_t* CHtmlDrawer::GetStyleClass(const wchar_t* name) const
{
    auto found = m_styleClasses.find(Lower(name));
    return found == m_styleClasses.end() ? nullptr : found->second.c_str();
}

void CHtmlDrawer::ApplyStyleClass(const wchar_t* name, CMarkupStyle& style) const
{
    // Every tag of a class applies it: its declarations are read once, not at each tag.
    const std::wstring key = Lower(name);
    auto parsed = m_parsedClasses.find(key);
    if (parsed == m_parsedClasses.end()) {
        auto found = m_styleClasses.find(key);
        if (found == m_styleClasses.end())
            return;
        parsed = m_parsedClasses.emplace(key, ParseDeclarations(found->second)).first;
    }
    ApplyParsedDeclarations(parsed->second, style);
}

int CHtmlDrawer::GetBorderWidth(const CMarkupString& value, int currentWidth) const
{
    if (value == L"thin")
        return MulDiv(75, currentWidth, 100);
    if (value == L"thick")
        return MulDiv(125, currentWidth, 100);
    if (value == L"medium")
        return currentWidth;
    return GetLength(value, currentWidth, FALSE);
}

int CHtmlDrawer::GetBorderStyle(const CMarkupString& value, int defaultStyle)
{
    if (value.empty() || value == L"none")
        return 0;
    if (value == L"solid")
        return 1;
    if (value == L"dotted")
        return 3;
    if (value == L"dashed")
        return 2;
    if (value == L"double")
        return 6;
    return defaultStyle;
}

BOOL CHtmlDrawer::GetFontStyle(const CMarkupString& value, BOOL defaultItalic)
{
    if (value.empty() || value == L"normal")
        return FALSE;
    if (value == L"italic" || value == L"oblique")
        return TRUE;
    return defaultItalic;
}

int CHtmlDrawer::GetFontWeight(const CMarkupString& value, int /*defaultWeight*/)
{
    if (value.empty() || value == L"normal")
        return FW_NORMAL;
    if (value == L"bold")
        return FW_BOLD;
    if (value == L"bolder")
        return FW_HEAVY;
    if (value == L"lighter")
        return FW_THIN;
    return static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
}

int CHtmlDrawer::GetTextAlign(const CMarkupString& value, int defaultAlign)
{
    if (value.empty() || value == L"left")
        return 0;
    if (value == L"center")
        return 1;
    if (value == L"right")
        return 2;
    return defaultAlign;
}

int CHtmlDrawer::GetTextTransform(const CMarkupString& value, int defaultTransform)
{
    if (value.empty() || value == L"none")
        return 0;
    if (value == L"uppercase")
        return 1;
    if (value == L"lowercase")
        return 2;
    if (value == L"capitalize")
        return 3;
    return defaultTransform;
}

int CHtmlDrawer::GetVerticalAlign(const CMarkupString& value, int defaultAlign)
{
    if (value.empty() || value == L"baseline")
        return 3;
    if (value == L"middle" || value == L"vcenter")
        return 1;
    if (value == L"top")
        return 0;
    if (value == L"bottom")
        return 2;
    return defaultAlign;
}

std::vector<MarkupDeclaration> CHtmlDrawer::ParseDeclarations(const CMarkupString& declarations)
{
    std::vector<MarkupDeclaration> parsed;
    CMarkupString text = declarations;
    text.MakeLower();
    int pos = 0;
    while (SkipToToken(text, pos, FALSE)) {
        const int start = pos;
        SkipToAnyOf(text, pos, L" :");
        MarkupDeclaration declaration;
        declaration.property = text.Mid(start, pos - start);
        const int before = pos;
        declaration.value = GetValueAfter(text, pos, L':', L";");
        if (pos == before && pos < text.Length())
            ++pos;   // a name without ":" must not stall the loop
        parsed.push_back(std::move(declaration));
    }
    return parsed;
}

void CHtmlDrawer::ApplyDeclarations(const CMarkupString& declarations, CMarkupStyle& style) const
{
    ApplyParsedDeclarations(ParseDeclarations(declarations), style);
}

void CHtmlDrawer::ApplyParsedDeclarations(const std::vector<MarkupDeclaration>& declarations,
                                          CMarkupStyle& style) const
{
    for (const MarkupDeclaration& declaration : declarations) {
        const CMarkupString& property = declaration.property;
        const CMarkupString& value = declaration.value;
        if (property == L"font-size") {
            style.fontSize = GetLength(value, style.fontSize, TRUE);
        } else if (property == L"font-family") {
            if (!value.empty())
                style.fontFace = value;
        } else if (property == L"font-style") {
            if (value == L"normal")
                style.italic = FALSE;
            else if (value == L"italic" || value == L"oblique")
                style.italic = TRUE;
        } else if (property == L"font-weight") {
            style.fontWeight = GetFontWeight(value, style.fontWeight);
        } else if (property == L"color") {
            style.textColor = m_outputEnabled ? GetColor(value, style.textColor) : m_disabledColor;
        } else if (property == L"background-color") {
            if (!m_outputEnabled || value == L"transparent") {
                style.backgroundMode = TRANSPARENT;
            } else {
                style.backgroundMode = OPAQUE;
                style.backgroundColor = GetColor(value, style.backgroundColor);
            }
        } else if (property == L"text-decoration") {
            if (value == L"none")
                style.underline = style.strikeout = style.overline = FALSE;
            else if (value == L"underline")
                style.underline = TRUE;
            else if (value == L"line-through")
                style.strikeout = TRUE;
            else if (value == L"overline")
                style.overline = TRUE;
        } else if (property == L"vertical-align") {
            if (!value.empty())
                style.verticalAlign = GetVerticalAlign(value, style.verticalAlign);
        } else if (property == L"border-color") {
            COLORREF colour = m_outputEnabled ? GetColor(value, style.borderLightColor) : m_disabledColor;
            style.borderLightColor = style.borderDarkColor = colour;
        } else if (property == L"border-width" || property == L"size") {
            style.borderWidth = GetBorderWidth(value, style.borderWidth);
            if (style.borderWidth == 0)
                style.borderStyle = 0;
            else if (style.borderWidth > 0 && style.borderStyle == 0)
                style.borderStyle = 1;
        } else if (property == L"border-style") {
            style.borderStyle = GetBorderStyle(value, style.borderStyle);
            if (style.borderStyle != 0 && style.borderWidth == 0)
                style.borderWidth = 1;
        } else if (property == L"margin") {
            style.margin = GetLength(value, style.margin, FALSE);
        } else if (property == L"padding") {
            style.padding = GetLength(value, style.padding, FALSE);
        } else if (property == L"text-transform") {
            if (!value.empty())
                style.textTransform = GetTextTransform(value, style.textTransform);
        } else if (property == L"text-align") {
            if (!value.empty())
                style.horizontalAlign = GetTextAlign(value, style.horizontalAlign);
        }
    }
}
