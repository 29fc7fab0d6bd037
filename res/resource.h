// Resource and command identifiers of Kavrin.exe.
#ifndef KAVRIN_RESOURCE_H
#define KAVRIN_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX                    100
#define IDD_SYSINFO_DIALOG              102
#define IDD_WIDMUNG                     152

// Strings
#define IDS_ABOUTBOX                    101

// Icon group, clips, menu
#define IDR_MAINFRAME                   128
#define IDR_AVI_ABOUT                   129
#define IDR_MAINMENU                    130
#define IDR_AVI_WIDMUNG                 132

// Controls
#define IDC_REPORT                      1000
#define IDC_ABOUT_ICON                  1004
#define IDC_COMMENTS                    1009
#define IDC_VERSION                     1011
#define IDC_ANIMATION                   1012
#define IDC_COPYRIGHT                   1022
#define IDC_FEEDBACK                    1023
#define IDC_WIDMUNG_ANIMATION           1043
#define IDC_WIDMUNG_TEXT                1044

// Menu commands
#define ID_COPY                         40001

// System-menu command
#define IDM_ABOUTBOX                    0x0010

#endif
