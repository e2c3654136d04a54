// What the set-up window turns off and says for a read-only profile and a card
// receiver it cannot read: the decisions per combination, and the words that must
// name the driver, the cure and never ask for a learn that is off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/WindowGate.h"

namespace {

using qrtl::setup::OffReason;
using qrtl::setup::ReceiverFault;
using qrtl::setup::WindowFacts;

constexpr char kDriver[] = "QRD210DE.DLL";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(WindowGate, Facts_LearnSaveSaveAsOffForTheFirstReasonThatHolds) {
    struct Case {
        const char* name;
        WindowFacts facts;
        OffReason learn, save, saveAs;
    };
    const WindowFacts plain;
    WindowFacts changed;
    changed.changed = true;
    WindowFacts readOnly;
    readOnly.readOnly = true;
    readOnly.changed = true;
    WindowFacts noDriver;
    noDriver.receiver = ReceiverFault::DriverMissing;
    noDriver.changed = true;
    WindowFacts both = readOnly;
    both.receiver = ReceiverFault::DriverHung;
    WindowFacts learning = changed;
    learning.learning = true;
    WindowFacts monitor;
    monitor.monitorRuns = true;
    const Case cases[] = {
        {"nothing changed", plain, OffReason::None, OffReason::NothingToSave, OffReason::None},
        {"changed", changed, OffReason::None, OffReason::None, OffReason::None},
        {"read-only", readOnly, OffReason::ReadOnly, OffReason::ReadOnly, OffReason::None},
        {"no driver: Save stays", noDriver, OffReason::NoReceiver, OffReason::None, OffReason::None},
        {"both: the receiver first for Learn", both, OffReason::NoReceiver, OffReason::ReadOnly, OffReason::None},
        {"learning", learning, OffReason::Learning, OffReason::Learning, OffReason::Learning},
        {"a running monitor stops nothing", monitor, OffReason::None, OffReason::NothingToSave, OffReason::None},
    };
    for (const Case& c : cases) {
        const auto gate = qrtl::setup::GateWindow(c.facts);
        EXPECT_EQ(gate.learn, c.learn) << c.name;
        EXPECT_EQ(gate.save, c.save) << c.name;
        EXPECT_EQ(gate.saveAs, c.saveAs) << c.name;
    }
}

TEST(WindowGate, Faults_BannerReceiverLineFindingAndGreetingInTheOwnersWords) {
    struct Case {
        ReceiverFault fault;
        const char* finding;  // the first line of "What is wrong"
        const char* receiver;
        const char* whyOff;
    };
    const Case cases[] = {
        {ReceiverFault::DriverMissing, "The card driver QRD210DE.DLL is missing: install the card's driver",
         "Learning is off: the card driver QRD210DE.DLL is missing.",
         "Learn is off: the card driver QRD210DE.DLL is missing; install the card's driver."},
        {ReceiverFault::CardNotStarting,
         "The card does not start (its driver QRD210DE.DLL is there): check the card and its driver",
         "Learning is off: the card does not start (its driver QRD210DE.DLL is there).",
         "Learn is off: the card does not start (its driver QRD210DE.DLL is there); check the card and its "
         "driver."},
        {ReceiverFault::DriverHung,
         "The card driver has not answered a read for 5 s: check the card, then start the set-up again",
         "Learning is off: the card driver has not answered a read for 5 s.",
         "Learn is off: the card driver has not answered a read for 5 s; check the card, then start the set-up "
         "again."},
    };
    for (const Case& c : cases) {
        WindowFacts facts;
        facts.receiver = c.fault;
        facts.monitorRuns = true;  // the fault is said, not the monitor
        std::vector<qrtl::setup::FindingRow> findings(1);
        findings[0].text = "Warning: VOL-=5 never matches";
        qrtl::setup::PutReceiverFinding(findings, c.fault, kDriver);
        ASSERT_EQ(findings.size(), 2u);
        EXPECT_EQ(findings[0].text, c.finding);
        EXPECT_EQ(findings[0].severity, qrtl::Severity::Error);
        EXPECT_EQ(findings[0].target, qrtl::setup::FindingTarget::None);
        EXPECT_EQ(qrtl::setup::ReceiverLine(facts, kDriver), c.receiver);
        const std::string banner = qrtl::setup::BannerText(facts, kDriver, {});
        EXPECT_TRUE(Has(banner, std::string(c.finding) + ". Learn is off")) << banner;
        EXPECT_FALSE(Has(qrtl::setup::Greeting(facts), "learn")) << qrtl::setup::Greeting(facts);
        EXPECT_EQ(qrtl::setup::WhyOff("Learn", OffReason::NoReceiver, facts, kDriver), c.whyOff);
    }
    std::vector<qrtl::setup::FindingRow> none;
    qrtl::setup::PutReceiverFinding(none, ReceiverFault::None, kDriver);
    EXPECT_TRUE(none.empty());
}

TEST(WindowGate, Banner_OneLinePerMessage_ReadOnlyFirstLastSaveLast) {
    struct Case {
        const char* name;
        bool readOnly;
        ReceiverFault fault;
        const char* lastSave;
        std::vector<const char*> starts;  // of each line, in order
        const char* takeNotes = "";
    };
    const Case cases[] = {
        {"nothing to say", false, ReceiverFault::None, "", {}},
        {"read-only", true, ReceiverFault::None, "", {"The profile is read-only: Save and Learn are off."}},
        {"all three", true, ReceiverFault::DriverMissing, "Not saved: the disk is full.",
         {"The profile is read-only", "The card driver QRD210DE.DLL is missing", "Not saved: the disk is full."}},
        {"a save only", false, ReceiverFault::None, "Saved C:\\TV\\QRTLIRMoni.INI.", {"Saved C:\\TV\\QRTLIRMoni.INI."}},
        // A window taken since: its notes are the newer news.
        {"a window taken after a save", true, ReceiverFault::None, "Saved C:\\TV\\QRTLIRMoni.INI.",
         {"The profile is read-only", "POWER cannot start Notepad"}, "POWER cannot start Notepad: ..."},
    };
    for (const Case& c : cases) {
        WindowFacts facts;
        facts.readOnly = c.readOnly;
        facts.receiver = c.fault;
        facts.takeNotes = c.takeNotes;
        const std::string banner = qrtl::setup::BannerText(facts, kDriver, c.lastSave);
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < banner.size();) {
            const std::size_t end = banner.find("\r\n", at);
            lines.push_back(banner.substr(at, end == std::string::npos ? std::string::npos : end - at));
            at = end == std::string::npos ? banner.size() : end + 2;
        }
        ASSERT_EQ(lines.size(), c.starts.size()) << c.name << ": " << banner;
        for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].rfind(c.starts[i], 0), 0u) << c.name;
    }
}

TEST(WindowGate, ReadOnly_SaysWhyAndTheCureWhereverLearnOrSaveIsRefused) {
    WindowFacts facts;
    facts.readOnly = true;
    const auto gate = qrtl::setup::GateWindow(facts);
    for (const std::string& text :
         {qrtl::setup::WhyOff("Save", gate.save, facts, kDriver), qrtl::setup::WhyOff("Learn", gate.learn, facts, kDriver),
          qrtl::setup::BannerText(facts, kDriver, {}), qrtl::setup::Greeting(facts)}) {
        EXPECT_TRUE(Has(text, "read-only")) << text;
        EXPECT_TRUE(Has(text, "Save as...")) << text;
    }
    EXPECT_EQ(qrtl::setup::ReceiverLine(facts, kDriver),
              "Learning is off while the profile is read-only.");
}

}  // namespace
