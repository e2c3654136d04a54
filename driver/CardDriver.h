// The capture card's driver library: loaded at start-up, read by the poll tick and
// the power prompt, closed at the end or before a shutdown request.
#pragma once

#include <cstdint>

#include "driver/CardDriverApi.h"
#include "platform/Platform.h"

// The open library's entry points, one pointer each, empty until looked up.
struct CardDriverTable {
#define QRTL_CARD_DRIVER_TABLE_ENTRY(name, result, params) carddriver::name##Fn* name = nullptr;
    QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_TABLE_ENTRY)
#undef QRTL_CARD_DRIVER_TABLE_ENTRY
};

namespace qrtl {

// Takes the current folder out of the search for libraries loaded by bare name
// (SetDllDirectoryA, XP SP1 and later), so that a stray driver in whatever folder
// a program was started from is never loaded; the executable's folder and the
// system folders still serve. Call it before loading the driver.
// False where the system lacks the call or refuses it: the search stays as it was.
bool RemoveCurrentFolderFromDllSearch();

}  // namespace qrtl

// Loads the library of this platform family by its bare file name and initialises
// the card; nonzero when the card is ready.
BOOL LoadCardDriver();

// Loads the library `name` (a file name or a path); otherwise as LoadCardDriver.
// A library that is already open is closed first.
BOOL LoadCardDriverFrom(const char* name);

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
};
