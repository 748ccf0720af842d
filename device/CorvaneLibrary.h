// The two entry points of the device library, held as plain function
// pointers so that the wrapper and the monitor thread can be given another
// library than the imported one (a fake in tests, a stand-in loaded in
// process).
#pragma once

#include "device/CorvaneAbi.h"

typedef DWORD(__stdcall* GetLibraryVersionFn)(void);
typedef IModuleInterface*(__stdcall* CreateModuleInterfaceFn)(const char* deviceName);

struct TCorvaneLibrary {
  GetLibraryVersionFn GetLibraryVersion;          // ordinal 1
  CreateModuleInterfaceFn CreateModuleInterface;  // ordinal 2
};

// The library that the program imports by ordinal. Referring to it makes the
// executable import Corvane.dll, so only the program itself and tests that
// link the import library use it.
const TCorvaneLibrary& ImportedCorvaneLibrary();
