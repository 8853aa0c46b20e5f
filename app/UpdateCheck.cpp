#include "app/UpdateCheck.h"

int InstallDownloadedUpdate()
{
    return 0;
}

DWORD WINAPI UpdateThreadProc(LPVOID)
{
    return 0;
}
