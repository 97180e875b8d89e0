// The named mutexes of a running copy (presenza.h).
#include "presenza.h"

#include <algorithm>
#include <initializer_list>
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

std::wstring identita_cartella(const std::wstring& cartella) {
    if (cartella.empty()) return std::wstring();
    // Opened only to read its identity, sharing everything, and closed at
    // once: a handle kept open would stop the folder's removal.
    HANDLE h = CreateFileW(cartella.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::wstring();
    BY_HANDLE_FILE_INFORMATION info{};
    BOOL letto = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!letto || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) return std::wstring();
    std::wstring testo = L"id";
    for (DWORD numero : {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow}) {
        testo += L' ';
        for (int spostamento = 28; spostamento >= 0; spostamento -= 4)
            testo += L"0123456789ABCDEF"[(numero >> spostamento) & 0xF];
    }
    return testo;
}

std::wstring nome_cartella(const wchar_t* prefisso, const std::wstring& cartella) {
    std::wstring identita = identita_cartella(cartella);
    if (identita.empty()) return nome_presenza(prefisso, cartella);
    return prefisso + identita;
}

presenza_gioco annuncia_presenza() {
    std::vector<wchar_t> exe(32768);
    DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    std::wstring cartella(exe.data(), n < exe.size() ? n : 0);
    cartella.erase(std::min(cartella.size(), cartella.rfind(L'\\')));
    presenza_gioco p;
    const wchar_t* prefisso = L"Global\\Vorandel32 gioco ";
    std::wstring identita = identita_cartella(cartella);
    if (!identita.empty()) p.per_identita = CreateMutexW(nullptr, FALSE, (prefisso + identita).c_str());
    p.per_percorso = CreateMutexW(nullptr, FALSE, nome_presenza(prefisso, cartella).c_str());
    return p;
}

namespace {

// Creates the mutex NAME, or learns that it is not this copy's to hold: only
// a new mutex is (one already there, one this user may not open, or none
// made for any other reason all mean another copy may hold it). Returns the
// new mutex, or nullptr, having closed whatever it got.
HANDLE mutex_nuovo(const std::wstring& nome) {
    HANDLE h = CreateMutexW(nullptr, FALSE, nome.c_str());
    if (h == nullptr) return nullptr;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(h);
        return nullptr;
    }
    return h;
}

}  // namespace

std::ofstream apri_log() {
    std::vector<wchar_t> qui(32768);
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(qui.size()), qui.data());
    std::wstring cartella(qui.data(), n < qui.size() ? n : 0);
    // The folder's identity, then its path and the file's name, as earlier
    // copies of the game named it: the log need not exist yet.
    std::wstring identita = identita_cartella(cartella);
    std::wstring percorso = nome_presenza(L"Global\\Vorandel32 log ", cartella);
    if (percorso.back() != L'/') percorso += L'/';
    percorso += L"voran32.log";
    HANDLE per_identita = nullptr;
    if (!identita.empty()) {
        per_identita = mutex_nuovo(L"Global\\Vorandel32 log " + identita);
        if (per_identita == nullptr) return std::ofstream();
    }
    HANDLE per_percorso = mutex_nuovo(percorso);
    if (per_percorso == nullptr) {
        if (per_identita != nullptr) CloseHandle(per_identita);
        return std::ofstream();
    }
    // Both held until the game ends: the handles are never closed.
    return std::ofstream("voran32.log");
}
