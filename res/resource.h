// Resource ids of the launcher; plain defines so the resource compiler reads them too.
#pragma once

#include "framework/AfxRes.h"
#include "res/PictureIds.h"

// Menu, accelerators, icon and document string share this id.
#define IDR_MAINFRAME 128

// The About box and its controls.
#define IDD_ABOUTBOX 100
#define IDC_WEB_SITE 1000
#define IDC_VERSION_TEXT 1001
#define IDS_ABOUT_TEXT 670

// Settings value names; the texts stored under these ids are the names themselves.
#define IDS_REG_FLAGS 513
#define IDS_REG_SHOW 515
#define IDS_REG_TOP 516
#define IDS_REG_LEFT 517
#define IDS_REG_SECTION 1000
#define IDS_REG_SIZE_INDEX 1016

// The reserved word that marks a catalogue slot without a game.
#define IDS_UNUSED 645

// Relative executable paths of the twelve games, in game order.
#define IDS_GAME_PATH_FIRST 656
#define IDS_PATH_BACKGAMMON 656
#define IDS_PATH_BRIDGE 657
#define IDS_PATH_CHECKERS 658
#define IDS_PATH_CHESS 659
#define IDS_PATH_CHINESECHESS 660
#define IDS_PATH_DOMINOES 661
#define IDS_PATH_FOURINALINE 662
#define IDS_PATH_GO 663
#define IDS_PATH_GOMOKU 664
#define IDS_PATH_REVERSI 665
#define IDS_PATH_SHOGI 666
#define IDS_PATH_TAIPEI 667

// Settings identity.
#define IDS_COMPANY 668
#define IDS_PROFILE_NAME 669

#define ID_ONLINE_HELP 32771

// Game commands, in game order.
#define ID_LAUNCH_FIRST 32772
#define ID_LAUNCH_BACKGAMMON 32772
#define ID_LAUNCH_BRIDGE 32773
#define ID_LAUNCH_CHECKERS 32774
#define ID_LAUNCH_CHESS 32775
#define ID_LAUNCH_CHINESECHESS 32776
#define ID_LAUNCH_DOMINOES 32777
#define ID_LAUNCH_FOURINALINE 32778
#define ID_LAUNCH_GO 32779
#define ID_LAUNCH_GOMOKU 32780
#define ID_LAUNCH_REVERSI 32781
#define ID_LAUNCH_SHOGI 32782
#define ID_LAUNCH_TAIPEI 32783

// Screen-size commands.
#define ID_SIZE_LARGE 32784
#define ID_SIZE_MEDIUM 32785
#define ID_SIZE_SMALL 32786
