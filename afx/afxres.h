// Command IDs the class layer itself knows.
#pragma once

#define ID_HELP 0xE146
