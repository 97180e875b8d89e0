// The info panel: its window class, its window procedure and the operations
// that tell it what to show. What the panel shows (the balance, the tallies,
// the games left) lives in this module for the whole run and is changed only
// by Proc, on the main thread.
#include "pannello.h"

#include <oleacc.h>

#include <cstdio>

#include "accessibile.h"
#include "programma.h"
#include "risorse.h"

const char SpName[] = "specchietto!";

namespace {

// What the panel shows.
int barra_val = 50;            // share of the bar that is yellow, 0 to 100
int stats[3] = {0, 0, 0};      // wins of player 1, draws, wins of player 2
int tot_partite = 1;           // games of the current tournament, at least 1
int partite = 0;               // games left; 0 while no tournament runs
HWND parent = nullptr;         // the main window
std::uint32_t torneo = 0;      // number of the current tournament
std::uint32_t fermato = 0;     // number of the tournament last stopped
// A start being sent by nuovo_torneo, with its number: the only start the
// panel takes.
bool annunciato = false;
std::uint32_t torneo_annunciato = 0;
// A result or an end being sent by vittoria, patta or fine_torneo: the only
// ones the panel takes.
bool riferito = false;

// A message the panel's own methods are not sending: one log line.
bool non_riferito(const char* cosa, LPARAM lParam) {
    if (riferito) return false;
    logfile << "specchietto: " << cosa << " del torneo " << static_cast<std::uint32_t>(lParam)
            << " scartato: non viene dalla finestra principale\n" << std::flush;
    return true;
}

// Sends a result or an end to the panel from its own methods, marked as
// theirs for the time of the send.
void riferisci(HWND handle, UINT messg, WPARAM wParam, LPARAM lParam) {
    if (handle == nullptr) return;
    riferito = true;
    SendMessageA(handle, messg, wParam, lParam);
    riferito = false;
}

HWND pannello = nullptr;        // the panel's own window

HBRUSH giallo = nullptr;
HBRUSH rosso = nullptr;
HBRUSH verde = nullptr;
HBRUSH nero = nullptr;

// Layout of the client area.
const RECT barra_rect = {20, 30, 140, 55};
const RECT torneo_rect = {20, 70, 140, 200};
const int width = (torneo_rect.right - torneo_rect.left) / 7;

void crea_pennelli() {
    if (giallo != nullptr) return;
    giallo = CreateSolidBrush(RGB(250, 250, 0));
    rosso = CreateSolidBrush(RGB(240, 0, 0));
    verde = CreateSolidBrush(RGB(0, 240, 0));
    nero = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

// The stop button's label: 8 points at 96 dots per inch, in pixels; never
// below 6 pixels, however narrow the face.
const int ALTEZZA_TASTO = 11;
const int ALTEZZA_MINIMA_TASTO = 6;
// Room the button's edges and focus frame take on each side of its label.
const int MARGINE_TASTO = 4;

// The stop button's font. A button made with CreateWindowExA draws in the
// system font, in which "Stop tournament" is wider than the button; the
// standard GUI font fits it at 96 dots per inch but grows with the screen's
// resolution, while the panel keeps its sizes in pixels. So the label takes
// the standard GUI font's face at a height in pixels, lowered further only
// if the label would not fit the button in that face. Made once, for the
// whole run; null (the system font) if no font can be made.
HFONT carattere_tasto(HWND tasto) {
    static HFONT carattere = nullptr;
    if (carattere != nullptr) return carattere;
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    char testo[32] = "";
    int n = GetWindowTextA(tasto, testo, sizeof testo);
    RECT r{0, 0, 0, 0};
    GetClientRect(tasto, &r);
    HDC hdc = GetDC(tasto);
    for (int altezza = ALTEZZA_TASTO; altezza >= ALTEZZA_MINIMA_TASTO; altezza--) {
        lf.lfHeight = -altezza;
        lf.lfWidth = 0;
        HFONT f = CreateFontIndirectA(&lf);
        if (f == nullptr) break;
        HGDIOBJ vecchio = SelectObject(hdc, f);
        SIZE dim{0, 0};
        GetTextExtentPoint32A(hdc, testo, n, &dim);
        SelectObject(hdc, vecchio);
        bool entra = dim.cx + 2 * MARGINE_TASTO <= r.right && dim.cy + 2 * MARGINE_TASTO <= r.bottom;
        if (entra || altezza == ALTEZZA_MINIMA_TASTO) {
            carattere = f;
            break;
        }
        DeleteObject(f);
    }
    ReleaseDC(tasto, hdc);
    return carattere;
}

void on_create(HWND hWnd, const CREATESTRUCTA* cs) {
    HWND stop = CreateWindowExA(0, "button", "Stop tournament", WS_CHILD | WS_VISIBLE, 20, 210, 120, 30, hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_STOP)), hInst, nullptr);
    SendMessageA(stop, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_tasto(stop)), FALSE);
    parent = cs->hwndParent;
    pannello = hWnd;
}

