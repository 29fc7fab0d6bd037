// Command IDs the class layer itself knows.
#pragma once

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
