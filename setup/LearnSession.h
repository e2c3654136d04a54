// The decisions of learning the remote's codes: what a quiet receiver gives, which
// key already holds a code in the whole [KeyMap_Controler], and taking a code over.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "setup/ProfileChange.h"

namespace qrtl::setup {

class LearnSession {
public:
    // The codes of the 27 keys as the profile holds them ([KeyMap_Controler]).
    explicit LearnSession(const ProfileDocument& profile);
    LearnSession();  // no codes yet

    // The receiver's codes while no key is pressed: they are never taken for a key.
    void SetQuiet(std::set<uint32_t> codes) { quiet_ = std::move(codes); }
    bool IsQuiet(uint32_t code) const { return quiet_.count(code) != 0; }
    const std::set<uint32_t>& Quiet() const { return quiet_; }

    // The code text key `index` holds now (empty: none).
    const std::string& CodeOf(int index) const { return codes_.at(index); }
    // The other key that holds `codeText`, -1 when none (or only `index` itself).
    int HolderOf(const std::string& codeText, int index) const;

    enum class Outcome {
        Learned,  // the key holds the code now
        Same,     // the key held it already
        Taken,    // another key holds it: refused, `holder` says which
        TakenOver,  // another key held it; it lost the code
    };
    struct Result {
        Outcome outcome = Outcome::Learned;
        int holder = -1;
    };
    // Gives key `index` the code text; with `takeOver` a holder loses it, else
    // the code is refused.
    Result Assign(int index, const std::string& codeText, bool takeOver);
    void Clear(int index);

    // The lines to write into [KeyMap_Controler]: every key whose code changed, in
    // the order of the names (an empty value removes a code).
    std::vector<ProfileChange> Changes() const;
    bool Changed() const { return !Changes().empty(); }

private:
    std::array<std::string, kRemoteKeyCount> original_;
    std::array<std::string, kRemoteKeyCount> codes_;
    std::set<uint32_t> quiet_;
};

// The index of a remote key name given in any case; -1 when none.
int RemoteKeyIndex(std::string_view name);

}  // namespace qrtl::setup
