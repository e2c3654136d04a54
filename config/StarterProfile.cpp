#include "config/StarterProfile.h"

namespace qrtl {

namespace {
// Made from docs/QRTLIRMoni.starter.INI when the build is configured, so that the
// installed file and this text are one.
constexpr char kStarterProfile[] =
#include "StarterProfile.inc"
    ;
}  // namespace

std::string_view StarterProfileText() { return {kStarterProfile, sizeof kStarterProfile - 1}; }

}  // namespace qrtl
