// The game file, written and read back.
#include "archivio.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "comune.h"

const char* const PRIMA_RIGA = "partite game file 1";

namespace {

// The result words of a game line, by esito.
const char* const RISULTATI[] = {"1-0 win", "0-1 win", "1/2-1/2 repetition", "1/2-1/2 blocked", "* ply-limit"};

bool numero(const std::string& t, long long minimo, long long massimo, long long* v) {
    if (t.empty() || t.size() > 18 || t.find_first_not_of("0123456789") != std::string::npos ||
        (t.size() > 1 && t[0] == '0'))
        return false;
    *v = std::strtoll(t.c_str(), nullptr, 10);
    return *v >= minimo && *v <= massimo;
}

// The words of a line, split at single spaces; false when the line has
// others (two spaces, a leading or trailing one, a tab).
bool parole(const std::string& riga, std::vector<std::string>* v) {
    v->clear();
    std::size_t inizio = 0;
    for (;;) {
        std::size_t spazio = riga.find(' ', inizio);
        std::string p = riga.substr(inizio, spazio == std::string::npos ? std::string::npos : spazio - inizio);
        if (p.empty()) return false;
        v->push_back(p);
        if (spazio == std::string::npos) return true;
        inizio = spazio + 1;
    }
}

}  // namespace

std::string riga_partita(const partita_giocata& p) {
    const long long angolo[2] = {p.livello[p.d.primo], p.livello[1 - p.d.primo]};
    std::string r = "game " + std::to_string(p.numero) + " match " + std::to_string(p.livello[0]) + "-" +
                    std::to_string(p.livello[1]) + " deal " + std::to_string(p.d.seme) + " corners " +
                    std::to_string(angolo[0]) + " " + std::to_string(angolo[1]) + " begins " +
                    std::to_string(p.d.comincia + 1) + " result " + RISULTATI[static_cast<int>(p.e)] + " plies " +
                    std::to_string(p.semimosse) + " moves " + (p.mosse.empty() ? std::string("-") : p.mosse);
    return r;
}

bool leggi_riga_partita(const std::string& riga, partita_giocata* p, std::string* errore) {
    std::vector<std::string> w;
    if (!parole(riga, &w) || w.size() != 18 || w[0] != "game" || w[2] != "match" || w[4] != "deal" ||
        w[6] != "corners" || w[9] != "begins" || w[11] != "result" || w[14] != "plies" || w[16] != "moves") {
        *errore = "not a game line (game N match A-B deal S corners A B begins P result R E plies N moves M)";
        return false;
    }
    long long v = 0, a = 0, b = 0;
    if (!numero(w[1], 1, MAX_PARTITE, &p->numero)) return *errore = "the game's number is \"" + w[1] + "\"", false;
    const std::size_t trattino = w[3].find('-');
    if (trattino == std::string::npos || !numero(w[3].substr(0, trattino), SKILL_MIN, SKILL_MAX, &a) ||
        !numero(w[3].substr(trattino + 1), SKILL_MIN, SKILL_MAX, &b))
        return *errore = "the match is \"" + w[3] + "\", not two skills A-B", false;
    p->livello[0] = a, p->livello[1] = b;
    if (!numero(w[5], 0, 4294967295LL, &v)) return *errore = "the deal is \"" + w[5] + "\"", false;
    p->d.seme = static_cast<std::uint32_t>(v);
    if (!numero(w[7], SKILL_MIN, SKILL_MAX, &a) || !numero(w[8], SKILL_MIN, SKILL_MAX, &b))
        return *errore = "the corners are \"" + w[7] + " " + w[8] + "\", not two skills", false;
    // Which corner the first skill had is the run's to say; the line must
    // agree with either.
    if (!((a == p->livello[0] && b == p->livello[1]) || (a == p->livello[1] && b == p->livello[0])))
        return *errore = "the corners' skills " + w[7] + " and " + w[8] + " are not those of match " + w[3], false;
    p->d.primo = a == p->livello[0] && b == p->livello[1] ? 0 : 1;
    if (w[10] != "1" && w[10] != "2") return *errore = "begins is \"" + w[10] + "\", not 1 or 2", false;
    p->d.comincia = w[10][0] - '1';
    const std::string risultato = w[12] + " " + w[13];
    int e = 0;
    while (e < 5 && risultato != RISULTATI[e]) e++;
    if (e == 5)
        return *errore = "the result is \"" + risultato +
                         "\" (1-0 win, 0-1 win, 1/2-1/2 repetition, 1/2-1/2 blocked or * ply-limit)",
               false;
    p->e = static_cast<esito>(e);
    if (!numero(w[15], 0, 100000000, &p->semimosse)) return *errore = "plies is \"" + w[15] + "\"", false;
    p->mosse = w[17];
    if (p->mosse == "-") p->mosse.clear();
    const std::size_t strano = p->mosse.find_first_not_of("01234567.");
    if (strano != std::string::npos)
        return *errore = std::string("the moves hold '") + p->mosse[strano] +
                         "': a move is a direction 0 to 7, a pass '.'",
               false;
    return true;
}

std::string intestazione(const opzioni& o, const std::string& versione) {
    std::string t = std::string(PRIMA_RIGA) + "\nversion " + versione + "\n" + riga_run(o) + "\n";
    if (o.schede > 0) t += "shard " + std::to_string(o.scheda) + "/" + std::to_string(o.schede) + "\n";
    return t;
}

