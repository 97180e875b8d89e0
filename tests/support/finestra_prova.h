// A window for the core's tests to post to, and the messages it received:
// the stand-in's window natively (one that keeps a record of what is
// invalidated on it), a message-only window under Windows.
#ifndef VORANDEL_FINESTRA_PROVA_H
#define VORANDEL_FINESTRA_PROVA_H

#include <windows.h>

#ifdef _WIN32
#include <gtest/gtest.h>
#endif

#include <string>
#include <vector>

HWND finestra_prova();
// Every message waiting for `hWnd`, in the order it was posted; removed.
std::vector<MSG> messaggi(HWND hWnd);
// Waits up to `ms` for one message to `hWnd`; false when none came.
bool attendi_messaggio(HWND hWnd, MSG* msg, DWORD ms);
#ifdef _WIN32
// A path handed over by the test run in the environment variable
// `variabile`, as Wine sees it: Unix paths live on drive Z:.
std::string percorso(const char* variabile);
// A text file the game wrote (its log), with its CR LF line ends read as LF;
// empty when there is no such file.
std::string testo_di_file(const std::string& file);
#endif
// The name of this test process's own log file.
const char* nome_log_prova();
// The lines written to the log since the last call.
std::vector<std::string> nuove_righe_log();

#endif
