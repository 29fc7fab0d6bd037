// An 8-bit string with the operations the program uses. Portable: no <windows.h> needed.
#pragma once

#include "WinTypes.h"

#include <string>

#if defined(__MINGW32__) && !defined(__clang__)
#define KAVRIN_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define KAVRIN_PRINTF(f, a) __attribute__((format(printf, f, a)))
#endif

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}  // NOLINT(google-explicit-constructor)

    CString& operator=(const char* psz);
    CString& operator+=(const char* psz);
    CString& operator+=(const CString& str);

    // The text, zero-terminated; valid until the string next changes.
    operator LPCTSTR() const { return m_str.c_str(); }  // NOLINT(google-explicit-constructor)

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    char GetAt(int nIndex) const { return m_str.at(static_cast<std::size_t>(nIndex)); }
    char operator[](int nIndex) const { return GetAt(nIndex); }

    // Replaces the text with printf-formatted output; never truncates.
    void Format(const char* pszFormat, ...) KAVRIN_PRINTF(2, 3);

#ifdef _WIN32
    // Loads string resource nID of the program; false (and empty) when there is none.
    BOOL LoadString(UINT nID);
#endif

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }

private:
    std::string m_str;
};
