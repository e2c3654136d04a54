#include "setup/LaunchSearch.h"

#include <cctype>
#include <vector>

#include "config/ProfileReader.h"
#include "setup/FilePaths.h"
#include "setup/ProfileLineCheck.h"

namespace qrtl::setup {

namespace {

constexpr char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kSoftware[] = "Software";
constexpr char kPathValue[] = "Path";
constexpr char kInstallLocation[] = "InstallLocation";

// Vendors below Software whose keys hold no application folders, or far too many keys
// to walk: the system's own, and the views of other hives.
constexpr const char* kSkippedVendors[] = {"Classes", "Clients", "Microsoft", "Policies",
                                           "RegisteredApplications", "Wow6432Node"};

// A value the monitor can read back whole and that names the folder.
bool Holds(const std::string& data, const std::string& folder) {
    return data.size() <= kProfileTextLimit && SameFolder(data, folder);
}

// A key path or value name that the profile can hold as it is (the launch lines
// carry both): a place with such names is taken before one without.
bool Keepable(const std::string& name) { return CheckProfileValue(name) == LineProblem::None; }

bool Skipped(const std::string& vendor) {
    for (const char* name : kSkippedVendors)
        if (ProfileNameEquals(vendor, name)) return true;
    return false;
}

// The text values of `key` that hold the folder, in order, to `take` until it
// takes one.
template <typename Take>
bool FindValue(IRegistry& registry, const std::string& key, const std::string& folder, Take take) {
    std::vector<std::pair<std::string, std::string>> values;
    if (!registry.MachineStringValues(key, values)) return false;
    for (const auto& [valueName, data] : values)
        if (Holds(data, folder) && take(valueName)) return true;
    return false;
}

}  // namespace

bool SameFolder(std::string_view a, std::string_view b) {
    auto cut = [](std::string_view s) {
        if (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.remove_suffix(1);
        return s;
    };
    a = cut(a);
    b = cut(b);
    if (a.size() != b.size() || a.empty()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        const bool slashes = (x == '\\' || x == '/') && (y == '\\' || y == '/');
        if (x != y && !slashes) return false;
    }
    return true;
}

LaunchLines FindLaunchLines(IRegistry& registry, const std::string& exePath) {
    LaunchLines lines;
    const std::string folder = FolderOf(exePath);
    const std::string exe = FileNameOf(exePath);
    if (folder.empty() || exe.empty()) return lines;
    // The first place whose names the profile cannot hold: taken only when no other
    // place names the folder, so that the plan can say why it writes no launch lines.
    LaunchLines unkeepable;
    auto take = [&](const std::string& key, const std::string& value, const char* where) {
        LaunchLines& to = Keepable(key) && Keepable(value) ? lines : unkeepable;
        if (!to.found) to = {true, key, value, exe, where};
        return lines.found;
    };

    const std::string appPath = kAppPaths + exe;
    std::string data;
    if (registry.ReadMachineString(appPath, kPathValue, data) && Holds(data, folder) &&
        take(appPath, kPathValue, "App Paths"))
        return lines;

    std::vector<std::string> entries;
    if (registry.MachineSubKeys(kUninstall, entries)) {
        for (const std::string& entry : entries) {
            const std::string key = std::string(kUninstall) + "\\" + entry;
            if (registry.ReadMachineString(key, kInstallLocation, data) && Holds(data, folder) &&
                take(key, kInstallLocation, "Uninstall"))
                return lines;
        }
    }

    std::vector<std::string> vendors;
    if (registry.MachineSubKeys(kSoftware, vendors)) {
        for (const std::string& vendor : vendors) {
            if (Skipped(vendor)) continue;
            const std::string vendorKey = std::string(kSoftware) + "\\" + vendor;
            std::vector<std::string> products;
            if (!registry.MachineSubKeys(vendorKey, products)) continue;
            for (const std::string& product : products) {
                const std::string productKey = vendorKey + "\\" + product;
                auto inProduct = [&](const std::string& name) { return take(productKey, name, "Software\\Vendor"); };
                if (FindValue(registry, productKey, folder, inProduct)) return lines;
                std::vector<std::string> parts;
                if (!registry.MachineSubKeys(productKey, parts)) continue;
                for (const std::string& part : parts) {
                    const std::string partKey = productKey + "\\" + part;
                    auto inPart = [&](const std::string& name) { return take(partKey, name, "Software\\Vendor"); };
                    if (FindValue(registry, partKey, folder, inPart)) return lines;
                }
            }
        }
    }
    return unkeepable.found ? unkeepable : lines;
}

}  // namespace qrtl::setup
