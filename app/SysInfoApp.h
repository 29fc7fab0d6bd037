// The program's application class: runs the report window and ends with it.
#pragma once

#include "Applikation.h"

class CSysInfoApp : public CApplikation {
public:
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CSysInfoApp theApp;
