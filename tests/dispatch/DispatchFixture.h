// A configuration object on an in-memory desktop, with every trace line recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/QRTLIRSet.h"
#include "dispatch/Dispatch.h"
#include "fakes/Fakes.h"
#include "trace/Trace.h"

class DispatchTest : public ::testing::Test {
protected:
    static constexpr uint32_t kClientPid = 7;
    static constexpr char kIni[] = "C:\\Apps\\QRTLIRMoni.INI";

    void SetUp() override {
        SetTraceTransport(&transport);
        g_bInDoTimer = g_bPowerShutdown = g_bPowerLaunch = 0;
        set.SetServices(platform.Services());
        set.m_strIniPath = kIni;
        set.m_strItem = "MYTV";
        set.m_strCaption = "My TV";
        set.m_strClassName = "TVWnd";
        set.m_mapController = {{"10", "POWER"}, {"12", "VOL+"}, {"05", "BTN5"}};
        set.m_mapClient = {{"POWER", "#8001"}, {"VOL+", "*26"}, {"BTN5", "#5"}};
    }
    void TearDown() override { SetTraceTransport(nullptr); }

    // The client's main window, found by class and caption, owned by MYTV.EXE.
    qrtl::WindowHandle AddClient() {
        platform.desktop.AddProcess(kClientPid, "MYTV.EXE");
        return platform.desktop.AddWindow("TVWnd", "My TV", {}, kClientPid);
    }
    // Where the POWER key launches the client from: registry folder plus profile name.
    void InstallClient() {
        platform.profile.Set(kIni, "Client", "0_RegPath", "Software\\MyTV");
        platform.profile.Set(kIni, "Client", "0_RegFolder", "Folder");
        platform.profile.Set(kIni, "Client", "0_ExeName", "mytv.exe");
        platform.registry.keys[qrtl::RegRoot::LocalMachine]["Software\\MyTV"].values["Folder"] =
            "C:\\MyTV";
    }
    void Tick(const std::string& strByte = "0", BOOL bFake = 0) {
        set.DoTimer(&history, strByte, bFake);
    }

    // Each line as "level text".
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const auto& l : transport.lines) out.push_back(std::to_string(l.level) + " " + l.text);
        return out;
    }
    bool Traced(int32_t line) const {
        const std::string tail = " @ QRTLIRSet @ " + std::to_string(line);
        for (const auto& l : transport.lines)
            if (l.text.size() >= tail.size() &&
                l.text.compare(l.text.size() - tail.size(), tail.size(), tail) == 0)
                return true;
        return false;
    }

    fakes::FakePlatform platform;
    fakes::RecordingTransport transport;
    fakes::FakeHistory history;
    CQRTLIRSet set;
};
