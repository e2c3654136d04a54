#include <cstring>

#include "dispatch/DispatchFixture.h"

namespace {

// A window the enumeration accepts (children 1, 2, 3), owned by MYTV.EXE.
qrtl::WindowHandle AddLayoutWindow(fakes::FakeDesktop& desktop, uint32_t pid = 8) {
    desktop.AddProcess(pid, "MYTV.EXE");
    return desktop.AddWindow("Other", "Other", {1, 2, 3}, pid);
}

TEST_F(DispatchTest, FindTarget_CaptionWindowOfWrongProcess_NullWithoutEnumeration) {
    platform.desktop.AddProcess(kClientPid, "OTHER.EXE");
    const auto rejected = platform.desktop.AddWindow("TVWnd", "My TV", {}, kClientPid);
    set.m_nChild0 = 1, set.m_nChild1 = 2, set.m_nChild2 = 3;
    AddLayoutWindow(platform.desktop);

    EXPECT_EQ(set.FindTargetClientWindow(), qrtl::kNoWindow);
    EXPECT_EQ(set.m_hWndClient, rejected);
    EXPECT_FALSE(Traced(379));
    EXPECT_TRUE(Traced(416));
}

TEST_F(DispatchTest, FindTarget_ProfileFindsNothing_EnumerationNeedsAllThreeChildren) {
    set.m_strCaption = "Absent";
    set.m_nChild0 = 1, set.m_nChild1 = 2, set.m_nChild2 = 3;
    platform.desktop.AddWindow("A", "two of three", {1, 2}, 8);
    platform.desktop.AddWindow("B", "first and third", {1, 3}, 8);
    const auto hWnd = AddLayoutWindow(platform.desktop);

    EXPECT_EQ(set.FindTargetClientWindow(), hWnd);
    const auto lines = Lines();
    const std::vector<std::string> expected = {
        "100 MYTV @ QRTLIRSet @ 390",
        "101 TVWnd, Absent, 00000000 @ QRTLIRSet @ 342",
        "100 EnumWindow Found : 00010030 @ QRTLIRSet @ 379",
        "100 m_hWndClient : 00010030 @ QRTLIRSet @ 396",
        "100 FoundAtProcessName : MYTV.EXE, MYTV.EXE @ QRTLIRSet @ 44",
        "100 Target Window : Other @ QRTLIRSet @ 411",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(DispatchTest, FindTarget_TwoWindowsPassChildTest_FirstInEnumerationTaken) {
    set.m_strCaption = "Absent";
    set.m_nChild0 = 1, set.m_nChild1 = 2, set.m_nChild2 = 3;
    const auto first = AddLayoutWindow(platform.desktop, 8);
    AddLayoutWindow(platform.desktop, 9);
    EXPECT_EQ(set.FindTargetClientWindow(), first);
}

TEST_F(DispatchTest, FindTarget_NothingFound_LastLineIsExactReturnNull) {
    set.m_strCaption = "Absent";
    EXPECT_EQ(set.FindTargetClientWindow(), qrtl::kNoWindow);
    EXPECT_EQ(Lines().back(), "100 FindTargetClientWindow Return NULL @ QRTLIRSet @ 416");
}

TEST_F(DispatchTest, FindWindowByProfile_EmptyTexts_ChooseCallFormOrNoCall) {
    platform.desktop.AddWindow("TVWnd", "My TV", {}, kClientPid);
    struct Case { const char* cls; const char* caption; int calls; bool found; };
    const Case cases[] = {
        {"TVWnd", "My TV", 1, true}, {"", "my tv", 1, true}, {"tvwnd", "", 1, true},
        {"Wrong", "My TV", 1, false}, {"", "", 0, false},
    };
    for (const Case& c : cases) {
        platform.desktop.findCalls = 0;
        set.m_strClassName = c.cls;
        set.m_strCaption = c.caption;
        EXPECT_EQ(set.FindWindowByProfile() != qrtl::kNoWindow, c.found) << c.cls << "/" << c.caption;
        EXPECT_EQ(platform.desktop.findCalls, c.calls) << c.cls << "/" << c.caption;
    }
    EXPECT_EQ(Lines().back(), "101 , , 00000000 @ QRTLIRSet @ 342");
}

TEST_F(DispatchTest, FindTarget_ChildIdsAllZero_AcceptsFirstWindowWithChildZero) {
    set.m_strCaption.clear();
    set.m_strClassName.clear();
    platform.desktop.AddProcess(8, "MYTV.EXE");
    platform.desktop.AddWindow("A", "no children", {}, 8);
    const auto hWnd = platform.desktop.AddWindow("B", "child zero", {0}, 8);
    EXPECT_EQ(set.FindTargetClientWindow(), hWnd);
    EXPECT_EQ(platform.desktop.findCalls, 0);
}

TEST_F(DispatchTest, FindTarget_ItemAgainstUpperCasedExeName_SubstringCaseSensitive) {
    struct Case { const char* item; const char* exe; bool found; };
    const Case cases[] = {
        {"MYTV", "mytv.exe", true},
        {"MYTV", "C:\\PROGRAM FILES\\MYTV\\MYTV.EXE", true},  // the 9x snapshot's full path
        {"mytv", "mytv.exe", false},                          // a lower-case item never matches
        {"MyTV", "MYTV.EXE", false},
        {"", "anything.exe", true},                           // an empty item matches every process
        {"TV.E", "mytv.exe", true},
        {"MYTV2", "mytv.exe", false},
    };
    const auto hWnd = platform.desktop.AddWindow("TVWnd", "My TV", {}, kClientPid);
    platform.desktop.AddProcess(kClientPid, "");
    for (const Case& c : cases) {
        set.m_strItem = c.item;
        platform.desktop.processes[0].exeName = c.exe;
        EXPECT_EQ(set.FindTargetClientWindow(), c.found ? hWnd : qrtl::kNoWindow)
            << c.item << " in " << c.exe;
    }
}

TEST_F(DispatchTest, FindTarget_SnapshotFails_ReportsBoxAndReturnsNull) {
    AddClient();
    platform.desktop.snapshotFails = true;
    EXPECT_EQ(set.FindTargetClientWindow(), qrtl::kNoWindow);
    EXPECT_EQ(transport.boxes, std::vector<std::string>{"CreateTooHelp32Snapshot failed !!\n"});
    EXPECT_TRUE(Traced(416));
}

TEST_F(DispatchTest, FoundAtProcessName_ProcessGoneOrLongName_BoundedResult) {
    const auto hWnd = platform.desktop.AddWindow("TVWnd", "My TV", {}, kClientPid);
    char name[256];
    EXPECT_FALSE(FoundAtProcessName(platform.desktop, hWnd, name));  // not in the snapshot

    platform.desktop.AddProcess(3, "OTHER.EXE");
    platform.desktop.AddProcess(kClientPid, std::string(300, 'N'));
    ASSERT_TRUE(FoundAtProcessName(platform.desktop, hWnd, name));
    EXPECT_EQ(std::strlen(name), 255u);
    EXPECT_EQ(std::string(name), std::string(255, 'N'));
}

}  // namespace
