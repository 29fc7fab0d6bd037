#include "SystemLibrary.h"
#include "afxwin.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    AfxSearchSystem32Only();
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nShowCmd);
}
