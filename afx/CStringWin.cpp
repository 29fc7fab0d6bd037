#include "afxwin.h"

BOOL CString::LoadString(UINT nID)
{
    // A pointer to the resource's UTF-16 text, which may not be zero-terminated.
    const wchar_t* pText = nullptr;
    const int nChars = ::LoadStringW(AfxGetResourceHandle(), nID, reinterpret_cast<LPWSTR>(&pText), 0);
    m_str.clear();
    if (nChars <= 0 || !pText)
        return FALSE;
    const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, pText, nChars, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return FALSE;
    m_str.resize(static_cast<std::size_t>(nBytes));
    ::WideCharToMultiByte(CP_ACP, 0, pText, nChars, &m_str[0], nBytes, nullptr, nullptr);
    return TRUE;
}
