#include "driver/CardDriver.h"

#include <windows.h>

#include <string>

#include "platform/win32/Handle.h"
#include "platform/win32/ModulePath.h"
#include "product.h"

namespace {

using qrtl::win32::UniqueHModule;

// GetVersionExA is asked with the record size of the first OSVERSIONINFOA.
constexpr DWORD kVersionRecordSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == kVersionRecordSize, "the plain version record");

// The one open library: its module and entry points. Empty while nothing is open.
// The name it was loaded by stays after a close, for a load again.
struct CardDriverLibrary {
    UniqueHModule module;
    CardDriverTable table;
    std::string name;
};

CardDriverLibrary& Library() {
    static CardDriverLibrary library;
    return library;
}

template <typename Fn>
void LookUp(HMODULE module, const char* name, Fn*& entry) {
    entry = reinterpret_cast<Fn*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Fills the table in the driver's expected order; false when an entry point that
// is called later is missing.
bool LookUpEntryPoints(HMODULE module, CardDriverTable& table) {
#define QRTL_CARD_DRIVER_LOOK_UP(name, result, params) LookUp(module, #name, table.name);
    QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_LOOK_UP)
#undef QRTL_CARD_DRIVER_LOOK_UP
    return table.QRDiI2CInit != nullptr && table.QRDiI2CReadByte != nullptr &&
           table.QRDiI2CClose != nullptr;
}

// A fault inside the driver's initialisation ends the program at once, as silently
// as a failed initialisation and without the system's crash report or a debugger
// waiting for someone at a resident program's start. Going on after a fault inside
// the driver would not be safe, so the process ends with the fault's code.
LONG WINAPI EndOnDriverFault(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

int32_t InitCard(carddriver::QRDiI2CInitFn* init) {
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = ::SetUnhandledExceptionFilter(EndOnDriverFault);
    const int32_t result = init();
    ::SetUnhandledExceptionFilter(previous);
    return result;
}

}  // namespace

namespace qrtl {

SetDllDirectoryFn SystemSetDllDirectory() {
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<SetDllDirectoryFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDllDirectoryA")));
}

BOOL LoadWithProgramFolderSearch(const std::function<BOOL()>& load,
                                 SetDllDirectoryFn setDllDirectory) {
    if (setDllDirectory == nullptr) return load();

    // The executable's own folder takes the current folder's place. An empty text
    // removes it on Windows too, but Wine then still searches the current folder.
    // With its backslash: "C:" alone would name the drive's current folder. Spelled
    // so that the ANSI call reaches a folder named outside the code page.
    std::string folder = win32::AnsiModuleFolder();
    if (!folder.empty()) folder += '\\';
    setDllDirectory(folder.c_str());
    const BOOL loaded = load();
    setDllDirectory(nullptr);
    return loaded;
}

}  // namespace qrtl

const char* CardDriverFileName() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = kVersionRecordSize;
    // A platform that cannot be read is taken for the NT family, as a zeroed record reads.
    const bool win9x = ::GetVersionExA(&version) != FALSE &&
                       version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    return win9x ? product::kDriver9x : product::kDriverNt;
}

BOOL LoadCardDriver() { return LoadCardDriverFrom(CardDriverFileName()); }

BOOL LoadCardDriverFrom(const char* name) {
    CloseCardDriver();
    if (name == nullptr) return 0;
    Library().name = name;

    UniqueHModule module(::LoadLibraryA(name));
    if (!module) return 0;
    CardDriverTable table;
    // A library without Init, ReadByte or Close could not be used safely: let it go.
    if (!LookUpEntryPoints(module.get(), table)) return 0;

    if (InitCard(table.QRDiI2CInit) == 0) {
        // A card that did not initialise is neither closed nor released; the program
        // ends right after this anyway.
        module.release();
        return 0;
    }
    CardDriverLibrary& library = Library();
    library.module = std::move(module);
    library.table = table;
    return 1;
}

BOOL ReloadCardDriver() {
    const std::string name = Library().name;
    return name.empty() ? 0 : LoadCardDriverFrom(name.c_str());
}

int32_t ReadCardByte(int32_t device, int32_t subAddress, uint32_t* value) {
    const CardDriverLibrary& library = Library();
    // After the close before a shutdown the poll tick may still run: never call into
    // a released library.
    if (!library.module) return 0;
    return library.table.QRDiI2CReadByte(device, subAddress, value);
}

void CloseCardDriver() {
    CardDriverLibrary& library = Library();
    if (!library.module) return;
    library.table.QRDiI2CClose();
    library.table = CardDriverTable{};
    library.module.reset();
}

int32_t CardDriverReader::ReadByte(int32_t device, int32_t subAddress, uint32_t* value) {
    return ReadCardByte(device, subAddress, value);
}

void CardDriverReader::Close() { CloseCardDriver(); }

bool CardDriverReader::Reopen() { return qrtl::LoadWithProgramFolderSearch(ReloadCardDriver) != 0; }
