// Dialog templates of floor_dialog.exe.
#ifndef KAVRIN_FLOOR_RESOURCE_H
#define KAVRIN_FLOOR_RESOURCE_H

#define IDD_FLOOR_EMPTY                 200
#define IDD_FLOOR_REPORT                201

#endif
