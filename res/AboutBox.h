// Texts that the About box's template and CAboutDlg share; included by Kavrin.rc.
#ifndef KAVRIN_ABOUTBOX_H
#define KAVRIN_ABOUTBOX_H

// The title is this prefix and the application name.
#define KAVRIN_ABOUT_TITLE              "Info über "
#define KAVRIN_FEEDBACK_ADDRESS         "feedback@kavrin.example"

#endif
