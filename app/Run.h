#pragma once

// The run routine: language, start-up update step, log, the main dialog (shown, channels started
// on request), the update thread and the message loop. Returns the id of the command that closed
// the main dialog (IDOK 1, IDCANCEL 2), or 0 when it ends before the dialog runs.
int Run(const wchar_t* commandLine, int cmdShow);

// Whether the command line holds a switch: a plain, case-sensitive substring search ("/d/m" holds both).
bool HasSwitch(const wchar_t* commandLine, const wchar_t* name);
