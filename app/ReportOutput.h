// KavrinReport.exe's output of the report.
#pragma once

#include "CString.h"

#include <windows.h>

// Writes the report to hOut: a console gets its characters; a pipe, while the process has a
// console, gets them in that console's output code page, which is what the reader decodes
// with; a file, or a pipe with no console behind it, gets the report's bytes unchanged.
// Returns the exit code: 0 when the whole report was written, 1 when it was not (an empty
// report included). Throws std::bad_alloc when there is no memory for the characters.
int WriteReport(HANDLE hOut, const CString& strReport);
