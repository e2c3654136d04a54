// Resource and command ids of StandinTV. The commands are those of the sample
// profile's [KeyMap_STANDINTV], so the stand-in understands what the demo sends.
#pragma once

#define IDR_STANDIN_MENU 100
#define IDR_STANDIN_ACCEL 101

#define ID_AUDIO_VOLUME_UP 0x8001
#define ID_AUDIO_VOLUME_DOWN 0x8002
#define ID_AUDIO_MUTE 0x8003
#define ID_CHANNEL_LAST 0x8004
#define ID_CHANNEL_NEXT 0x8005
#define ID_CHANNEL_PREVIOUS 0x8006
#define ID_FILE_EXIT 0x8010
#define ID_VIEW_FULL_SCREEN 0x8011
#define ID_CHANNEL_SCAN 0x8012
#define ID_AUDIO_TV_FM 0x8013
#define ID_VIEW_VIDEO_SOURCE 0x8014
#define ID_VIEW_FREEZE 0x8015
#define ID_VIEW_LIVE 0x8016
#define ID_TOOLS_OPTIONS 0x8017
#define ID_FILE_OPEN 0x8020
#define ID_FILE_RECORD 0x8021

// Buttons below the status lines.
#define IDC_BUTTON_MUTE 1101
#define IDC_BUTTON_LOUDER 1102
#define IDC_BUTTON_SOFTER 1103
#define IDC_BUTTON_1 1111
#define IDC_BUTTON_2 1112
#define IDC_BUTTON_3 1113
