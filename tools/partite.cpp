// partite: plays games between two automatic players without a window,
// through the real match and the real worker, and reports the results the
// way engine-match tools do.
//
//   partite [--skill1 N] [--skill2 N] [--games N] [--seed N] [--max-plies N] [--quiet]
//
// Player 1 is the match's player 0 (from the top left corner), Player 2 its
// player 1. The match alternates who begins from one game to the next, as in
// a tournament. The deals come from a generator seeded with --seed, so the
// same options give the same games. A game that reaches --max-plies moves is
// stopped and counted as unfinished (a draw for the Elo figures, as are the
// blocked games).
#include <windows.h>
#include <winstub.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "comune.h"
#include "partita.h"
#include "posizioni.h"

// The runner's own log, so that the game's "voran32.log" is left alone.
std::ofstream logfile("partite.log");

namespace {

struct risultati {
    long vinte[2] = {0, 0};
    long patte = 0;
    long bloccate = 0;
    long incompiute = 0;
    long long semimosse = 0;
};

[[noreturn]] void uso(const std::string& errore) {
    std::fprintf(stderr,
                 "partite: %s\n"
                 "usage: partite [--skill1 N] [--skill2 N] [--games N] [--seed N] [--max-plies N] [--quiet]\n"
                 "  --skill1, --skill2  skills of Player 1 and Player 2, 1 to 10 (default 5)\n"
                 "  --games             number of games, 1 to 10000000 (default 100)\n"
                 "  --seed              seed of the deals, 0 to 4294967295 (default 1)\n"
                 "  --max-plies         moves after which a game is stopped, 1 to 100000000 (default 10000)\n"
                 "  --quiet             no progress on standard error\n",
                 errore.c_str());
    std::exit(2);
}

bool intero(const char* testo, long long minimo, long long massimo, long long* valore) {
    char* fine = nullptr;
    errno = 0;
    long long v = std::strtoll(testo, &fine, 10);
    if (fine == testo || *fine != '\0' || errno != 0 || v < minimo || v > massimo) return false;
    *valore = v;
    return true;
}

[[noreturn]] void guasto(const char* cosa) {
    std::fprintf(stderr, "\npartite: %s\n", cosa);
    std::exit(1);
}

// One game, to its end or to the ply limit.
void gioca(partita& game, HWND hWnd, long long max_semimosse, risultati& r) {
    game.ricomincia(hWnd);  // both players are automatic: the worker starts at once
    game.scarta_mosse_scadute(hWnd);  // as the main window does after a new game
    long long semimosse = 0;
    for (;;) {
        MSG m;
        if (!winstub_attendi_messaggio(&m, hWnd, 600000)) guasto("no move came within ten minutes");
        switch (m.message) {
            case MSG_MOSSA:
                if (!game.esegui_mossa(hWnd, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam)))
                    break;
                semimosse++;
                if (game.stato() == COMPUTER) {
                    if (semimosse >= max_semimosse) {
                        r.incompiute++;
                        r.semimosse += semimosse;
                        return;
                    }
                    if (!game.mossa_macchina(hWnd)) guasto("the computer's search could not be started (see partite.log)");
                }
                break;
            case MSG_VITTORIA:
                r.vinte[m.wParam == 0 ? 0 : 1]++;
                r.semimosse += semimosse;
                return;
            case MSG_PATTA:
                r.patte++;
                r.semimosse += semimosse;
                return;
            case MSG_BLOCCO:
                r.bloccate++;
                r.semimosse += semimosse;
                return;
            default:
                break;
        }
    }
}

// Elo difference for a score share p.
double elo(double p) { return -400.0 * std::log10(1.0 / p - 1.0); }

