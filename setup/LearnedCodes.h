// The codes of the 27 keys while they are learned: which key already holds a code
// in the whole [KeyMap_Controler], and taking a code over.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "setup/ProfileChange.h"

namespace qrtl::setup {

class LearnedCodes {
public:
    // The codes of the 27 keys as the profile holds them ([KeyMap_Controler]).
    explicit LearnedCodes(const ProfileDocument& profile);

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

    // The keys Learn all asks for, from `first` on: those without a code, in order;
    // every key from `first` on when all of them have one.
    std::vector<int> LearnAllOrder(int first = 0) const;

    // The lines to write into [KeyMap_Controler]: every key whose code changed, in
    // the order of the names (an empty value removes a code).
    std::vector<ProfileChange> Changes() const;
    bool Changed() const { return !Changes().empty(); }

private:
    std::array<std::string, kRemoteKeyCount> original_;
    std::array<std::string, kRemoteKeyCount> codes_;
};

// The index of a remote key name given in any case; -1 when none.
int RemoteKeyIndex(std::string_view name);

}  // namespace qrtl::setup
