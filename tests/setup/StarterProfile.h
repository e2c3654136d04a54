// The profile the set-up window's model tests start from: polling on, the first
// application entry chosen, then the [Client] lines and the remote's codes given.
#pragma once

#include <string>

namespace qrtl::setup::test {

inline std::string StarterProfile(const std::string& codes = {}, const std::string& client = {}) {
    return "[Main]\r\nTimer=200\r\n[Client]\r\nDefault=0\r\n" + client + "[KeyMap_Controler]\r\n" + codes;
}

}  // namespace qrtl::setup::test