std::string elo_testo(double p) {
    char buf[32];
    if (p <= 0.0) return "-inf";
    if (p >= 1.0) return "+inf";
    std::snprintf(buf, sizeof buf, "%+.1f", elo(p));
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    long long livello[2] = {5, 5}, partite = 100, seme = 1, max_semimosse = 10000;
    bool silenzio = false;
    for (int i = 1; i < argc; i++) {
        std::string opz = argv[i];
        if (opz == "--quiet") {
            silenzio = true;
            continue;
        }
        long long* dove = nullptr;
        long long minimo = 0, massimo = 0;
        if (opz == "--skill1") {
            dove = &livello[0], minimo = 1, massimo = 10;
        } else if (opz == "--skill2") {
            dove = &livello[1], minimo = 1, massimo = 10;
        } else if (opz == "--games") {
            dove = &partite, minimo = 1, massimo = 10000000;
        } else if (opz == "--seed") {
            dove = &seme, minimo = 0, massimo = 4294967295LL;
        } else if (opz == "--max-plies") {
            dove = &max_semimosse, minimo = 1, massimo = 100000000;
        } else {
            uso("unknown option " + opz);
        }
        if (i + 1 >= argc) uso("missing value after " + opz);
        if (!intero(argv[++i], minimo, massimo, dove))
            uso(opz + " takes a whole number from " + std::to_string(minimo) + " to " + std::to_string(massimo) +
                ", not \"" + argv[i] + "\"");
    }

    // The one match, made once the stand-in's own objects exist.
    static partita game;
    HWND hWnd = winstub_nuova_finestra();
    e_tipo tipi[2] = {COMPUTER, COMPUTER};
    int livelli[2] = {static_cast<int>(livello[0]), static_cast<int>(livello[1])};
    game.set_opzioni(tipi, livelli);
    // The match's board seeded the C library's generator with the time; the
    // deals come from the runner's own generator instead.
    semina_estrazioni(static_cast<std::uint32_t>(seme));
    plancia::estrai = estrazione;

    risultati r;
    auto t0 = std::chrono::steady_clock::now();
    auto ultimo = t0;
    for (long long g = 0; g < partite; g++) {
        gioca(game, hWnd, max_semimosse, r);
        auto ora = std::chrono::steady_clock::now();
        if (!silenzio && (ora - ultimo > std::chrono::seconds(1) || g + 1 == partite) && partite >= 100) {
            std::fprintf(stderr, "\r%lld/%lld games", g + 1, partite);
            if (g + 1 == partite) std::fprintf(stderr, "\n");
            ultimo = ora;
        }
    }
    double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    // The last worker may still be giving the match's event back after its
    // move ended the game: the options wait for it, so that nothing is left
    // running when the program ends.
    game.set_opzioni(tipi, livelli);

    long long n = partite;
    long long vinte = r.vinte[0], perse = r.vinte[1], pari = r.patte + r.bloccate + r.incompiute;
    double p = (vinte + pari / 2.0) / n;
    auto quota = [n](long long k) { return 100.0 * k / n; };

    std::printf("Player 1 (skill %lld) vs Player 2 (skill %lld), %lld games, seed %lld\n\n", livello[0], livello[1],
                n, seme);
    std::printf("%-24s %10s %8s\n", "result", "games", "share");
    std::printf("%-24s %10ld %7.1f%%\n", "Player 1 wins", r.vinte[0], quota(r.vinte[0]));
    std::printf("%-24s %10ld %7.1f%%\n", "Player 2 wins", r.vinte[1], quota(r.vinte[1]));
    std::printf("%-24s %10ld %7.1f%%\n", "draws by repetition", r.patte, quota(r.patte));
    std::printf("%-24s %10ld %7.1f%%\n", "blocked", r.bloccate, quota(r.bloccate));
    if (r.incompiute > 0) std::printf("%-24s %10ld %7.1f%%\n", "stopped at ply limit", r.incompiute, quota(r.incompiute));
    std::printf("\naverage length          %10.1f plies\n", static_cast<double>(r.semimosse) / n);
    std::printf("time                    %10.2f s\n", secondi);
    std::printf("games per second        %10.1f\n\n", secondi > 0 ? n / secondi : 0.0);

    // Elo from Player 1's side, blocked and stopped games counted as draws:
    // the error bar from the variance of the per-game score, the likelihood
    // of superiority from the decisive games.
    std::printf("Score of Player 1 vs Player 2: %lld - %lld - %lld  [%.3f]  %lld\n", vinte, perse, pari, p, n);
    double varianza = (vinte * (1.0 - p) * (1.0 - p) + pari * (0.5 - p) * (0.5 - p) + perse * p * p) / n;
    double scarto = std::sqrt(varianza / n);
    double basso = p - 1.959963984540054 * scarto, alto = p + 1.959963984540054 * scarto;
    std::string errore = "n/a";
    if (p > 0.0 && p < 1.0 && basso > 0.0 && alto < 1.0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", (elo(alto) - elo(basso)) / 2.0);
        errore = buf;
    }
    std::string los = "n/a";
    if (vinte + perse > 0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f %%", 50.0 * (1.0 + std::erf((vinte - perse) / std::sqrt(2.0 * (vinte + perse)))));
        los = buf;
    }
    std::printf("Elo difference: %s +/- %s, LOS: %s, DrawRatio: %.1f %%\n", elo_testo(p).c_str(), errore.c_str(),
                los.c_str(), quota(pari));
    return 0;
}
