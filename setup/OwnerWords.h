// The set-up window's words for what the core found: the checker's findings, the
// launch of the TV application, and counts with their plurals. They speak of keys,
// the TV application and what to do in this window; the file's sections, its key
// names, registry paths and command ids stay in QRTLProfile check, whose words
// scripts read.
#pragma once

#include <string>
#include <vector>

#include "setup/LaunchFinding.h"
#include "setup/RemoteRows.h"

namespace qrtl::setup {

// "1 key", "2 keys", "0 keys": `count` with `one` or `many`. Every text of the
// set-up tools that counts says it this way.
std::string Counted(std::size_t count, const char* one, const char* many);

// The window's line about POWER's start. `noneFound`: the application was just
// taken and no registry value holds its folder.
std::string LaunchInWords(const LaunchFinding& launch, bool noneFound);

// The owner's sentence for one finding, without the severity; empty for a finding
// the owner need not see (a name completed with ".exe" as it should be).
std::string OwnerSentence(const Finding& finding);

// The window's list of what is wrong, from the checker's rows: each in the owner's
// words behind its severity ("Warning: ..."), with its key or field kept; the keys
// with an action but no code are named in the one line of the keys without a code.
std::vector<FindingRow> OwnerFindings(std::vector<FindingRow> rows);

}  // namespace qrtl::setup
