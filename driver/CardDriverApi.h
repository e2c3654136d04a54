// The card driver library's entry points, listed once: names, calling convention
// and signatures. The loader declares its table from this list, and every library
// that stands in for the driver (the simulated driver, the test drivers) declares
// its exports from it, so a definition that differs fails to compile.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>

// The C calling convention: the caller removes the arguments.
#if defined(_WIN32)
#define QRTL_CARD_CALL __cdecl
#else
#define QRTL_CARD_CALL
#endif

// X(name, result, parameters), in the order the loader looks them up. Only Init,
// ReadByte and Close are called; the others are looked up as the driver expects.
#define QRTL_CARD_DRIVER_ENTRY_POINTS(X)                                               \
    X(QRDiNvConfigGet, int32_t, (int32_t index, uint32_t * value))                     \
    X(QRDiNvConfigSet, int32_t, (int32_t index, uint32_t value))                       \
    X(QRDiI2CInit, int32_t, ())                                                        \
    X(QRDiI2CWriteByte, int32_t, (int32_t device, int32_t subAddress, uint32_t value)) \
    X(QRDiI2CReadByte, int32_t, (int32_t device, int32_t subAddress, uint32_t * value)) \
    X(QRDiI2CWriteWord, int32_t, (int32_t device, int32_t subAddress, uint32_t value)) \
    X(QRDiI2CReadWord, int32_t, (int32_t device, int32_t subAddress, uint32_t * value)) \
    X(QRDiI2CClose, int32_t, ())

namespace carddriver {

// One function type per entry point: carddriver::QRDiI2CInitFn ...
#define QRTL_CARD_DRIVER_FUNCTION_TYPE(name, result, params) using name##Fn = result QRTL_CARD_CALL params;
QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_FUNCTION_TYPE)
#undef QRTL_CARD_DRIVER_FUNCTION_TYPE

// The receiver's I2C address of the last infrared code.
constexpr int32_t kIrDeviceAddress = 0x64;
constexpr int32_t kIrSubAddress = 0;

}  // namespace carddriver

// For a library that implements the entry points: inside extern "C",
//   QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_EXPORT)
// declares each one exported with its one signature.
#define QRTL_CARD_DRIVER_EXPORT(name, result, params) __declspec(dllexport) carddriver::name##Fn name;
