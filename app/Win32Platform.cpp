#include "app/Win32Platform.h"

namespace qrtl::win32 {

qrtl::Services Win32Platform::Services(qrtl::IPromptWindow* prompt) {
    return qrtl::ServicesOf(*this, prompt);
}

}  // namespace qrtl::win32