bool leggi_file_partite(const std::string& nome, file_partite* f, std::string* errore, bool da_riprendere) {
    f->nome = nome;
    std::ifstream in(nome, std::ios::binary);
    if (!in) return *errore = nome + ": cannot be read: " + std::strerror(errno), false;
    std::ostringstream tutto;
    tutto << in.rdbuf();
    const std::string testo = tutto.str();
    long long n = 0;
    auto sbaglio = [&](const std::string& cosa) {
        *errore = nome + ":" + std::to_string(n) + ": " + cosa;
        return false;
    };
    std::size_t inizio = 0;
    bool finito = false;
    while (inizio < testo.size()) {
        n++;
        std::size_t fine = testo.find('\n', inizio);
        if (fine == std::string::npos) {
            // A run killed outright may have been writing this line: a
            // game's, or the last one, never the header's.
            if (da_riprendere && !finito && n > 3 && (n > 4 || testo[inizio] != 's')) break;
            return sbaglio("the line is cut short (the file ends without an end of line)");
        }
        const std::string riga = testo.substr(inizio, fine - inizio);
        inizio = fine + 1;
        for (unsigned char c : riga)
            if (c < 32 || c > 126) return sbaglio("a character that is not plain text (code " + std::to_string(c) + ")");
        if (finito) return sbaglio("a line after the end line");
        std::vector<std::string> w;
        if (n == 1) {
            if (riga != PRIMA_RIGA) return sbaglio(std::string("not a game file of partite (its first line is \"") +
                                                   PRIMA_RIGA + "\")");
        } else if (n == 2) {
            if (riga.compare(0, 8, "version ") != 0 || riga.size() == 8) return sbaglio("no version line");
            f->versione = riga.substr(8);
        } else if (n == 3) {
            std::string perche;
            if (!parole(riga, &w) || w[0] != "run") return sbaglio("no run line");
            f->run = riga;
            if (!leggi_opzioni_run(std::vector<std::string>(w.begin() + 1, w.end()), &f->o, &perche))
                return sbaglio("the run's options: " + perche);
        } else if (riga.compare(0, 6, "shard ") == 0 && n == 4) {
            long long k = 0, m = 0;
            const std::string v = riga.substr(6);
            const std::size_t barra = v.find('/');
            if (barra == std::string::npos || !numero(v.substr(0, barra), 1, MAX_SCHEDE, &k) ||
                !numero(v.substr(barra + 1), 1, MAX_SCHEDE, &m) || k > m)
                return sbaglio("the shard is \"" + v + "\", not K/N");
            f->scheda = k, f->schede = m;
            f->o.scheda = k, f->o.schede = m;
        } else if (riga.compare(0, 5, "game ") == 0) {
            partita_giocata p;
            std::string perche;
            if (!leggi_riga_partita(riga, &p, &perche)) return sbaglio(perche);
            f->partite.push_back(p);
            f->righe.push_back(n);
        } else if (riga.compare(0, 4, "end ") == 0) {
            long long quante = 0;
            if (!parole(riga, &w) || w.size() != 3 || w[2] != "games" || !numero(w[1], 0, MAX_PARTITE * 45, &quante))
                return sbaglio("the end line is \"" + riga + "\", not \"end N games\"");
            if (quante != static_cast<long long>(f->partite.size()))
                return sbaglio("the end line counts " + w[1] + " games, but the file has " +
                               std::to_string(f->partite.size()));
            f->riga_fine = n;
            finito = true;
        } else if (riga.compare(0, 8, "partial ") == 0) {
            long long quante = 0, scartate = 0;
            if (!parole(riga, &w) || w.size() != 5 || w[2] != "games," || w[4] != "dropped" ||
                !numero(w[1], 0, MAX_PARTITE * 45, &quante) || !numero(w[3], 0, MAX_PARTITE * 45, &scartate))
                return sbaglio("the last line is \"" + riga + "\", not \"partial N games, D dropped\"");
            if (quante != static_cast<long long>(f->partite.size()))
                return sbaglio("the last line counts " + w[1] + " games, but the file has " +
                               std::to_string(f->partite.size()));
            f->riga_fine = n;
            f->parziale = true;
            f->scartate = scartate;
            finito = true;
        } else {
            return sbaglio("neither a game line nor the end line: \"" + riga.substr(0, 40) + "\"");
        }
    }
    if (n < 3) return sbaglio(n == 0 ? "the file is empty" : "the file ends in its header");
    if (!finito) {
        if (!da_riprendere) return sbaglio("the file ends without its end line (\"end N games\"): it was cut short");
        f->parziale = true;
    }
    return true;
}

void scrittore_partite::apri(const std::string& n, const std::string& testa) {
    nome = n;
    temporaneo = n + ".part";
    file = std::fopen(temporaneo.c_str(), "wb");
    if (file == nullptr) {
        std::string cosa = "cannot write " + temporaneo + ": " + std::strerror(errno);
        guasto(cosa.c_str());
    }
    file_da_togliere = temporaneo;
    std::fputs(testa.c_str(), file);
}

void scrittore_partite::scrivi(const std::string& riga) {
    std::fputs(riga.c_str(), file);
    std::fputc('\n', file);
    partite++;
}

void scrittore_partite::svuota() {
    if (std::fflush(file) != 0) guasto(("could not write " + temporaneo).c_str());
}

void scrittore_partite::chiudi_parziale(long long scartate) {
    std::fprintf(file, "partial %lld games, %lld dropped\n", partite, scartate);
    chiudi_con_ultima_riga();
}

void scrittore_partite::chiudi() {
    std::fprintf(file, "end %lld games\n", partite);
    chiudi_con_ultima_riga();
}

void scrittore_partite::chiudi_con_ultima_riga() {
    const bool bene = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !bene) guasto(("could not write " + temporaneo).c_str());
    file = nullptr;
    if (std::rename(temporaneo.c_str(), nome.c_str()) != 0)
        guasto(("could not rename " + temporaneo + " to " + nome + ": " + std::strerror(errno)).c_str());
    file_da_togliere.clear();
}