conti_torneo conti_attuali() {
    conti_torneo c;
    c.vittorie[0] = stats[0];
    c.patte = stats[1];
    c.vittorie[1] = stats[2];
    c.restanti = partite;
    return c;
}

// What a screen reader hears of the panel: the tallies as its name, the
// balance as its value.
class pannello_letto : public fonte {
public:
    long figli() const override { return 0; }
    std::string nome(long) const override { return "Tournament: " + parole::testo_pannello(conti_attuali()); }
    std::string valore(long) const override { return parole::bilancio(barra_val); }
    long ruolo(long) const override { return ROLE_SYSTEM_PANE; }
    long stato(long) const override { return STATE_SYSTEM_READONLY; }
    bool rettangolo(long, RECT* r) const override { return pannello != nullptr && GetClientRect(pannello, r) != 0; }
} pannello_parlato;

// The tallies or the games left have changed: a reader that follows the
// panel reads its name again.
void nome_cambiato(HWND hWnd) { NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hWnd, OBJID_CLIENT, CHILDID_SELF); }

void disegna_barra(HDC hdc) {
    FillRect(hdc, &barra_rect, rosso);
    RECT temp_rect = barra_rect;
    temp_rect.right = barra_rect.left +
                      static_cast<LONG>((barra_rect.right - barra_rect.left) * barra_val / 100.0);
    FillRect(hdc, &temp_rect, giallo);
    FrameRect(hdc, &barra_rect, nero);
}

void disegna_torneo(HDC hdc) {
    static HBRUSH* const colore[3] = {&giallo, &verde, &rosso};
    char temp_stringa[20];

    FrameRect(hdc, &torneo_rect, nero);
    HGDIOBJ penna_prima = SelectObject(hdc, GetStockObject(BLACK_PEN));
    MoveToEx(hdc, torneo_rect.left + 5, torneo_rect.bottom - 51, nullptr);
    LineTo(hdc, torneo_rect.right - 5, torneo_rect.bottom - 51);
    SelectObject(hdc, penna_prima);

    const int modo_prima = SetBkMode(hdc, TRANSPARENT);
    HGDIOBJ font_prima = SelectObject(hdc, GetStockObject(ANSI_VAR_FONT));
    const long long altezza = torneo_rect.bottom - torneo_rect.top - 50;
    for (int i = 0; i < 3; i++) {
        RECT temp_rect;
        temp_rect.left = torneo_rect.left + (2 * i + 1) * width;
        temp_rect.right = temp_rect.left + width;
        temp_rect.bottom = torneo_rect.bottom - 50;
        temp_rect.top = temp_rect.bottom - static_cast<LONG>(altezza * stats[i] / tot_partite);
        FillRect(hdc, &temp_rect, *colore[i]);
        FrameRect(hdc, &temp_rect, nero);
        std::snprintf(temp_stringa, sizeof temp_stringa, "%3d", stats[i]);
        TextOutA(hdc, temp_rect.left, torneo_rect.bottom - 45, temp_stringa, 3);
    }
    std::snprintf(temp_stringa, sizeof temp_stringa, "Games left: %3d", partite);
    TextOutA(hdc, torneo_rect.left + 5, torneo_rect.bottom - 25, temp_stringa, 15);
    SelectObject(hdc, font_prima);
    SetBkMode(hdc, modo_prima);
}

