// Resource identifiers of QRTLRemote.exe. Plain macros because the resource
// compiler reads this file; the C++ code uses the typed mirrors at the end.
#ifndef QRTL_REMOTE_RESOURCE_H
#define QRTL_REMOTE_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The set-up window (template 200)
#define IDD_REMOTE 200
#define IDC_CLIENT_DESC 2001
#define IDC_FINDER 2002
#define IDC_WINDOWS 2003
#define IDC_USE_WINDOW 2004
#define IDC_FILL 2005
#define IDC_LAUNCH 2006
#define IDC_RECEIVER 2007
#define IDC_KEYS 2008
#define IDC_LEARN 2009
#define IDC_ACTION 2010
#define IDC_TEST 2011
#define IDC_CLEAR 2012
#define IDC_LEARN_ALL 2013
#define IDC_FINDINGS 2014
#define IDC_LIVE 2015
#define IDC_SAVE 2016
#define IDC_CLOSE 2017
#define IDC_PROMPT 2018
#define IDC_APP_GROUP 2019
#define IDC_KEYS_GROUP 2020
#define IDC_FINDINGS_GROUP 2021
// The banner (what matters until it changes) and Save as...
#define IDC_BANNER 2030
#define IDC_SAVE_AS 2031
// The application selector (new ids after every earlier one)
#define IDC_APP_SLOTS 2040
#define IDC_APP_ACTIVE 2041
#define IDC_APP_ADD 2042
#define IDC_APP_REMOVE 2043
#define IDC_APP_NAME 2044
#define IDC_APP_RENAME 2045

// The action chooser (template 201)
#define IDD_ACTION 201
#define IDC_ACT_KEY 2101
#define IDC_ACT_COMMANDS 2102
#define IDC_ACT_KEYS 2103
#define IDC_ACT_ADVANCED 2104
#define IDC_ACT_WORDS 2105
#define IDC_ACT_ADVANCED_LABEL 2106
#define IDC_ACT_SHOW_ADVANCED 2107

// Clear's question (template 202)
#define IDD_CLEAR 202
#define IDC_CLR_TEXT 2201
#define IDC_CLR_CODE 2202
#define IDC_CLR_ACTION 2203
#define IDC_CLR_BOTH 2204

// The replace question (template 203); its text has the message box's text id
#define IDD_REPLACE 203
#define IDC_REPLACE_TEXT 65535

// Icon
#define IDR_MAINFRAME 128

#ifndef RC_INVOKED
namespace res {
constexpr unsigned kDlgRemote = IDD_REMOTE;
constexpr unsigned kDlgAction = IDD_ACTION;
constexpr unsigned kDlgClear = IDD_CLEAR;
constexpr unsigned kIconMain = IDR_MAINFRAME;
constexpr unsigned kDlgReplace = IDD_REPLACE;
constexpr int kReplaceText = IDC_REPLACE_TEXT;

// The set-up window's controls.
constexpr int kClientDesc = IDC_CLIENT_DESC;
constexpr int kFinder = IDC_FINDER;
constexpr int kWindows = IDC_WINDOWS;
constexpr int kUseWindow = IDC_USE_WINDOW;
constexpr int kFill = IDC_FILL;
constexpr int kLaunch = IDC_LAUNCH;
constexpr int kReceiver = IDC_RECEIVER;
constexpr int kKeys = IDC_KEYS;
constexpr int kLearn = IDC_LEARN;
constexpr int kAction = IDC_ACTION;
constexpr int kTest = IDC_TEST;
constexpr int kClear = IDC_CLEAR;
constexpr int kLearnAll = IDC_LEARN_ALL;
constexpr int kFindings = IDC_FINDINGS;
constexpr int kLive = IDC_LIVE;
constexpr int kSave = IDC_SAVE;
constexpr int kClose = IDC_CLOSE;
constexpr int kPrompt = IDC_PROMPT;
constexpr int kAppGroup = IDC_APP_GROUP;
constexpr int kKeysGroup = IDC_KEYS_GROUP;
constexpr int kFindingsGroup = IDC_FINDINGS_GROUP;
constexpr int kBanner = IDC_BANNER;
constexpr int kSaveAs = IDC_SAVE_AS;
// The application selector's controls.
constexpr int kAppSlots = IDC_APP_SLOTS;
constexpr int kAppActive = IDC_APP_ACTIVE;
constexpr int kAppAdd = IDC_APP_ADD;
constexpr int kAppRemove = IDC_APP_REMOVE;
constexpr int kAppName = IDC_APP_NAME;
constexpr int kAppRename = IDC_APP_RENAME;

// The action chooser's controls.
constexpr int kActKey = IDC_ACT_KEY;
constexpr int kActCommands = IDC_ACT_COMMANDS;
constexpr int kActKeys = IDC_ACT_KEYS;
constexpr int kActAdvanced = IDC_ACT_ADVANCED;
constexpr int kActWords = IDC_ACT_WORDS;

// Clear's question.
constexpr int kClrText = IDC_CLR_TEXT;
constexpr int kClrCode = IDC_CLR_CODE;
constexpr int kClrAction = IDC_CLR_ACTION;
constexpr int kClrBoth = IDC_CLR_BOTH;
constexpr int kActAdvancedLabel = IDC_ACT_ADVANCED_LABEL;
constexpr int kActShowAdvanced = IDC_ACT_SHOW_ADVANCED;
}  // namespace res
#endif

#endif  // QRTL_REMOTE_RESOURCE_H
