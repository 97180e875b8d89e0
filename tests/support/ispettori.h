// Access to the core's private state, for tests that set up a position
// directly and read back what the match did with it.
#ifndef VORANDEL_ISPETTORI_H
#define VORANDEL_ISPETTORI_H

#include <utility>

#include "partita.h"
#include "pedina32.h"
#include "plancia32.h"

struct plancia_ispettore {
    static plancia::casella& cella(plancia& p, int x, int y) { return p.matrice[x][y]; }
    static const plancia::casella& cella(const plancia& p, int x, int y) { return p.matrice[x][y]; }
    // Puts arrow set `set` on cell (x, y), swapping it with the cell that
    // held it, so that every set still occurs exactly once.
    static void metti_set(plancia& p, int x, int y, int set) {
        for (auto& colonna : p.matrice)
            for (auto& c : colonna)
                if (c.cat == normale && c.frecce == set) std::swap(c.frecce, p.matrice[x][y].frecce);
    }
};

struct pedina_ispettore {
    static void metti(pedina& p, unsigned x, unsigned y) {
        p.posx = x;
        p.posy = y;
    }
};

struct partita_ispettore {
    partita& g;
    plancia& scacch() { return g.scacch; }
    pedina& ped(int i) { return g.ped[i]; }
    std::int8_t& turno() { return g.turno; }
    std::int32_t& n_lecite() { return g.n_lecite; }
    std::int32_t& attuale() { return g.attuale; }
    std::int32_t& stallo_vicino() { return g.stallo_vicino; }
    RECT* lecita() { return g.lecita; }
    RECT& vecchia() { return g.vecchia; }
    std::uint8_t* direz() { return g.direz; }
    e_tipo* tipo() { return g.tipo; }
    std::int32_t* skill() { return g.skill; }
    HANDLE mutex() { return g.mutex; }
    std::uint32_t& numero() { return g.numero; }
    std::uint32_t& serie_cercata() { return g.serie_cercata; }
    std::uint32_t serie_postata() { return g.serie_postata.load(); }
    void serie_postata(std::uint32_t s) { g.serie_postata.store(s); }
    std::uint32_t serie_consegnata() { return g.serie_consegnata.load(); }
    // The workers started and not yet gone, and the wait for all of them
    // (as a new game waits): once it returns, every move they made is in
    // the queue, and none is still to come.
    std::int32_t lavoratori() { return g.lavoratori.load(); }
    void attendi_lavoratori() { g.attendi_lavoratori(); }
    partita::voce_registro* registro() { return g.registro; }
    int patta() { return g.patta(); }
    void azzera_registro() { g.azzera_registro(); }
    int aggiorna_lecite() { return g.aggiorna_lecite(); }
    // Puts both tokens where a test wants them, with `chi` to move, and
    // recomputes the legal moves as the match does after a move.
    void posiziona(unsigned x0, unsigned y0, unsigned x1, unsigned y1, int chi) {
        pedina_ispettore::metti(g.ped[0], x0, y0);
        pedina_ispettore::metti(g.ped[1], x1, y1);
        g.turno = static_cast<std::int8_t>(chi);
        g.stallo_vicino = 0;
        g.aggiorna_lecite();
    }
    // The index of the legal move in direction `d`, or -1.
    int indice_di(unsigned d) {
        for (int i = 0; i < g.n_lecite; i++)
            if (g.direz[i] == d) return i;
        return -1;
    }
};

#endif
