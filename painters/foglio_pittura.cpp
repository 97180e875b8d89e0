// The painting tools that the board and the tokens share: value noise,
// wood, polygons.
#include <cmath>
#include <cstdint>

#include "foglio.h"

namespace {

// Deterministic value noise.
double hash(int x, int y, int seme) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seme) * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / double(0xffffff);
}

double liscia(double t) { return t * t * (3 - 2 * t); }

}  // namespace

double rumore(double x, double y, int seme) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    double fx = liscia(x - xi), fy = liscia(y - yi);
    double a = hash(xi, yi, seme), b = hash(xi + 1, yi, seme);
    double c = hash(xi, yi + 1, seme), d = hash(xi + 1, yi + 1, seme);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

double frattale(double x, double y, int seme) {
    return 0.5 * rumore(x, y, seme) + 0.3 * rumore(2 * x, 2 * y, seme + 1) + 0.2 * rumore(4 * x, 4 * y, seme + 2);
}

colore legno(double x, double y, colore chiaro, colore scuro, int seme, double intensita) {
    double distorsione = frattale(x * 0.015, y * 0.06, seme) * 6.0;
    double venature = 0.5 + 0.5 * std::sin((y * 0.45 + distorsione) * 1.3 + frattale(x * 0.004, y * 0.02, seme + 7) * 9);
    double fibra = frattale(x * 0.25, y * 1.2, seme + 3);
    double t = intensita * (0.65 * std::pow(venature, 3.0) + 0.35 * fibra);
    return mescola(chiaro, scuro, t);
}

bool nel_poligono(const std::vector<std::pair<double, double>>& p, double x, double y) {
    bool dentro = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        double xi = p[i].first, yi = p[i].second, xj = p[j].first, yj = p[j].second;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) dentro = !dentro;
    }
    return dentro;
}

std::vector<std::pair<double, double>> stella(double cx, double cy, double r_fuori, double r_dentro, int punte,
                                              double rotazione) {
    std::vector<std::pair<double, double>> p;
    for (int k = 0; k < 2 * punte; k++) {
        double a = rotazione + k * PI / punte;
        double r = k % 2 == 0 ? r_fuori : r_dentro;
        p.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    return p;
}

