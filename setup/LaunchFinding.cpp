#include "setup/LaunchFinding.h"

#include "config/ProfileKeys.h"
#include "dispatch/MonitorSimulation.h"

namespace qrtl::setup {

namespace {
constexpr char kAddedExtension[] = ".exe";
}

bool StartAddsExtension(const std::string& exeName) {
    // The system looks for a dot in the file name only, not in the folders above it.
    const std::size_t slash = exeName.find_last_of("\\/");
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return exeName.find('.', start) == std::string::npos;
}

LaunchFinding FindLaunch(const ProfileDocument& document, IRegistry& registry, const PathKindOf& pathKind) {
    dispatch::SimulatedSystem system;
    system.registry = &registry;
    dispatch::MonitorSimulation monitor(document, system);
    LaunchFinding finding;
    finding.client = monitor.Loaded().m_nDefaultClient;
    const int32_t n = finding.client;
    finding.regPath = document.GetString(profile::kClient, profile::KeyName(profile::kRegPath, n));
    finding.regFolder = document.GetString(profile::kClient, profile::KeyName(profile::kRegFolder, n));
    finding.exeName = document.GetString(profile::kClient, profile::KeyName(profile::kExeName, n));
    finding.extensionAdded = !finding.exeName.empty() && StartAddsExtension(finding.exeName);
    if (finding.regPath.empty()) {
        finding.state = LaunchState::NoLaunchLines;
        return finding;
    }
    const std::string path = monitor.ClientExePath();
    if (path.empty()) {
        finding.state = LaunchState::FolderUnreadable;
        return finding;
    }
    finding.program = StartAddsExtension(path) ? path + kAddedExtension : path;
    if (!pathKind) {
        finding.state = LaunchState::NotChecked;
        return finding;
    }
    switch (pathKind(finding.program)) {
    case PathKind::File: finding.state = LaunchState::Starts; break;
    case PathKind::Folder: finding.state = LaunchState::ProgramIsFolder; break;
    case PathKind::Missing: finding.state = LaunchState::ProgramMissing; break;
    }
    return finding;
}

}  // namespace qrtl::setup
