// The game file, written and read back.
#include "archivio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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

lettore_partite::~lettore_partite() {
    if (mio && file != nullptr) std::fclose(file);
    std::free(buffer);
}

bool lettore_partite::sbaglio(const std::string& cosa, std::string* errore) const {
    *errore = nome + ":" + std::to_string(n) + ": " + cosa;
    return false;
}

bool lettore_partite::leggi_riga(std::string* riga, std::string* errore) {
    errore->clear();
    if (con_attesa) {
        con_attesa = false;
        *riga = std::move(in_attesa);
        return true;
    }
    errno = 0;
    const ssize_t letti = getline(&buffer, &capienza, file);
    if (letti < 0) {
        if (std::ferror(file)) return sbaglio(std::string("cannot be read: ") + std::strerror(errno), errore);
        return false;
    }
    n++;
    std::size_t lunga = static_cast<std::size_t>(letti);
    if (lunga == 0 || buffer[lunga - 1] != '\n') {
        // A run killed outright may have been writing this line: a game's,
        // or the last one, never the header's.
        if (da_riprendere && n > 3 && (n > 4 || buffer[0] != 's')) {
            n--;
            return false;
        }
        return sbaglio("the line is cut short (the file ends without an end of line)", errore);
    }
    lunga--;
    if (lunga > 0 && buffer[lunga - 1] == '\r') lunga--;  // CR LF, as Windows ends its lines
    std::size_t da = 0;
    if (n == 1 && lunga >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0) da = 3;  // UTF-8 byte-order mark
    for (std::size_t i = da; i < lunga; i++) {
        const unsigned char c = static_cast<unsigned char>(buffer[i]);
        if (c < 32 || c > 126) return sbaglio("a character that is not plain text (code " + std::to_string(c) + ")", errore);
    }
    riga->assign(buffer + da, lunga - da);
    return true;
}

bool lettore_partite::apri(const std::string& nome_, std::string* errore, bool riprendere) {
    nome = nome_;
    da_riprendere = riprendere;
    if (nome == "-") {
        file = stdin;
        nome = "(standard input)";
    } else {
        file = std::fopen(nome.c_str(), "rb");
        if (file == nullptr) return *errore = nome + ": cannot be read: " + std::strerror(errno), false;
        mio = true;
    }
    std::string riga;
    std::vector<std::string> w;
    for (int k = 1; k <= 4; k++) {
        if (!leggi_riga(&riga, errore)) {
            if (!errore->empty()) return false;
            if (k == 4) break;
            return sbaglio(n == 0 ? "the file is empty" : "the file ends in its header", errore);
        }
        if (k == 1) {
            if (riga != PRIMA_RIGA)
                return sbaglio(std::string("not a game file of partite (its first line is \"") + PRIMA_RIGA + "\")",
                               errore);
        } else if (k == 2) {
            if (riga.compare(0, 8, "version ") != 0 || riga.size() == 8) return sbaglio("no version line", errore);
            versione = riga.substr(8);
            // The games of another version may follow other rules or
            // another search: that version replays them.
            if (versione != VORANDEL_VERSIONE)
                return sbaglio("a game file of partite " + versione + ", but this is partite " + VORANDEL_VERSIONE +
                                   ": replay it with the version that wrote it",
                               errore);
        } else if (k == 3) {
            std::string perche;
            if (!parole(riga, &w) || w[0] != "run") return sbaglio("no run line", errore);
            run = riga;
            if (!leggi_opzioni_run(std::vector<std::string>(w.begin() + 1, w.end()), &o, &perche))
                return sbaglio("the run's options: " + perche, errore);
        } else if (riga.compare(0, 6, "shard ") == 0) {
            long long k1 = 0, m = 0;
            const std::string v = riga.substr(6);
            const std::size_t barra = v.find('/');
            if (barra == std::string::npos || !numero(v.substr(0, barra), 1, MAX_SCHEDE, &k1) ||
                !numero(v.substr(barra + 1), 1, MAX_SCHEDE, &m) || k1 > m)
                return sbaglio("the shard is \"" + v + "\", not K/N", errore);
            scheda = k1, schede = m;
            o.scheda = k1, o.schede = m;
        } else {
            // The first game's line, or the last line: prossima takes it.
            in_attesa = std::move(riga);
            con_attesa = true;
        }
    }
    return true;
}

