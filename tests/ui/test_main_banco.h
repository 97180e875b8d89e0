// The test bench of the main window: one main window with its info panel,
// built as WinMain builds them, whose messages are recorded on their way to
// MainProc and to the panel; message boxes and dialogs answered from inside
// the test thread; a message pump that runs until a condition holds.
#ifndef VORANDEL_TEST_MAIN_BANCO_H
#define VORANDEL_TEST_MAIN_BANCO_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A message as it reached a window procedure.
struct evento {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// A message box or dialog that was opened, and the answer it got.
struct scatola {
    std::string titolo;
    std::string testo;
    HWND proprietario;
    int risposta;
};

namespace banco {

extern HWND principale;  // the main window
extern HWND pannello;    // the info panel's window

// Builds the window and the panel once per test program; installs the hook
// that answers boxes.
void costruisci();

// Messages recorded since the last azzera().
const std::vector<evento>& eventi_finestra();
const std::vector<evento>& eventi_pannello();
int conta(const std::vector<evento>& ev, UINT msg);
int conta(const std::vector<evento>& ev, UINT msg, WPARAM wParam);
// Quit messages that reached the pump.
int uscite();

// Boxes opened since the last azzera(); the answers given to the next boxes
// (a command id each, posted as WM_COMMAND). A box with no answer planned is
// recorded and closed with IDNO (a Yes/No question) or its own OK.
const std::vector<scatola>& scatole();
void rispondi(int id);
// Several commands for the next box, posted in order (a dialog's controls,
// then its closing button).
void rispondi(std::vector<int> ids);
void azzera();

// Dispatches messages until `condizione` holds; false when `ms` passed first.
bool pompa_finche(const std::function<bool()>& condizione, DWORD ms = 60000);
// Dispatches every message that is waiting now.
void pompa_coda();

// Puts the bench back to a known state: no tournament, both players human
// with skill 1, no search running, nothing waiting in the queue, a game in
// progress, the records emptied.
void ripristina();

}  // namespace banco

#endif
