// Helpers shared by the dispatch sources; not part of the object's interface.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace dispatch {

// Preset of the receiver's output variable; a read that leaves it unchanged
// delivered no code.
constexpr uint32_t kNoIrValue = 0xFFFFFFFFu;

// One receiver read at the infrared code's address; true with the low 8 bits
// in `code` when the read delivered something.
bool ReadIrByte(qrtl::ICardReader& card, uint32_t& code);

}  // namespace dispatch
