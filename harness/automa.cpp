// automa: plays Vorandel 32 from outside, as a user would, for end-to-end
// runs. It runs under the same Wine (same prefix, same display) as the game,
// finds the game's windows by class and title, and works the menu, the
// Options dialog, the panel's stop button and the board (real mouse moves and
// clicks over the highlighted targets).
//
//   automa attendi                 wait for the game's window
//   automa vista [ripristinata]    the whole board and the whole panel in
//                                  the client area and in view on the screen;
//                                  with ripristinata, of the window restored
//                                  (then maximised again)
//   automa opzioni K1 S1 K2 S2     set the players in the Options dialog
//                                  (K: human or automatic; S: skill 1 to 10)
//   automa umano                   play player 1 against the computer to the end
//   automa tastiera                from the keyboard alone: Options (player 1
//                                  human, player 2 automatic 1), a tournament
//                                  stopped with S, then player 1's game to its
//                                  end box, closed with Return
//   automa torneo                  play a whole tournament and wait for its end
//   automa stop                    start a tournament, stop it, finish the game
//                                  (leaves both players automatic at skill 10)
//   automa quadro FILE             new game, hover a target, write the geometry
//   automa verifica FILE SHOT.ppm [GAMES]
//                                  check a screenshot against the geometry:
//                                  the hovered frame, three arrows in every
//                                  ordinary cell, and the panel's tallies
//   automa fotografa MS            start a tournament and return MS ms later
//   automa quiete                  wait for the running tournament to end
//   automa tornei N [SEED]         the soak: N tournaments at skill 1 against 1
//                                  with "New game", "New tournament", "Stop
//                                  tournament" and Options at random moments;
//                                  every tournament's tallies checked on the
//                                  panel, every game seen to end
//   automa bufera N [SEED]         N menu commands, close requests and ends
//                                  of tournaments with random numbers posted
//                                  during a tournament between computers: at
//                                  most one box open at any moment; then a
//                                  tournament of 15 games, and a close request
//                                  sent during About, which ends the game
//                                  after one question
//   automa lettore                 through MSAA and the game's events alone, as
//                                  a screen reader: player 1 against the
//                                  computer to the "End" box, every computer
//                                  move and the end announced, Tab's focus on
//                                  a framed target, P once per press; then a
//                                  tournament whose panel text changes after
//                                  its first game, stopped with S (announced),
//                                  its game played to its "End" box
//   automa esci                    "Exit", answered Yes
//   automa aiuto                   "Help topics": the help window "Wine Help"
//                                  opens with no error box, the game answers
//                                  meanwhile; then the help window is closed
//   automa sistema [VERSION KIND]  the Windows that the prefix reports (e.g.
//                                  10.0) and whether 32-bit programs run
//                                  there through WoW64 (KIND win64) or not
//                                  (win32); checked when given
//
// Exit code 0 when the step did what it should, 1 otherwise, with a line on
// standard error saying why.
//
// Its parts are listed in automa.h.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "automa.h"

using namespace automa;

namespace {

bool leggi_tipo(const char* s, bool* automatico) {
    if (std::strcmp(s, "human") == 0) *automatico = false;
    else if (std::strcmp(s, "automatic") == 0) *automatico = true;
    else return false;
    return true;
}

bool leggi_intero(const char* s, int da, int a, int* n) {
    char* fine = nullptr;
    long v = std::strtol(s, &fine, 10);
    if (fine == s || *fine != '\0' || v < da || v > a) return false;
    *n = static_cast<int>(v);
    return true;
}

int uso() {
    std::fprintf(stderr,
                 "use: automa attendi | vista [ripristinata] | opzioni human|automatic SKILL human|automatic SKILL |\n"
                 "            umano | tastiera | torneo | stop | quadro FILE | verifica FILE SHOT.ppm [GAMES] | fotografa MS |\n"
                 "            quiete | tornei N [SEED] | bufera N [SEED] | esci | aiuto | lettore |\n"
                 "            sistema [VERSION win32|win64]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return uso();
    std::string cosa = argv[1];
    if (cosa == "verifica") {
        int partite = 0;
        if (argc < 4 || argc > 5 || (argc == 5 && !leggi_intero(argv[4], 1, 1000, &partite))) return uso();
        return verifica(argv[2], argv[3], partite);
    }
    if (cosa == "sistema" && (argc == 2 || argc == 4)) {
        if (argc == 4 && std::strcmp(argv[3], "win32") != 0 && std::strcmp(argv[3], "win64") != 0) return uso();
        return argc == 4 ? sistema(argv[2], argv[3]) : sistema(nullptr, nullptr);
    }
    if (!trova_gioco(60000)) return errore("the game's window did not appear");
    if (cosa == "attendi" && argc == 2) return attendi();
    if (cosa == "vista" && argc == 2) return vista(false);
    if (cosa == "vista" && argc == 3 && std::strcmp(argv[2], "ripristinata") == 0) return vista(true);
    if (cosa == "umano" && argc == 2) return umano();
    if (cosa == "tastiera" && argc == 2) return tastiera();
    if (cosa == "torneo" && argc == 2) return torneo();
    if (cosa == "stop" && argc == 2) return stop();
    if (cosa == "esci" && argc == 2) return esci();
    if (cosa == "quiete" && argc == 2) return quiete();
    if (cosa == "aiuto" && argc == 2) return aiuto();
    if (cosa == "lettore" && argc == 2) return lettore();
    if (cosa == "tornei" && (argc == 3 || argc == 4)) {
        int quanti = 0, seme = 1;
        if (!leggi_intero(argv[2], 1, 100000, &quanti) || (argc == 4 && !leggi_intero(argv[3], 0, 2147483647, &seme)))
            return uso();
        return tornei(quanti, static_cast<unsigned>(seme));
    }
    if (cosa == "bufera" && (argc == 3 || argc == 4)) {
        int quanti = 0, seme = 1;
        if (!leggi_intero(argv[2], 1, 1000000, &quanti) || (argc == 4 && !leggi_intero(argv[3], 0, 2147483647, &seme)))
            return uso();
        return bufera(quanti, static_cast<unsigned>(seme));
    }
    if (cosa == "quadro" && argc == 3) return quadro(argv[2]);
    if (cosa == "fotografa" && argc == 3) {
        int s = 0;
        if (!leggi_intero(argv[2], 0, 600000, &s)) return uso();
        return fotografa(s);
    }
    if (cosa == "opzioni" && argc == 6) {
        bool automatico[2];
        int skill[2];
        if (!leggi_tipo(argv[2], &automatico[0]) || !leggi_intero(argv[3], SKILL_MIN, SKILL_MAX, &skill[0]) ||
            !leggi_tipo(argv[4], &automatico[1]) || !leggi_intero(argv[5], SKILL_MIN, SKILL_MAX, &skill[1]))
            return uso();
        return opzioni(automatico, skill);
    }
    return uso();
}
