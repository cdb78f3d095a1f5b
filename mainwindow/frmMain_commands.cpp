// The Edit, Format, View, Window, Control and Help commands and the
// right-click menu. Their behaviour comes with the editing commands; until
// then the entries exist and do nothing.
#include "frmMain.h"

void frmMain::mnuEditUndo_Click() {}
void frmMain::mnuEditCut_Click() {}
void frmMain::mnuEditCopy_Click() {}
void frmMain::mnuEditPaste_Click() {}
void frmMain::mnuEditSelectAll_Click() {}
void frmMain::mnuEditFind_Click() {}
void frmMain::mnuFormatFont_Click() {}
void frmMain::mnuZoomIn_Click() {}
void frmMain::mnuZoomOut_Click() {}
void frmMain::mnuWindowBar_Click() {}
void frmMain::mnuWindowText_Click() {}
void frmMain::mnuWindowBrowser_Click() {}
void frmMain::mnuWindowCascade_Click() {}
void frmMain::mnuWindowTileHorizontal_Click() {}
void frmMain::mnuWindowTileVertical_Click() {}
void frmMain::mnuWindowArrangeIcons_Click() {}
void frmMain::mnuCtlSpeak_Click() {}
void frmMain::mnuCtlPause_Click() {}
void frmMain::mnuCtlStop_Click() {}
void frmMain::mnuCtlclipboard_Click() {}
void frmMain::mnuCtlDictation_Click() {}
void frmMain::mnuCtlSet_Click() {}
void frmMain::mnuCtlSaveClipboardTexttoWav_Click() {}
void frmMain::mnuHelphelp_Click() {}
void frmMain::mnuHelpWebsite_Click() {}
void frmMain::mnuHelpAddVoices_Click() {}
void frmMain::MnuSug_Click() {}
void frmMain::mnuEmailus_Click() {}
void frmMain::mnuHelpAbout_Click() {}
void frmMain::mnuVideoHelp_Click() {}
void frmMain::mnuPopCut_Click() {}
void frmMain::mnuPopCopy_Click() {}
void frmMain::mnuPopPaste_Click() {}
void frmMain::mnuPopFont_Click() {}
void frmMain::mnuPopSpeak_Click() {}
void frmMain::mnuPopPause_Click() {}
void frmMain::mnuPopStop_Click() {}
void frmMain::mnuTrayClipboardtoWav_Click() {}
void frmMain::mnuInsertSpell_Click() {}
