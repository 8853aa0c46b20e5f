#pragma once
#include <windows.h>

// Scrivel.dll: draws a small inline markup (<b>, <i>, <u>, <br>, &amp; &lt; &gt; &quot; &nbsp;)
// with the DC's font and text colour into rect. length -1: up to the terminator. format takes
// DT_SINGLELINE or DT_WORDBREAK, DT_CENTER, DT_RIGHT, DT_VCENTER (single line), DT_CALCRECT.
// Returns the height of the drawn text.
extern "C" int DrawHTML(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format);
