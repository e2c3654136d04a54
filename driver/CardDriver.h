// The capture card's driver library: loaded at start-up, read by the poll tick and
// the power prompt, closed at the end or before a shutdown request.
#pragma once

#include <cstdint>
#include <functional>

#include "driver/CardDriverApi.h"
#include "platform/Platform.h"

// The open library's entry points, one pointer each, empty until looked up.
struct CardDriverTable {
#define QRTL_CARD_DRIVER_TABLE_ENTRY(name, result, params) carddriver::name##Fn* name = nullptr;
    QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_TABLE_ENTRY)
#undef QRTL_CARD_DRIVER_TABLE_ENTRY
};

namespace qrtl {

// SetDllDirectoryA (XP SP1 and later).
using SetDllDirectoryFn = int(__stdcall*)(const char* folder);

// The system's SetDllDirectoryA, looked up at run time: the program must still start
// where it does not exist (Windows 9x, XP before SP1). Null there.
SetDllDirectoryFn SystemSetDllDirectory();

// Runs `load`, a load of the driver, with the executable's folder in place of the
// current folder in the search for libraries loaded by bare name, so that a stray
// driver in whatever folder a program was started from is never loaded; the system
// folders still serve. Then the standard search comes back (SetDllDirectoryA(NULL)),
// whether the load succeeded or not: the setting is inherited by the programs this
// one starts, and the TV application must not search the monitor's folder first.
// Without `setDllDirectory` the load runs with the search as it is.
BOOL LoadWithProgramFolderSearch(const std::function<BOOL()>& load,
                                 SetDllDirectoryFn setDllDirectory = SystemSetDllDirectory());

}  // namespace qrtl

// Loads the library of this platform family by its bare file name and initialises
// the card; nonzero when the card is ready.
BOOL LoadCardDriver();

// Loads the library `name` (a file name or a path); otherwise as LoadCardDriver.
// A library that is already open is closed first.
BOOL LoadCardDriverFrom(const char* name);

// Loads the library last loaded again and initialises the card, as at start: after
// the close before a shutdown that did not happen. Nonzero when the card is ready.
BOOL ReloadCardDriver();

// QRDiI2CReadByte(device, subAddress, value), its result returned. Without an open
// library (never loaded, or closed) it returns 0 and leaves *value untouched.
int32_t ReadCardByte(int32_t device, int32_t subAddress, uint32_t* value);

// QRDiI2CClose, then the library is released; later calls do nothing.
void CloseCardDriver();

// The core's view of the receiver.
class CardDriverReader : public qrtl::ICardReader {
public:
    int32_t ReadByte(int32_t device, int32_t subAddress, uint32_t* value) override;
    void Close() override;
    // ReloadCardDriver inside LoadWithProgramFolderSearch, as the start-up load.
    bool Reopen() override;
};