void on_paint(HWND hWnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    disegna_barra(hdc);
    disegna_torneo(hdc);
    ValidateRect(hWnd, nullptr);
    EndPaint(hWnd, &ps);
}

// The panel drawn into a context that someone else holds (WM_PRINTCLIENT:
// a picture of the window, or a test's memory context), as it paints itself.
void on_printclient(HDC hdc) {
    disegna_barra(hdc);
    disegna_torneo(hdc);
}

// A balance outside 0 to 100 is held at the nearest bound, so that the bar
// never reaches beyond its frame.
void on_percento(HWND hWnd, WPARAM wParam) {
    int valore = static_cast<int>(wParam);
    if (valore < 0) valore = 0;
    if (valore > 100) valore = 100;
    if (valore == barra_val) return;
    barra_val = valore;
    InvalidateRect(hWnd, &barra_rect, FALSE);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hWnd, OBJID_CLIENT, CHILDID_SELF);
}

// A tournament of no games (or fewer) is refused: the tallies stay as they
// are, and the column heights are never divided by zero.
// A start that nuovo_torneo is not sending (posted by another program, say)
// is refused too, with one log line.
void on_nuovo_torneo(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    int quante = static_cast<int>(wParam);
    if (quante < 1) return;
    if (!annunciato || static_cast<std::uint32_t>(lParam) != torneo_annunciato) {
        logfile << "specchietto: inizio del torneo " << static_cast<std::uint32_t>(lParam) << " scartato\n" << std::flush;
        return;
    }
    annunciato = false;
    torneo = static_cast<std::uint32_t>(lParam);
    stats[0] = stats[1] = stats[2] = 0;
    partite = tot_partite = quante;
    InvalidateRect(hWnd, &torneo_rect, TRUE);
    nome_cambiato(hWnd);
}

// One finished game of the tournament: column 0 for player 1's wins, 1 for
// draws, 2 for player 2's wins. A result that arrives while no tournament
// runs belongs to none and is not counted, so the columns never outgrow the
// box and the games left never go below zero; nor does one that names
// another tournament.
void conta(HWND hWnd, int colonna, LPARAM lParam) {
    if (non_riferito("risultato", lParam)) return;
    if (partite <= 0) return;
    if (static_cast<std::uint32_t>(lParam) != torneo) {
        logfile << "specchietto: risultato del torneo " << static_cast<std::uint32_t>(lParam) << " scartato\n" << std::flush;
        return;
    }
    stats[colonna] += 1;
    partite -= 1;
    InvalidateRect(hWnd, &torneo_rect, TRUE);
    nome_cambiato(hWnd);
}

void on_vittoria(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    if (wParam > 1) return;  // only players 0 and 1 can win
    conta(hWnd, 2 * static_cast<int>(wParam), lParam);
}

// The end of the panel's tournament, however it came: no games left, on
// show at once, and the tallies in the log. The end of another tournament
// changes nothing but one log line.
void on_fine_torneo(HWND hWnd, LPARAM lParam) {
    if (non_riferito("fine", lParam)) return;
    if (static_cast<std::uint32_t>(lParam) != torneo) {
        logfile << "specchietto: fine del torneo " << static_cast<std::uint32_t>(lParam) << " scartata\n" << std::flush;
        return;
    }
    if (partite != 0) {
        partite = 0;
        InvalidateRect(hWnd, &torneo_rect, TRUE);
        nome_cambiato(hWnd);
    }
    logfile << "Ciclo finito\npatte: " << stats[1] << "\nvittorie player 1: " << stats[0]
            << "\nvittorie player 2: " << stats[2] << "\n";
    // On disk at once: a game killed, or a session logged off, before the
    // next line keeps its tournament's tally.
    logfile.flush();
}

