// Version numbers and strings of Kavrin.exe; included by Kavrin.rc.
#ifndef KAVRIN_VERSION_H
#define KAVRIN_VERSION_H

#define KAVRIN_FILEVERSION_MAJOR        2
#define KAVRIN_FILEVERSION_MINOR        0
#define KAVRIN_FILEVERSION_BUILD        0
#define KAVRIN_FILEVERSION_PATCH        3
#define KAVRIN_FILEVERSION              2,0,0,3
#define KAVRIN_FILEVERSION_STR          "2, 0, 0, 3"

#define KAVRIN_PRODUCTVERSION_MAJOR     1
#define KAVRIN_PRODUCTVERSION_MINOR     0
#define KAVRIN_PRODUCTVERSION_BUILD     0
#define KAVRIN_PRODUCTVERSION_PATCH     1
#define KAVRIN_PRODUCTVERSION           1,0,0,1
#define KAVRIN_PRODUCTVERSION_STR       "1, 0, 0, 1"

#define KAVRIN_COMMENTS_STR             "Release 16.07.2001"
#define KAVRIN_COMPANY_STR              "Kavrin-Projekt"
#define KAVRIN_DESCRIPTION_STR          "MFC-Anwendung Kavrin"
#define KAVRIN_INTERNALNAME_STR         "Kavrin"
#define KAVRIN_COPYRIGHT_STR            "Copyright © 2001-2026 Kavrin-Projekt"
#define KAVRIN_TRADEMARKS_STR           " "
#define KAVRIN_ORIGINALFILENAME_STR     "Kavrin.EXE"
#define KAVRIN_PRIVATEBUILD_STR         "Systeminfo"
#define KAVRIN_PRODUCTNAME_STR          "Anwendung Kavrin"
#define KAVRIN_SPECIALBUILD_STR         " "

#endif
