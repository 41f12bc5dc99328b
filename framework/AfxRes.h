// Ids of the framework's own commands and texts; plain defines so the resource compiler reads them too.
#pragma once

#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_SAVE 0xE103
#define ID_FILE_PRINT 0xE107
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_UNDO 0xE12B
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_NEXT_PANE 0xE150
#define ID_PREV_PANE 0xE151

#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDS_UNTITLED 0xE001
#define AFX_IDS_OPENFILE 0xF001
#define AFX_IDS_SAVEFILE 0xF002
#define AFX_IDS_ALLFILTER 0xF004
#define AFX_IDP_FAILED_TO_OPEN_DOC 0xF101
#define AFX_IDP_FAILED_TO_SAVE_DOC 0xF102
