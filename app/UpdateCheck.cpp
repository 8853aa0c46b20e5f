#include "app/UpdateCheck.h"

int InstallDownloadedUpdate()
{
    return 0;
}

int CheckForUpdates(int)
{
    return 0;
}

DWORD WINAPI UpdateThreadProc(LPVOID)
{
    return 0;
}