bool lettore_partite::prossima(partita_giocata* p, long long* riga_n, std::string* errore) {
    errore->clear();
    if (finito) return false;
    std::string riga;
    std::vector<std::string> w;
    if (!leggi_riga(&riga, errore)) {
        if (!errore->empty()) return false;
        finito = true;
        if (da_riprendere) {
            parziale = true;
            return false;
        }
        return sbaglio("the file ends without its end line (\"end N games\"): it was cut short", errore);
    }
    if (riga.compare(0, 5, "game ") == 0) {
        std::string perche;
        if (!leggi_riga_partita(riga, p, &perche)) return sbaglio(perche, errore);
        partite++;
        *riga_n = n;
        return true;
    }
    const bool fine = riga.compare(0, 4, "end ") == 0, a_meta = riga.compare(0, 8, "partial ") == 0;
    if (!fine && !a_meta) return sbaglio("neither a game line nor the end line: \"" + riga.substr(0, 40) + "\"", errore);
    long long quante = 0;
    if (fine) {
        if (!parole(riga, &w) || w.size() != 3 || w[2] != "games" || !numero(w[1], 0, MAX_PARTITE * 45, &quante))
            return sbaglio("the end line is \"" + riga + "\", not \"end N games\"", errore);
    } else {
        if (!parole(riga, &w) || w.size() != 5 || w[2] != "games," || w[4] != "dropped" ||
            !numero(w[1], 0, MAX_PARTITE * 45, &quante) || !numero(w[3], 0, MAX_PARTITE * 45, &scartate))
            return sbaglio("the last line is \"" + riga + "\", not \"partial N games, D dropped\"", errore);
        parziale = true;
    }
    if (quante != partite)
        return sbaglio(std::string(fine ? "the end line" : "the last line") + " counts " + w[1] +
                           " games, but the file has " + std::to_string(partite),
                       errore);
    riga_fine = n;
    finito = true;
    // Nothing may follow the last line.
    if (leggi_riga(&riga, errore)) return sbaglio("a line after the end line", errore);
    return false;
}

bool leggi_file_partite(const std::string& nome, file_partite* f, std::string* errore, bool da_riprendere) {
    lettore_partite l;
    if (!l.apri(nome, errore, da_riprendere)) return false;
    partita_giocata p;
    long long riga = 0;
    while (l.prossima(&p, &riga, errore)) {
        f->partite.push_back(p);
        f->righe.push_back(riga);
    }
    if (!errore->empty()) return false;
    f->nome = l.nome;
    f->versione = l.versione;
    f->run = l.run;
    f->o = l.o;
    f->scheda = l.scheda, f->schede = l.schede;
    f->riga_fine = l.riga_fine;
    f->parziale = l.parziale;
    f->scartate = l.scartate;
    return true;
}

namespace {

// Where a name leads: a symbolic link followed to its target, however many
// links in a row (up to the system's own limit), a relative target taken
// from the link's folder; a name that is not a link, or does not exist,
// as it is.
std::string bersaglio(const std::string& nome) {
    std::string p = nome;
    for (int k = 0; k < 40; k++) {
        struct stat st;
        if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        char buf[PATH_MAX];
        const ssize_t n = readlink(p.c_str(), buf, sizeof buf - 1);
        if (n <= 0) return p;
        const std::string dentro(buf, static_cast<std::size_t>(n));
        const std::size_t barra = p.rfind('/');
        p = dentro[0] == '/' || barra == std::string::npos ? dentro : p.substr(0, barra + 1) + dentro;
    }
    return p;
}

}  // namespace

void scrittore_partite::sposta(const std::string& altro) {
    svuota();
    if (temporaneo.empty()) return;  // written straight: nothing to move
    if (std::rename(temporaneo.c_str(), altro.c_str()) != 0)
        guasto(("could not rename " + temporaneo + " to " + altro + ": " + std::strerror(errno)).c_str());
    temporaneo = scritto = altro;
    file_da_togliere.clear();
}

void scrittore_partite::apri(const std::string& n, const std::string& testa, const std::string& altro) {
    partite = 0;
    if (n == "-") {
        // Standard output carries the game file; the tables go to standard
        // error, so that the file reaches its reader alone.
        const int fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
        if (fd < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0 || (file = fdopen(fd, "wb")) == nullptr)
            guasto((std::string("cannot write the game file to standard output: ") + std::strerror(errno)).c_str());
        nome = scritto = "standard output";
        temporaneo.clear();
    } else {
        struct stat st;
        if (stat(n.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            // A pipe, a device (a process substitution's /dev/fd/N too,
            // whose link names no path): there is nothing to rename, and a
            // half file cannot be taken back from them.
            nome = scritto = n;
            temporaneo.clear();
        } else {
            nome = bersaglio(n);
            temporaneo = altro.empty() ? nome + ".part" : altro;
            scritto = temporaneo;
        }
        file = std::fopen(scritto.c_str(), "wb");
        if (file == nullptr) {
            std::string cosa = "cannot write " + scritto + ": " + std::strerror(errno);
            guasto(cosa.c_str());
        }
        if (!temporaneo.empty()) file_da_togliere = temporaneo;
    }
    std::fputs(testa.c_str(), file);
}

void scrittore_partite::scrivi(const std::string& riga) {
    std::fputs(riga.c_str(), file);
    std::fputc('\n', file);
    partite++;
}

void scrittore_partite::svuota() {
    if (std::fflush(file) != 0) guasto(("could not write " + scritto + ": " + std::strerror(errno)).c_str());
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
    errno = 0;
    bool bene = std::fflush(file) == 0 && std::ferror(file) == 0;
    const int perche = errno;
    if (std::fclose(file) != 0) bene = false;
    file = nullptr;
    if (!bene) guasto(("could not write " + scritto + (perche != 0 ? std::string(": ") + std::strerror(perche) : "")).c_str());
    if (!temporaneo.empty() && std::rename(temporaneo.c_str(), nome.c_str()) != 0)
        guasto(("could not rename " + temporaneo + " to " + nome + ": " + std::strerror(errno)).c_str());
    file_da_togliere.clear();
}
