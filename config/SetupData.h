// The portable half of the setup dialog: the three settings it shows, read from
// and written to the profile, and the autorun value kept in step.
#pragma once

#include <cstdint>
#include <string>

#include "config/QRTLIRSet.h"

class CSetupData {
public:
    explicit CSetupData(CQRTLIRSet& set);

    int32_t m_bAutoRun = 0;    // check box 1010, [Main] AutoRun
    int32_t m_bShutDown = 0;   // check box 1009, [Main] ShutDown
    int32_t m_nDefault = -1;   // combo box 1008, [Client] Default

    // Nonzero reads the three settings from the profile file; zero writes them into
    // it, and the autorun value under the Run key (the one registry write) follows
    // AutoRun. Once the dialog has read them, a write reads them again under the
    // profile's lock and writes only those the owner changed since: a value another
    // program (the remote's set-up window) wrote meanwhile stays.
    void UpdateRegistry(BOOL bRead);
    // The loading direction of the data exchange: UpdateRegistry(TRUE), then a flag
    // below 0 or above 2 becomes 0 (a check box shows 0..2).
    void LoadForDialog();
    // The saving direction: takes the two check states (0/1) and the combo selection,
    // then writes those that differ from what the dialog showed as UpdateRegistry(FALSE) does. Without a selection (-1) the stored [Client] Default
    // is kept: a client the list cannot show stays the POWER application. Returns what
    // the user must be told, in one message; empty when all was saved.
    std::string SaveFromDialog(int32_t autoRunChecked, int32_t shutDownChecked, int32_t selection);

protected:
    // Writes the settings and applies autorun; the message for the user, or empty.
    // A profile that cannot be written leaves the Run value alone, so that the two
    // never disagree.
    std::string WriteSettings();

    CQRTLIRSet& m_set;
    bool m_bKeepDefault = false;  // OK without a selection: [Client] Default is not written

private:
    // What the dialog showed, to tell the owner's changes from the file's.
    struct Shown {
        bool valid = false;
        int32_t autoRun = 0;
        int32_t shutDown = 0;
        int32_t defaultClient = 0;
    };
    Shown m_shown;
};