void on_command(HWND hWnd, WPARAM wParam) {
    if (LOWORD(wParam) != ID_STOP) return;
    // A click leaves the focus on the button, where Space would press it
    // again and no key would reach the board: it goes back to the main
    // window.
    if (parent != nullptr && GetFocus() == GetDlgItem(hWnd, ID_STOP)) SetFocus(parent);
    if (partite == 0) return;
    logfile << "premuto il tasto stop tournament.\n";
    // The tournament this button was pressed in, also for a main window that
    // never gets the message (a box's loop may drop it: see regia.h).
    fermato = torneo;
    PostMessageA(parent, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(torneo));
    partite = 0;
    InvalidateRect(hWnd, &torneo_rect, TRUE);  // no games left, on show
    nome_cambiato(hWnd);
}

}  // namespace

LRESULT CALLBACK Proc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    crea_pennelli();
    switch (messg) {
    case WM_CREATE:
        on_create(hWnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    case WM_PAINT:
        on_paint(hWnd);
        return 0;
    case WM_PRINTCLIENT:
        on_printclient(reinterpret_cast<HDC>(wParam));
        return 0;
    case MSG_PERCENTO:
        on_percento(hWnd, wParam);
        return 0;
    case MSG_NUOVO_TORNEO:
        on_nuovo_torneo(hWnd, wParam, lParam);
        return 0;
    case MSG_PATTA:
        conta(hWnd, 1, lParam);
        return 0;
    case MSG_VITTORIA:
        on_vittoria(hWnd, wParam, lParam);
        return 0;
    case MSG_FINE_TORNEO:
        on_fine_torneo(hWnd, lParam);
        return 0;
    case WM_COMMAND:
        on_command(hWnd, wParam);
        return 0;
    case WM_GETOBJECT:
        return rispondi(hWnd, wParam, lParam, pannello_parlato);
    default:
        return DefWindowProcA(hWnd, messg, wParam, lParam);
    }
}

specchietto::specchietto(HWND hWnd) : handle(nullptr) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = Proc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInst;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = SpName;
    // The class stays registered when a panel is destroyed; a later panel
    // of the same program uses it again.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;

    handle = CreateWindowExA(0, SpName, "", WS_CHILD | WS_CLIPCHILDREN | WS_DLGFRAME, PANNELLO_X, PANNELLO_Y,
                             PANNELLO_LARGHEZZA, PANNELLO_ALTEZZA,
                             hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_SPECCHIETTO)), hInst,
                             nullptr);
    if (handle == nullptr) return;
    ShowWindow(handle, SW_SHOW);
    UpdateWindow(handle);
    logfile << "specc::specc terminato\n" << std::flush;
}

specchietto::~specchietto() {
    if (handle != nullptr) DestroyWindow(handle);
}

int specchietto::disegna() {
    // A null window would mean every window of the desktop.
    if (handle != nullptr) InvalidateRect(handle, nullptr, TRUE);
    logfile << "specchietto::disegna richiamato\n" << std::flush;
    return 1;
}

int specchietto::aggiorna1(int percento) {
    posta(MSG_PERCENTO, static_cast<WPARAM>(percento));
    return 1;
}

int specchietto::bilancia(int percento) {
    manda(MSG_PERCENTO, static_cast<WPARAM>(percento));
    return 1;
}

int specchietto::nuovo_torneo(int quante, std::uint32_t numero) {
    annunciato = handle != nullptr;
    torneo_annunciato = numero;
    manda(MSG_NUOVO_TORNEO, static_cast<WPARAM>(quante), static_cast<LPARAM>(numero));
    annunciato = false;
    return 1;
}

std::uint32_t specchietto::torneo_fermato() const { return handle != nullptr ? fermato : 0; }

conti_torneo specchietto::conti() const { return conti_attuali(); }

int specchietto::fine_torneo(std::uint32_t numero) {
    riferisci(handle, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(numero));
    return 1;
}

void specchietto::patta(std::uint32_t numero) { riferisci(handle, MSG_PATTA, 0, static_cast<LPARAM>(numero)); }

void specchietto::vittoria(int p, std::uint32_t numero) {
    riferisci(handle, MSG_VITTORIA, static_cast<WPARAM>(p), static_cast<LPARAM>(numero));
}
