// Replaying and merging game files: every game is checked against the run
// its file names (its number, match, deal, corners and beginner) and
// played again through the rules; the counts are made from the games as
// the rules end them, and printed as the run printed them.
#include "verifica.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "archivio.h"
#include "avanzamento.h"
#include "gioco.h"
#include "processi.h"
#include "tabelle.h"

namespace {

// A refused file: the message, and the file being written removed.
int rifiuta(const std::string& perche) {
    chiudi_riga_avanzamento();
    std::fprintf(stderr, "partite: %s\n", perche.c_str());
    if (!file_da_togliere.empty()) std::remove(file_da_togliere.c_str());
    return 2;
}

std::string dove(const lettore_partite& f, long long riga) { return f.nome + ":" + std::to_string(riga) + ": "; }

std::string nome_incontro(const long long livello[2]) {
    return std::to_string(livello[0]) + "-" + std::to_string(livello[1]);
}

// Game p, found at `riga` of the file `nome`, checked as game g (from 0) of
// match `c` of the run `o` and played again; empty when it is right.
std::string controlla(const opzioni& o, const std::string& nome, long long riga, const incontro& c, long long g,
                      partita_giocata& p) {
    const std::string qui = nome + ":" + std::to_string(riga) + ": ";
    if (p.numero != g + 1 || p.livello[0] != c.livello[0] || p.livello[1] != c.livello[1])
        return qui + "game " + std::to_string(p.numero) + " of match " + nome_incontro(p.livello) +
               ", where the run has game " + std::to_string(g + 1) + " of match " + nome_incontro(c.livello);
    const disposizione d = disposizione_partita(o, g);
    // With one skill on both sides the corners cannot tell which is first.
    if (p.livello[0] == p.livello[1]) p.d.primo = d.primo;
    if (p.d.seme != d.seme)
        return qui + "deal " + std::to_string(p.d.seme) + ", where the run deals " + std::to_string(d.seme);
    if (p.d.primo != d.primo)
        return qui + "the corners are the other way round: the run has skill " + std::to_string(c.livello[d.primo == 0 ? 0 : 1]) +
               " in Player 1's corner";
    if (p.d.comincia != d.comincia)
        return qui + "begins " + std::to_string(p.d.comincia + 1) + ", where the run has Player " +
               std::to_string(d.comincia + 1) + " begin";
    std::string perche;
    if (!rigioca(p, o.max_semimosse, &perche)) return qui + "game " + std::to_string(g + 1) + ": " + perche;
    return "";
}

// --replay FILE --game N [--match A-B]: that game alone, as the run of that
// one game would play it. The file is read up to that game.
int una_partita(const opzioni& richiesta, lettore_partite& f) {
    const opzioni& o = f.o;
    std::vector<incontro> incontri = incontri_del_run(o);
    long long livello[2] = {incontri[0].livello[0], incontri[0].livello[1]};
    if (richiesta.solo_incontro[0] != 0) {
        livello[0] = richiesta.solo_incontro[0];
        livello[1] = richiesta.solo_incontro[1];
    } else if (incontri.size() > 1) {
        return rifiuta(f.nome + " is a round robin: name the game's match with --match A-B");
    }
    partita_giocata p;
    long long riga = 0;
    std::string errore;
    for (;;) {
        if (!f.prossima(&p, &riga, &errore)) {
            if (!errore.empty()) return rifiuta(errore);
            return rifiuta(f.nome + " has no game " + std::to_string(richiesta.sola_partita) + " of match " +
                           nome_incontro(livello));
        }
        if (p.numero == richiesta.sola_partita && p.livello[0] == livello[0] && p.livello[1] == livello[1]) break;
    }
    opzioni una = o;
    una.torneo.clear();
    una.sprt = false;
    una.livello[0] = livello[0];
    una.livello[1] = livello[1];
    una.prima = richiesta.sola_partita;
    una.partite = 1;
    una.scheda = una.schede = 0;
    incontro c{{livello[0], livello[1]}, risultati{}};
    const auto t0 = std::chrono::steady_clock::now();
    errore = controlla(una, f.nome, riga, c, una.prima - 1, p);
    if (!errore.empty()) return rifiuta(errore);
    conta_partita(una, c, p);
    const double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!richiesta.registra.empty()) {
        scrittore_partite file;
        file.apri(richiesta.registra, intestazione(una, f.versione));
        file.scrivi(riga_partita(p));
        file.chiudi();
    }
    stampa_tabella(una, c.r, 1, secondi);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

std::string controlla_partita(const opzioni& o, const file_partite& f, long long riga, const incontro& c, long long g,
                              partita_giocata& p) {
    return controlla(o, f.nome, riga, c, g, p);
}

std::string controlla_partita(const opzioni& o, const lettore_partite& f, long long riga, const incontro& c, long long g,
                              partita_giocata& p) {
    return controlla(o, f.nome, riga, c, g, p);
}

int verifica_file(const opzioni& richiesta) {
    // Every file's header first; then the games, file by file, each read
    // as a stream and checked and played as it comes, so that a file of
    // any length takes the same memory and a game out of place is
    // reported at its own line.
    const std::vector<std::string> nomi =
        richiesta.unisci.empty() ? std::vector<std::string>{richiesta.rigioca} : richiesta.unisci;
    if (std::count(nomi.begin(), nomi.end(), "-") > 1) return rifiuta("standard input (-) can be read only once");
    std::vector<std::unique_ptr<lettore_partite>> files;
    std::string perche;
    for (const std::string& nome : nomi) {
        files.push_back(std::make_unique<lettore_partite>());
        if (!files.back()->apri(nome, &perche)) return rifiuta(perche);
    }
    lettore_partite& primo = *files[0];
    if (richiesta.unisci.empty()) {
        if (primo.schede > 0)
            return rifiuta(dove(primo, 4) + "this is shard " + std::to_string(primo.scheda) + "/" +
                           std::to_string(primo.schede) + " of a run: give all its shards' files to --merge");
        if (richiesta.sola_partita > 0) return una_partita(richiesta, primo);
    } else {
        // A shard cut short is resumed before the merge; it is known to be
        // partial only at its end, so the merge finds it there.
        // The shards of one run: the same run, each part once (the version
        // is this program's in every one).
        std::vector<const lettore_partite*> parti;
        for (const auto& pf : files) {
            const lettore_partite& f = *pf;
            if (f.schede == 0)
                return rifiuta(dove(f, 4) + "not a shard's file (no shard line): replay it with --replay");
            if (f.run != primo.run) return rifiuta(dove(f, 3) + "a run other than that of " + primo.nome);
            if (f.schede != primo.schede)
                return rifiuta(dove(f, 4) + "a part of " + std::to_string(f.schede) + ", but " + primo.nome +
                               " is a part of " + std::to_string(primo.schede));
            for (const lettore_partite* g : parti)
                if (g->scheda == f.scheda)
                    return rifiuta(dove(f, 4) + "shard " + std::to_string(f.scheda) + "/" +
                                   std::to_string(f.schede) + " again: " + g->nome + " is that part too");
            parti.push_back(&f);
        }
        for (long long k = 1; k <= primo.schede; k++)
            if (std::none_of(files.begin(), files.end(), [k](const auto& f) { return f->scheda == k; }))
                return rifiuta("shard " + std::to_string(k) + "/" + std::to_string(primo.schede) +
                               " is missing: --merge needs the files of all the shards of a run");
        std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a->scheda < b->scheda; });
    }

    opzioni o = files[0]->o;
    o.scheda = o.schede = 0;
    std::vector<incontro> incontri = incontri_del_run(o);
    fine_sprt sprt;
    scrittore_partite scritto;
    // The file written again names the version that played the games.
    if (!richiesta.registra.empty()) scritto.apri(richiesta.registra, intestazione(o, files[0]->versione));
    const auto t0 = std::chrono::steady_clock::now();
    bool deciso = false;
    long long fatte = 0, scartate = 0;
    const long long tutte = o.partite * static_cast<long long>(incontri.size());
    std::vector<std::string> parziali;  // the files of a run cut short
    avanzamento progresso(richiesta.silenzio, tutte, "games replayed", incontri.size() == 1);
    risultati finora;
    partita_giocata p;
    long long riga = 0;
    for (const auto& pf : files) {
        lettore_partite& f = *pf;
        opzioni parte = o;
        parte.scheda = f.scheda, parte.schede = f.schede;
        bool finiti = false;  // the games of a partial file have ended
        for (const tratto& t : piano(parte, incontri.size())) {
            for (long long g = t.prima - 1; g < t.prima - 1 + t.quante && !deciso && !finiti; g++) {
                if (!f.prossima(&p, &riga, &perche)) {
                    if (!perche.empty()) return rifiuta(perche);
                    if (f.parziale && richiesta.unisci.empty()) {
                        finiti = true;
                        break;
                    }
                    if (f.parziale)
                        return rifiuta(dove(f, f.riga_fine) + "shard " + std::to_string(f.scheda) + "/" +
                                       std::to_string(f.schede) + " was cut short after " +
                                       quante(f.partite, "game") + ": partite --resume " + f.nome +
                                       " plays the rest, then merge");
                    return rifiuta(dove(f, f.riga_fine) + "the games end here, but the run has game " +
                                   std::to_string(g + 1) + " of match " + nome_incontro(incontri[t.incontro].livello) +
                                   (o.sprt ? " (the test had not decided)" : ""));
                }
                const std::string errore = controlla(o, f.nome, riga, incontri[t.incontro], g, p);
                if (!errore.empty()) return rifiuta(errore);
                if (o.sprt)
                    deciso = sprt.aggiungi(o, p);
                else
                    conta_partita(o, incontri[t.incontro], p);
                if (scritto.aperto()) scritto.scrivi(riga_partita(p));
                fatte++;
                conta(finora, p.e, p.d.primo, p.semimosse);
                progresso.segna(fatte, finora);
            }
        }
        if (!finiti) {
            if (f.prossima(&p, &riga, &perche))
                return rifiuta(dove(f, riga) + (deciso ? "the test had decided after the game before: the file "
                                                         "should end there"
                                                       : "a game more than the run plays"));
            if (!perche.empty()) return rifiuta(perche);
        }
        if (f.parziale && !richiesta.unisci.empty())
            return rifiuta(dove(f, f.riga_fine) + "shard " + std::to_string(f.scheda) + "/" + std::to_string(f.schede) +
                           " was cut short after " + quante(f.partite, "game") + ": partite --resume " + f.nome +
                           " plays the rest, then merge");
        if (f.parziale) {
            parziali.push_back(f.nome);
            scartate += f.scartate;
        }
    }
    progresso.chiudi();
    if (scritto.aperto()) {
        if (parziali.empty())
            scritto.chiudi();
        else
            scritto.chiudi_parziale(scartate);
    }
    const double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    // A run cut short: its table is that of the games it finished.
    const bool tagliata = !parziali.empty();
    if (tagliata)
        std::fprintf(stderr,
                     "partite: %s holds a run cut short: its first %s, and %lld finished after them were dropped "
                     "(partite --resume %s plays the rest); replayed the %lld\n",
                     primo.nome.c_str(), quante(fatte, "game").c_str(), scartate, primo.nome.c_str(), fatte);
    stampa_esito(o, incontri, sprt, secondi, tagliata);
    if (tagliata)
        std::printf("\nThe run was cut short: these are its first %s, as %s holds them.\n",
                    quante(fatte, "game").c_str(), primo.nome.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
