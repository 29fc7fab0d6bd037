// Reads the version strings of "<app name>.exe" through the platform seam.
#pragma once

#include "CString.h"
#include "Platform.h"

// Each output is replaced whole or left untouched. True exactly when the fixed part
// was found and both version texts were written.
bool ReadVersionInfo(IPlatform& platform, LPCTSTR pszAppName, CString& strFileVersion,
                     CString& strProductVersion, CString& strComment, CString& strCopyright);
