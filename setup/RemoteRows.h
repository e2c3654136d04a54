// What the remote set-up window shows, worked out from the window's unsaved
// profile: the text with the owner's changes applied as the profile functions
// would write them, the 27 rows of the key list, each key's action in words, and
// the checker's findings in words with the key or field each one is about.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "setup/ProfileCheck.h"
#include "config/ProfileKeys.h"
#include "config/ProfileReader.h"
#include "setup/AppCommands.h"
#include "setup/ProfileChange.h"

namespace qrtl::setup {

// The profile as the owner edits it until Save: the file's text and the changes
// made since, one per section and key (a later change of the same key replaces
// the earlier one). Nothing here touches the file.
class EditedProfile {
public:
    EditedProfile() = default;
    explicit EditedProfile(std::string fileText);

    void Set(const std::string& section, const std::string& key, const std::string& value);
    // As the profile functions remove them: the first entry of the key in the first
    // section of that name; the first section of that name with every line up to
    // the next section.
    void Remove(const std::string& section, const std::string& key);
    void RemoveSection(const std::string& section);
    // Any change, as above; a list in its order.
    void Change(const ProfileChange& change);
    void Change(const std::vector<ProfileChange>& changes);
    // The value the monitor would read now (changes applied, 255 characters).
    std::string Get(const std::string& section, const std::string& key) const;
    int32_t GetInt(const std::string& section, const std::string& key, int32_t def) const;
    // A key of the profile keys table; a client key of client `nClient`.
    std::string Get(const profile::Key& key, int32_t nClient = 0) const;
    int32_t GetInt(const profile::Key& key, int32_t nClient = 0) const;

    // Changes made since the file was read or last saved, in the order first made
    // (removing a section drops the earlier changes inside it).
    const std::vector<ProfileChange>& Changes() const { return changes_; }
    bool Changed() const { return !changes_.empty(); }
    // After a save: the changes are now the file's text.
    void MarkSaved();

    // The text the file would have after Save: each changed key's line replaced,
    // a new key added after its section's last entry, a new section at the end.
    const std::string& Text() const { return text_; }
    const ProfileDocument& Document() const { return document_; }

    // The client the window edits and its item ("N_Item"), and its key map's section
    // "KeyMap_<item>": the one chosen with EditClient, else the active client
    // ([Client] "Default" picks N). The window may edit a client that POWER does not
    // start: each client has its own key map, the codes are shared.
    void EditClient(int32_t client) { editedClient_ = client; }  // -1: the active one
    int32_t EditedClient() const { return editedClient_; }
    int32_t ClientIndex() const;
    std::string ClientItem() const;
    std::string ClientSection() const;

private:
    // The change noted in Changes(), not yet applied to the text.
    void Record(const ProfileChange& change);
    void Apply(const ProfileChange& change);
    // All of them in one pass over the text; false, nothing done, when a name or
    // value would not read back as the same section and key (each is then applied alone).
    bool ApplyInOnePass(const std::vector<ProfileChange>& changes);
    void RemoveLines(const ProfileChange& change, std::vector<std::string>& lines);
    void SetText(const std::vector<std::string>& lines);

    std::string text_;
    ProfileDocument document_;
    std::vector<ProfileChange> changes_;
    int32_t editedClient_ = -1;
};

enum class KeyStatus {
    Ready,        // a code and an action: the key works
    NotLearned,   // no code yet
    NoAction,     // a code, but nothing is sent
    BadCode,      // the code is never received as written ("5" for "05")
    CodeTaken,    // another key shares the code and takes it
    BadAction,    // the command text is not posted as meant
};

// What a finding is about, for selecting it in the window.
enum class FindingTarget {
    None,    // the file or [Main]
    Key,     // one of the 27 keys (code or action)
    Client,  // the TV application's lines
};

struct FindingRow {
    std::string text;  // "Warning: VOL+=5 never matches ..."
    FindingTarget target = FindingTarget::None;
    std::string key;  // for Key: the remote key's name
    Severity severity = Severity::Note;
    std::string id;   // the checker's id: "code-format" ...
    FindingId kind = FindingId::Syntax;
    Finding finding;  // as the checker made it, for the window's own words
};

// What one finding's line is about.
struct FindingAbout {
    FindingTarget target = FindingTarget::None;
    std::string key;  // for Key: the remote key's name
};

// What each finding is about, from the section and key on its line (a key of the
// codes' or the active client's key map, or a line of [Client]); element i for
// findings[i]. Linear in the profile's lines and the findings.
std::vector<FindingAbout> FindingTargets(const ProfileDocument& doc, const std::string& clientSection,
                                         const std::vector<Finding>& findings);

// One line of the key list.
struct KeyRow {
    std::string name;     // "VOL+"
    std::string legend;   // "volume up"
    std::string code;     // "20", empty when not learned
    std::string command;  // "#9C4A"
    std::string action;   // in words: "Menu: Audio > Volume up"
    KeyStatus status = KeyStatus::NotLearned;
    std::string takenBy;  // for CodeTaken: the key that gets the code
};

// The 27 rows, in the monitor's order, from the unsaved profile and its findings
// (which tell a code or an action the monitor reads otherwise).
std::vector<KeyRow> KeyRows(const EditedProfile& profile, const AppCatalog& catalog,
                            const std::vector<FindingRow>& findings);

// The status mark in words: "ready", "not learned", "no action", "code never
// received", "code goes to CH+", "action not sent".
std::string StatusInWords(const KeyRow& row);

// "Error", "Warning", "Note".
std::string SeverityInWords(Severity severity);

// The checker's findings on the unsaved profile, in words, each with its target.
std::vector<FindingRow> FindingsInWords(const EditedProfile& profile,
                                        const CheckEnvironment& environment = {});

}  // namespace qrtl::setup
