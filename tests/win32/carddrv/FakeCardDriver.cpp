// A stand-in for the card driver library, for the loader tests. It appends one line
// per call to the file named by QRTL_CARD_LOG ("init", "read 100 0", "close", and
// "detach" when the library is unloaded), so a test can count what reached it.
// QRTL_CARD_READ_RESULT and QRTL_CARD_VALUE set what QRDiI2CReadByte returns and
// stores (defaults 1 and 12). Built with all eight entry points, without QRDiI2CReadByte
// (CARD_NO_READBYTE), QRDiI2CInit (CARD_NO_INIT) or QRDiI2CClose (CARD_NO_CLOSE), and
// with an init that fails (CARD_INIT_FAILS).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/CardDriverApi.h"
#include "tools/common/ToolSupport.h"

namespace {

// Only kernel32 calls: the log is also written from DllMain.
void Log(const char* line) {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA("QRTL_CARD_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    tools::AppendToFile(path, line, std::strlen(line));
}

[[maybe_unused]] long EnvNumber(const char* name, long def) {
    char text[32] = {};
    const DWORD n = ::GetEnvironmentVariableA(name, text, sizeof(text));
    if (n == 0 || n >= sizeof(text)) return def;
    return std::strtol(text, nullptr, 0);
}

}  // namespace

extern "C" {

QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_EXPORT)

int32_t QRTL_CARD_CALL QRDiNvConfigGet(int32_t, uint32_t* value) {
    Log("nvget\n");
    if (value != nullptr) *value = 0;
    return 1;
}

int32_t QRTL_CARD_CALL QRDiNvConfigSet(int32_t, uint32_t) {
    Log("nvset\n");
    return 1;
}

#ifndef CARD_NO_INIT
int32_t QRTL_CARD_CALL QRDiI2CInit() {
    Log("init\n");
#ifdef CARD_INIT_FAILS
    return 0;
#else
    return 1;
#endif
}
#endif

int32_t QRTL_CARD_CALL QRDiI2CWriteByte(int32_t, int32_t, uint32_t) {
    Log("writebyte\n");
    return 1;
}

#ifndef CARD_NO_READBYTE
int32_t QRTL_CARD_CALL QRDiI2CReadByte(int32_t device, int32_t subAddress,
                                                      uint32_t* value) {
    char line[64];
    std::snprintf(line, sizeof(line), "read %ld %ld\n", static_cast<long>(device),
                  static_cast<long>(subAddress));
    Log(line);
    *value = static_cast<uint32_t>(EnvNumber("QRTL_CARD_VALUE", 12));
    return static_cast<int32_t>(EnvNumber("QRTL_CARD_READ_RESULT", 1));
}
#endif

int32_t QRTL_CARD_CALL QRDiI2CWriteWord(int32_t, int32_t, uint32_t) {
    Log("writeword\n");
    return 1;
}

int32_t QRTL_CARD_CALL QRDiI2CReadWord(int32_t, int32_t, uint32_t* value) {
    Log("readword\n");
    if (value != nullptr) *value = 0;
    return 1;
}

#ifndef CARD_NO_CLOSE
int32_t QRTL_CARD_CALL QRDiI2CClose() {
    Log("close\n");
    return 1;
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) Log("detach\n");
    return TRUE;
}

}  // extern "C"
