#pragma once
#include <windows.h>

#include <string>

// Text references of the message box: a pointer to a wide string, or a string id (high 16 bits zero).

// Longest text taken from a pointer; a longer one is cut there and never read further.
constexpr size_t kMaxMarkupTextChars = 32767;
// Buffer of a string loaded by id.
constexpr int kStringIdChars = 260;

// The text behind a reference: an id is loaded from module (empty when loading is off, the module is
// null or the id is missing), a pointer is read up to its end or kMaxMarkupTextChars.
std::wstring ResolveTextReference(const wchar_t* reference, HINSTANCE module, bool loadIds);
// A plain pointer field that must never be taken as an id: an id-like value gives an empty text.
std::wstring ReadTextPointer(const wchar_t* text);

// The built-in English caption of a button id or caption key; empty when it has none.
const wchar_t* BuiltInButtonCaption(UINT id);
// The string id of a button's caption in the string module; 0 when it has none.
UINT ButtonCaptionStringId(UINT id);

// The default button's caption while it counts: "<caption> = <seconds>".
std::wstring CountdownCaption(const std::wstring& caption, int seconds);
