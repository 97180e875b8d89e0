// A token's position, its distance from its goal and its one-step move.
#include "pedina32.h"

#include <cmath>

#include "geometria.h"
#include "plancia32.h"

pedina::pedina(int x0, int y0, int xf, int yf)
    : posx(static_cast<std::uint32_t>(x0)),
      posy(static_cast<std::uint32_t>(y0)),
      metax(static_cast<std::uint32_t>(xf)),
      metay(static_cast<std::uint32_t>(yf)),
      xwidth(PEDINA_LARGHEZZA),
      ywidth(PEDINA_ALTEZZA) {}

double pedina::distanza() const {
    double dx = static_cast<double>(static_cast<std::int32_t>(posx) - static_cast<std::int32_t>(metax));
    double dy = static_cast<double>(static_cast<std::int32_t>(posy) - static_cast<std::int32_t>(metay));
    return std::sqrt(dx * dx + dy * dy);
}

int pedina::vittoria() const { return posx == metax && posy == metay ? 1 : 0; }

void pedina::get_pos(unsigned* x, unsigned* y) const {
    *x = posx;
    *y = posy;
}

void pedina::move_to(unsigned direz) {
    if (direz >= N_DIREZIONI) return;  // not a direction: the token stays
    posx += static_cast<std::uint32_t>(G_direzioni[direz][0]);
    posy += static_cast<std::uint32_t>(G_direzioni[direz][1]);
}
