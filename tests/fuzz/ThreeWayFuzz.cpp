// Three profiles and a change list: the file as a writer read it, the file as
// another writer left it, and the first writer's changes, with the owner's answer
// to each question. Merged and applied to the file as it is now, no line that
// only one side changed is lost: a line only the other writer changed keeps its
// value, a line only ours changed gets ours, a line neither changed stays, unless
// the owner was asked about it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "config/ProfileReader.h"
#include "setup/ProfileMerge.h"

namespace {

using qrtl::setup::ChangeKind;
using qrtl::setup::ProfileChange;

constexpr const char* kSections[] = {"Main", "KeyMap_A", "KeyMap_B"};
constexpr const char* kKeys[] = {"VOL+", "Mute", "Timer"};
constexpr const char* kValues[] = {"", "1", "#8001"};
constexpr std::size_t kNames = 3;
constexpr std::size_t kMaxLines = 12;
constexpr std::size_t kMaxChanges = 8;

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A profile as the profile functions keep it: sections by name, keys by name, no case.
using Model = std::map<std::string, std::map<std::string, std::string>>;

class Bytes {
public:
    Bytes(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

Model ReadModel(Bytes& bytes) {
    Model model;
    const std::size_t lines = bytes.Next() % (kMaxLines + 1);
    for (std::size_t i = 0; i < lines; ++i) {
        const uint8_t b = bytes.Next();
        auto& section = model[Lower(kSections[b % kNames])];
        // One in four makes the section alone, with no line.
        if ((b / 27) % 4 != 0) section[Lower(kKeys[(b / 3) % kNames])] = kValues[(b / 9) % kNames];
    }
    return model;
}

std::string Text(const Model& model) {
    std::string text = "; the owner's comment\r\n";
    for (const auto& [section, keys] : model) {
        text += "[" + section + "]\r\n";
        for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
    }
    return text;
}

void Apply(Model& model, const ProfileChange& change) {
    const std::string section = Lower(change.section);
    switch (change.kind) {
    case ChangeKind::RemoveSection: model.erase(section); break;
    case ChangeKind::RemoveKey: {
        const auto found = model.find(section);
        if (found != model.end()) found->second.erase(Lower(change.key));
        break;
    }
    case ChangeKind::Set: model[section][Lower(change.key)] = change.value; break;
    }
}

// "absent" or the value.
std::string StateOf(const Model& model, const std::string& section, const std::string& key) {
    const auto s = model.find(section);
    if (s == model.end()) return "\x01";
    const auto k = s->second.find(key);
    return k == s->second.end() ? "\x01" : k->second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Bytes bytes(data, size);
    const Model base = ReadModel(bytes);
    const Model now = ReadModel(bytes);
    std::vector<ProfileChange> ours;
    const std::size_t count = bytes.Next() % (kMaxChanges + 1);
    for (std::size_t i = 0; i < count; ++i) {
        const uint8_t a = bytes.Next();
        const uint8_t b = bytes.Next();
        const auto kind = static_cast<ChangeKind>(a % 3);
        // Names in the writer's own case now and then: the profile functions ignore it.
        std::string section = kSections[(a / 3) % kNames];
        std::string key = kKeys[b % kNames];
        if ((a / 9) & 1) section = Lower(section);
        if ((b / 9) & 1) key = Lower(key);
        if (kind == ChangeKind::RemoveSection) key.clear();
        ours.push_back({section, key, kind == ChangeKind::Set ? kValues[(b / 3) % kNames] : "", kind});
    }
    const uint8_t answers = bytes.Next();

    const qrtl::setup::MergePlan plan = qrtl::setup::PlanMerge(qrtl::ProfileDocument::Parse(Text(base)),
                                                               qrtl::ProfileDocument::Parse(Text(now)), ours);
    std::size_t asked = 0;
    const std::vector<ProfileChange> written =
        qrtl::setup::ChangesToWrite(plan, [&](const qrtl::setup::MergeConflict&) {
            return ((answers >> (asked++ % 8)) & 1) != 0;
        });
    Model result = now;
    for (const ProfileChange& change : written) Apply(result, change);
    Model mine = base;
    for (const ProfileChange& change : ours) Apply(mine, change);
    // The result read back through the document the monitor reads, not the model.
    const qrtl::ProfileDocument resultText = qrtl::ProfileDocument::Parse(Text(result));

    for (const char* sectionName : kSections) {
        const std::string section = Lower(sectionName);
        for (const char* keyName : kKeys) {
            const std::string key = Lower(keyName);
            bool contested = false;
            for (const qrtl::setup::MergeConflict& conflict : plan.conflicts)
                contested = contested || (Lower(conflict.ours.section) == section &&
                                          (conflict.ours.kind == ChangeKind::RemoveSection ||
                                           Lower(conflict.ours.key) == key));
            if (contested) continue;
            const std::string b = StateOf(base, section, key);
            const std::string n = StateOf(now, section, key);
            const std::string o = StateOf(mine, section, key);
            const std::string r = StateOf(result, section, key);
            const qrtl::ProfileDocument::Entry* entry = resultText.Find(section, key);
            fuzz::Check((entry == nullptr ? std::string("\x01") : entry->value) == r, "the result reads otherwise");
            if (o == b && n != b) fuzz::Check(r == n, "a line only the other writer changed was lost");
            if (n == b && o != b) fuzz::Check(r == o, "a line only ours changed was lost");
            // Our changes may pass through it (a section emptied and filled again).
            if (n == b && o == b) fuzz::Check(r == b, "a line neither side changed was lost");
            if (o == n && o != b) fuzz::Check(r == o, "a line both changed alike was lost");
        }
    }
    return 0;
}
