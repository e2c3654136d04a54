// Texts of any shape from the registry and the application (caption, class, item,
// launch key and value names, executable, description) planned as client lines:
// every line passes the one line check, and the lines written as a profile read back
// as exactly those keys and values in one section, so no text adds a line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "config/ProfileReader.h"
#include "setup/ClientLines.h"
#include "setup/ProfileLineCheck.h"
#include "setup/SlotWords.h"

namespace {

// The input cut at '\x1F' into the facts' texts, in a fixed order.
std::string_view Next(std::string_view& rest) {
    const std::size_t cut = rest.find('\x1F');
    const std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    qrtl::setup::ClientWindowFacts facts;
    const int32_t client = size > 0 ? data[0] % 4 : 0;
    facts.captionNotAnsi = size > 1 && (data[1] & 1) != 0;
    facts.item = std::string(Next(rest));
    facts.caption = std::string(Next(rest));
    facts.className = std::string(Next(rest));
    facts.exePath = std::string(Next(rest));
    facts.fileDescription = std::string(Next(rest));
    facts.launch.regPath = std::string(Next(rest));
    facts.launch.regFolder = std::string(Next(rest));
    facts.launch.exeName = std::string(Next(rest));
    facts.launch.found = !facts.launch.regPath.empty();
    // The corpus's last field was the profile before, which the lines no longer read.
    Next(rest);

    const qrtl::setup::ClientLinesPlan plan =
        qrtl::setup::PlanClientLines(client, facts);
    std::string text = "[Client]\n";
    for (const auto& line : plan.lines) {
        fuzz::Check(qrtl::setup::CheckProfileLine("Client", line.key, line.value).Ok(), "a planned line fails the check");
        text += line.key + "=" + line.value + "\n";
    }
    const qrtl::ProfileDocument written = qrtl::ProfileDocument::Parse(text);
    for (const auto& line : plan.lines)
        fuzz::Check(written.GetString("Client", line.key) == line.value, "a line reads back otherwise");
    fuzz::Check(written.LineCount() == static_cast<int>(plan.lines.size()) + 1, "a line of its own",
                static_cast<unsigned long>(written.LineCount()), plan.lines.size());
    for (const auto& note : plan.notes)
        fuzz::Check(qrtl::setup::SlotNoteWords(note).find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos, "a note with a line break");
    return 0;
}
