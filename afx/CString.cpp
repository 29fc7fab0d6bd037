#include "CString.h"

#include <cstdarg>
#include <cstdio>

CString& CString::operator=(const char* psz)
{
    m_str = psz ? psz : "";
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz)
        m_str += psz;
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list probe;
    va_copy(probe, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, probe);
    va_end(probe);
    if (n < 0) {
        m_str.clear();
    } else {
        std::string out(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(&out[0], out.size(), pszFormat, args);
        out.resize(static_cast<std::size_t>(n));
        m_str.swap(out);
    }
    va_end(args);
}
