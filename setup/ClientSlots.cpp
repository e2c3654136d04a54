#include "setup/ClientSlots.h"

#include <algorithm>

#include "config/ProfileKeys.h"

namespace qrtl::setup {

namespace {

// Every program has an Exit and an Options command: they tell no TV application.
bool EveryProgramHasIt(const std::string& key) { return key == kPowerKeyName || key == "FUNC"; }

std::string Read(const ProfileDocument& profile, const profile::Key& key, int32_t slot) {
    return profile.GetString(key.section, profile::KeyName(key, slot));
}

int32_t ReadInt(const ProfileDocument& profile, const profile::Key& key, int32_t slot) {
    return profile.GetInt(key.section, profile::KeyName(key, slot), key.def);
}

bool InSlots(int32_t slot) { return slot >= 0 && slot < kSlotCount; }

ProfileChange SetClient(const std::string& key, const std::string& value) {
    return {profile::kClient, key, value, ChangeKind::Set};
}

ProfileChange RemoveKeyMap(const std::string& item) {
    return {std::string(profile::kClientSectionPrefix) + item, {}, {}, ChangeKind::RemoveSection};
}

// The other slot (of all clients [Client] names, not only the three) whose item is
// `item`; -1 when none. Its key map is shared.
int32_t OtherSlotWithItem(const ProfileDocument& profile, const std::string& item, int32_t slot) {
    const ProfileDocument::Section* client = profile.FindSection(profile::kClient);
    if (client == nullptr || item.empty()) return -1;
    const std::string suffix = std::string("_") + profile::kItem.name;
    for (const auto& entry : client->entries) {
        const std::size_t underscore = entry.key.find('_');
        if (underscore == std::string::npos || underscore == 0 ||
            !ProfileNameEquals(entry.key.substr(underscore), suffix))
            continue;
        const std::string number = entry.key.substr(0, underscore);
        if (number.find_first_not_of("-0123456789") != std::string::npos) continue;
        const int32_t other = ProfileIntValue(number);
        if (other == slot || std::to_string(other) != number) continue;
        if (ProfileNameEquals(Read(profile, profile::kItem, other), item)) return other;
    }
    return -1;
}

// The program POWER starts now for the slot; empty when none.
std::string LaunchedNow(const ProfileDocument& current, int32_t slot) {
    std::string exe = Read(current, profile::kExeName, slot);
    return exe.empty() ? Read(current, profile::kRegPath, slot) : exe;
}

}  // namespace

SlotRow ReadSlot(const ProfileDocument& profile, int32_t slot) {
    SlotRow row;
    row.slot = slot;
    row.item = Read(profile, profile::kItem, slot);
    row.description = Read(profile, profile::kExeDesc, slot);
    if (row.description.empty()) row.description = row.item;
    row.active = ActiveSlot(profile) == slot;
    row.free = row.item.empty() && Read(profile, profile::kCaption, slot).empty() &&
               Read(profile, profile::kClassName, slot).empty() && ReadInt(profile, profile::kChild0, slot) == 0 &&
               ReadInt(profile, profile::kChild1, slot) == 0 && ReadInt(profile, profile::kChild2, slot) == 0;
    const std::string prefix = std::to_string(slot) + "_";
    if (const ProfileDocument::Section* client = profile.FindSection(profile::kClient))
        for (const auto& entry : client->entries)
            if (entry.hasValue && entry.key.size() > prefix.size() && entry.key.compare(0, prefix.size(), prefix) == 0)
                row.lines.push_back({profile::kClient, entry.key, ProfileValueText(entry.value)});
    return row;
}

std::vector<SlotRow> SlotRows(const ProfileDocument& profile) {
    std::vector<SlotRow> rows;
    for (int32_t slot = 0; slot < kSlotCount; ++slot) {
        SlotRow row = ReadSlot(profile, slot);
        int same = 1;
        for (const SlotRow& earlier : rows)
            if (!row.description.empty() && earlier.description == row.description) ++same;
        row.sameNameOrdinal = same > 1 ? same : 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

int32_t ActiveSlot(const ProfileDocument& profile) { return ReadInt(profile, profile::kDefaultClient, 0); }

int32_t NextFreeSlot(const ProfileDocument& profile, int32_t except) {
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
        if (slot != except && ReadSlot(profile, slot).free) return slot;
    return -1;
}

int CountActions(const ProfileDocument& profile, const std::string& item) {
    const std::string section = std::string(profile::kClientSectionPrefix) + item;
    int count = 0;
    for (const char* key : RemoteKeyNames)
        if (!profile.GetString(section, key).empty()) ++count;
    return count;
}

TvCommandCount CountTvCommands(const std::vector<Suggestion>& suggestions) {
    TvCommandCount count;
    count.known = true;
    for (const Suggestion& s : suggestions) {
        ++count.keysWithMeaning;
        if (!EveryProgramHasIt(s.key)) ++count.tvKeys;
    }
    return count;
}

int32_t SlotWithProgram(const ProfileDocument& profile, const std::string& item, int32_t except) {
    if (item.empty()) return -1;
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
        if (slot != except && ProfileNameEquals(Read(profile, profile::kItem, slot), item)) return slot;
    return -1;
}

SlotTakePlan PlanTakeWindow(int32_t slot, const ClientWindowFacts& facts, const ProfileDocument& current,
                            const std::vector<Suggestion>* suggestions, bool makeActive) {
    SlotTakePlan plan;
    plan.slot = slot;
    plan.app = TakenAppName(facts);
    if (suggestions != nullptr) plan.commands = CountTvCommands(*suggestions);
    // A second entry of one program would share its key map with the first: the
    // window refuses it (the lines are still planned for QRTLProfile window, which
    // writes what it is told).
    plan.sameProgramSlot = SlotWithProgram(current, facts.item, slot);
    if (plan.sameProgramSlot >= 0) plan.sameProgramApp = ReadSlot(current, plan.sameProgramSlot).description;
    const int32_t activeNow = ActiveSlot(current);
    if (activeNow != slot && InSlots(activeNow)) {
        const SlotRow active = ReadSlot(current, activeNow);
        plan.askActive = !active.free;
        plan.activeApp = active.description;
    }
    const bool keepActive = plan.askActive && !makeActive;
    const SlotRow before = ReadSlot(current, slot);
    const bool sameApp = !before.item.empty() && ProfileNameEquals(before.item, facts.item);

    // The same application taken again keeps the name the owner gave it.
    const std::string descKey = profile::KeyName(profile::kExeDesc, slot);
    const std::string givenName = Read(current, profile::kExeDesc, slot);
    const bool keepName = sameApp && !givenName.empty() && givenName != plan.app;

    const ClientLinesPlan lines = PlanClientLines(slot, facts);
    for (const ProfileChange& line : lines.lines) {
        if (keepActive && line.key == profile::kDefaultClient.name) continue;
        plan.changes.push_back(SetClient(line.key, keepName && line.key == descKey ? givenName : line.value));
    }

    if (!before.item.empty() && !sameApp) {
        plan.replace.ask = true;
        plan.replace.oldApp = before.description;
        plan.replace.newApp = plan.app;
        plan.replace.freeSlot = NextFreeSlot(current, slot);
        // Nothing of the replaced application stays, unless another slot drives it.
        if (OtherSlotWithItem(current, before.item, slot) < 0) {
            plan.changes.push_back(RemoveKeyMap(before.item));
            SlotNote note;
            note.code = SlotNoteCode::ActionsRemoved;
            note.app = plan.app;
            note.oldApp = before.description;
            note.count = CountActions(current, before.item);
            plan.notes.push_back(note);
        }
    }

    const std::string oldExe = LaunchedNow(current, slot);
    for (const SlotNote& note : lines.notes) {
        // The launch lines written empty end what POWER started before.
        if ((note.code == SlotNoteCode::LaunchNotFound || note.code == SlotNoteCode::LaunchNotKept) &&
            !oldExe.empty()) {
            SlotNote& cleared = plan.notes.emplace_back();
            cleared.code = SlotNoteCode::LaunchCleared;
            cleared.app = plan.app;
            cleared.oldExe = oldExe;
        }
        plan.notes.push_back(note);
    }

    SlotNote active;
    active.app = plan.app;
    active.before = activeNow;
    // "Still" only of the same application: an empty entry or a replaced one is new to the remote.
    const bool wasActive =
        sameApp && active.before == slot && current.Find(profile::kClient, profile::kDefaultClient.name) != nullptr;
    active.powerStarts = std::none_of(lines.notes.begin(), lines.notes.end(), [](const SlotNote& note) {
        return note.code == SlotNoteCode::LaunchNotFound || note.code == SlotNoteCode::LaunchNotKept;
    });
    active.code = wasActive ? SlotNoteCode::ActiveAlready : SlotNoteCode::ActiveNow;
    if (keepActive) {
        active.code = SlotNoteCode::ActiveStays;
        active.oldApp = plan.activeApp;
    }
    plan.notes.push_back(active);
    if (ReadInt(current, profile::kControl, slot) == 0) {
        SlotNote forwards;
        forwards.code = SlotNoteCode::ForwardsKeys;
        forwards.app = plan.app;
        plan.notes.push_back(forwards);
    }
    if (keepName) {
        SlotNote kept;
        kept.code = SlotNoteCode::NameKept;
        kept.app = givenName;
        plan.notes.push_back(kept);
    }
    return plan;
}

SlotRemoval PlanRemoveSlot(const ProfileDocument& current, int32_t slot) {
    SlotRemoval removal;
    removal.slot = slot;
    const SlotRow row = ReadSlot(current, slot);
    removal.app = row.description;
    // Every line of the slot goes, also those written under another case.
    for (const ProfileChange& line : row.lines)
        removal.changes.push_back({profile::kClient, line.key, {}, ChangeKind::RemoveKey});

    removal.sharedWith = OtherSlotWithItem(current, row.item, slot);
    if (!row.item.empty() && removal.sharedWith < 0) {
        removal.actions = CountActions(current, row.item);
        removal.actionsRemoved = true;
        removal.changes.push_back(RemoveKeyMap(row.item));
    }

    if (ActiveSlot(current) == slot) {
        removal.newActive = 0;
        for (int32_t other = 0; other < kSlotCount; ++other) {
            if (other == slot || ReadSlot(current, other).free) continue;
            removal.newActive = other;
            break;
        }
        const SlotRow next = ReadSlot(current, removal.newActive);
        if (removal.newActive != slot && !next.free) removal.newActiveApp = next.description;
        removal.changes.push_back(
            SetClient(profile::kDefaultClient.name, std::to_string(removal.newActive)));
    }
    return removal;
}

SlotRename PlanRenameSlot(const ProfileDocument& current, int32_t slot, const std::string& name) {
    SlotRename rename;
    if (!InSlots(slot)) {
        rename.problem = RenameProblem::NoSuchSlot;
        return rename;
    }
    if (name.find('\0') != std::string::npos) {
        rename.problem = RenameProblem::HasNul;
        return rename;
    }
    rename.text = CheckProfileValue(name);
    if (rename.text != LineProblem::None) {
        rename.problem = RenameProblem::BadText;
        return rename;
    }
    const std::string key = profile::KeyName(profile::kExeDesc, slot);
    const ProfileDocument::Entry* entry = current.Find(profile::kClient, key);
    if (entry == nullptr || ProfileValueText(entry->value) != name) rename.changes.push_back(SetClient(key, name));
    return rename;
}

std::vector<ProfileChange> PlanMakeActive(const ProfileDocument& current, int32_t slot) {
    if (ActiveSlot(current) == slot && current.Find(profile::kClient, profile::kDefaultClient.name) != nullptr)
        return {};
    return {SetClient(profile::kDefaultClient.name, std::to_string(slot))};
}

}  // namespace qrtl::setup
