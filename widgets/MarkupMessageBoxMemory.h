#pragma once
#include <windows.h>

#include <string>

#include "widgets/MarkupMessageBoxParams.h"

// The remembered answer of a box closed with "Do not show again" ticked: a DWORD under
// HKEY_CURRENT_USER\Software\[<company>\]<program file name>\MarkupMessageBox, named
// <memory name><message id>.

// The key path; empty when the program's file name cannot be read.
std::wstring AnswerMemoryKey(const wchar_t* company);
std::wstring AnswerMemoryValueName(const wchar_t* memoryName, int messageId);
// The remembered answer, 0 when there is none (no check box, no memory name, nothing stored).
DWORD ReadRememberedAnswer(const MarkupMessageBoxParams& params);
// Stores the answer when the record names a memory; failures are silent.
void RememberAnswer(const MarkupMessageBoxParams& params, DWORD answer);
