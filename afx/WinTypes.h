// Win32 scalar types and RECT: <windows.h> on Windows, same-width copies elsewhere.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using DWORD_PTR = std::uintptr_t;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCTSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;

struct RECT {
    LONG left, top, right, bottom;
};

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#endif
