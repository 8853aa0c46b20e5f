#pragma once
#include <windows.h>

#include "app/res/resource.h"
#include "framework/PropertySheet.h"

// The options sheet "Preferences": the General and the Driver page.
class COptionDlg : public CPropertySheet
{
public:
    COptionDlg() : CPropertySheet(IDS_PREFERENCES, 0) {}
};

// Stores the main dialog's session, starts a fresh copy of the program and ends this one (the quit
// message with exit code 0). When no copy starts, this one goes on and the user is told why.
void RelaunchProgram();

// The Option command: runs the sheet modally over the owner; when the language changed or a driver
// restart failed, calls relaunch. True when it did.
bool RunOptionsSheet(HWND owner, void (*relaunch)() = &RelaunchProgram);
