// The user-interface side of the shell that the wallpaper cycle drives:
// message boxes, the tray icon, the modeless dialogs, the save dialog and the
// main window. The Windows shell implements it; tests use a recording fake.
#pragma once

#include <cstdint>

enum class ShellDialog { settings, saveAs, about };

// Who owns a message box.
enum class MessageOwner { none, mainWindow };

// What the clipboard held.
enum class ClipboardText {
    text,     // its text is in the buffer
    none,     // no text (empty, or a picture, or it could not be opened)
    tooLong   // more text than the buffer holds
};

class ShellUi {
public:
    virtual ~ShellUi() {}
    // A message box with the text of string textId and the default caption
    // (string 320); style 0 shows the program's icon. Returns the button.
    virtual int32_t showMessage(MessageOwner owner, uint32_t textId, uint32_t style) = 0;
    // Adds the tray icon, paused or running; false when the taskbar did not
    // take it.
    virtual bool addTrayIcon(bool paused) = 0;
    // Shows the paused or the running tray icon.
    virtual void updateTrayIcon(bool paused) = 0;
    virtual bool isDialogOpen(ShellDialog dialog) = 0;
    virtual void bringToFront(ShellDialog dialog) = 0;
    // Creates the modeless settings or About dialog (not the save dialog).
    virtual void openDialog(ShellDialog dialog) = 0;
    // Closes an open dialog. The settings dialog is destroyed at once,
    // without its Cancel, so the hold it had stays with the caller; the save
    // dialog gets WM_CLOSE, which makes askSaveFileName return false.
    virtual void closeDialog(ShellDialog dialog) = 0;
    // The modal save dialog (GetSaveFileNameA) opening in initialFolder,
    // asking before overwriting when askOverWrite. True with the chosen path
    // (260 bytes) on OK. The main loop keeps running meanwhile, so cycle
    // events may arrive before it returns.
    virtual bool askSaveFileName(const char *initialFolder, bool askOverWrite, char *path) = 0;
    // The clipboard's text in the ANSI code page: written (replacing what
    // it held; false when it could not be), and read into size bytes.
    virtual bool writeClipboardText(const char *text) = 0;
    virtual ClipboardText readClipboardText(char *out, uint32_t size) = 0;
    // The primary screen's size in pixels; false when unknown.
    virtual bool screenSize(int32_t *width, int32_t *height) = 0;
    // The About dialog, when open, shows the new wallpaper count.
    virtual void showCount(uint32_t count) = 0;
    // DestroyWindow on the main window: the program ends through the usual
    // shut-down.
    virtual void destroyMainWindow() = 0;
};
