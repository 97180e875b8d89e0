// A player's token: where it stands and the goal corner it races to.
#ifndef VORANDEL_PEDINA32_H
#define VORANDEL_PEDINA32_H

#include <windows.h>

#include <cstdint>

class partita;
struct pedina_ispettore;

class pedina {
    friend class partita;  // puts the token back on its start corner
    friend struct pedina_ispettore;

    std::uint32_t posx;
    std::uint32_t posy;
    std::uint32_t metax;
    std::uint32_t metay;
    std::int32_t xwidth;  // sprite size in pixels
    std::int32_t ywidth;

public:
    pedina(int x0 = 0, int y0 = 0, int xf = 0, int yf = 0);
    // Straight-line distance from the goal, in cells.
    double distanza() const;
    int disegna(HDC hdc) const;
    // 1 when the token stands on its goal.
    int vittoria() const;
    void get_pos(unsigned* x, unsigned* y) const;
    // The goal's cell.
    void get_meta(unsigned* x, unsigned* y) const {
        *x = metax;
        *y = metay;
    }
    // One step in direction `direz` (0 to 7); nothing is checked.
    void move_to(unsigned direz);
};

#endif
