// The named mutexes of a running copy (presenza.h).
#include "presenza.h"

#include <algorithm>
#include <vector>

std::wstring nome_presenza(const wchar_t* prefisso, std::wstring percorso) {
    // The long form, so that C:\PROGRA~1\... and C:\Program Files\... give
    // one name; a path that does not exist stays as it is.
    std::vector<wchar_t> lungo(32768);
    DWORD n = GetLongPathNameW(percorso.c_str(), lungo.data(), static_cast<DWORD>(lungo.size()));
    if (n > 0 && n < lungo.size()) percorso.assign(lungo.data(), n);
    if (!percorso.empty()) CharLowerBuffW(&percorso[0], static_cast<DWORD>(percorso.size()));
    std::replace(percorso.begin(), percorso.end(), L'\\', L'/');
    if (percorso.size() > 200) percorso.erase(0, percorso.size() - 200);
    return prefisso + percorso;
}

HANDLE annuncia_presenza() {
    std::vector<wchar_t> exe(32768);
    DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    std::wstring cartella(exe.data(), n < exe.size() ? n : 0);
    cartella.erase(std::min(cartella.size(), cartella.rfind(L'\\')));
    return CreateMutexW(nullptr, FALSE, nome_presenza(L"Global\\Vorandel32 gioco ", cartella).c_str());
}

std::ofstream apri_log() {
    std::vector<wchar_t> qui(32768);
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(qui.size()), qui.data());
    std::wstring cartella(qui.data(), n < qui.size() ? n : 0);
    // The mutex names the folder's long form and then the file: the log need
    // not exist yet.
    std::wstring nome = nome_presenza(L"Global\\Vorandel32 log ", cartella);
    if (nome.back() != L'/') nome += L'/';
    nome += L"voran32.log";
    // Held until the game ends: the handle is never closed.
    HANDLE log = CreateMutexW(nullptr, FALSE, nome.c_str());
    if (log != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) return std::ofstream();
    return std::ofstream("voran32.log");
}
