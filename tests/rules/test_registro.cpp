// The repetition register: the fourth occurrence draws, the key is the
// placement alone, and the ring keeps only the 100 newest placements.
#include <gtest/gtest.h>

#include "ispettori.h"
#include "partita.h"

namespace {

struct Registro : ::testing::Test {
    partita g;
    partita_ispettore i{g};
    void SetUp() override { i.azzera_registro(); }
    int a(unsigned x0, unsigned y0, unsigned x1, unsigned y1) {
        pedina_ispettore::metti(i.ped(0), x0, y0);
        pedina_ispettore::metti(i.ped(1), x1, y1);
        return i.patta();
    }
};

}  // namespace

TEST_F(Registro, QuartaVoltaPatta) {
    EXPECT_EQ(a(3, 2, 6, 7), 0);
    EXPECT_EQ(a(3, 2, 6, 7), 0);
    EXPECT_EQ(a(3, 2, 6, 7), 0);
    EXPECT_EQ(a(3, 2, 6, 7), 1);
}

TEST_F(Registro, CodiciEChiaveSoloDallaPosizione) {
    a(3, 2, 6, 7);
    int trovate = 0;
    for (int k = 0; k < 100; k++) {
        const auto& v = i.registro()[k];
        if (v.ripetizioni == 0) continue;
        trovate++;
        EXPECT_EQ(v.posiz1, 11);
        EXPECT_EQ(v.posiz2, 54);
    }
    EXPECT_EQ(trovate, 1);
    // The same tokens swapped are another placement; the player to move
    // plays no part.
    i.turno() = 1;
    EXPECT_EQ(a(6, 7, 3, 2), 0);
    i.turno() = 0;
    EXPECT_EQ(a(3, 2, 6, 7), 0);
    EXPECT_EQ(a(3, 2, 6, 7), 0);
    EXPECT_EQ(a(3, 2, 6, 7), 1);
}

TEST_F(Registro, AzzerareDimenticaTutto) {
    a(1, 1, 8, 1);
    a(1, 1, 8, 1);
    a(1, 1, 8, 1);
    i.azzera_registro();
    for (int k = 0; k < 100; k++) {
        EXPECT_EQ(i.registro()[k].posiz1, 0);
        EXPECT_EQ(i.registro()[k].ripetizioni, 0u);
    }
    EXPECT_EQ(a(1, 1, 8, 1), 0);
    EXPECT_EQ(a(1, 1, 8, 1), 0);
    EXPECT_EQ(a(1, 1, 8, 1), 0);
    EXPECT_EQ(a(1, 1, 8, 1), 1);
}

TEST_F(Registro, Dopo100NuovePosizioniLaPiuVecchiaRiparteDaUno) {
    // Wherever the ring stands when the game begins.
    EXPECT_EQ(a(2, 2, 7, 7), 0);
    EXPECT_EQ(a(2, 2, 7, 7), 0);  // count 2
    int nuove = 0;
    for (unsigned x0 = 1; x0 <= 8 && nuove < 100; x0++)
        for (unsigned x1 = 1; x1 <= 8 && nuove < 100; x1++)
            for (unsigned y1 = 3; y1 <= 6 && nuove < 100; y1++) {
                if (x0 == x1) continue;
                ASSERT_EQ(a(x0, 1, x1, y1), 0);
                nuove++;
            }
    ASSERT_EQ(nuove, 100);
    // Its entry was overwritten: it starts again at 1, so the draw is three
    // recurrences away, not two.
    EXPECT_EQ(a(2, 2, 7, 7), 0);
    EXPECT_EQ(a(2, 2, 7, 7), 0);
    EXPECT_EQ(a(2, 2, 7, 7), 0);
    EXPECT_EQ(a(2, 2, 7, 7), 1);
}

TEST_F(Registro, Con99NuovePosizioniLaVecchiaResta) {
    EXPECT_EQ(a(2, 2, 7, 7), 0);
    EXPECT_EQ(a(2, 2, 7, 7), 0);
    int nuove = 0;
    for (unsigned x0 = 1; x0 <= 8 && nuove < 99; x0++)
        for (unsigned x1 = 1; x1 <= 8 && nuove < 99; x1++)
            for (unsigned y1 = 3; y1 <= 6 && nuove < 99; y1++) {
                if (x0 == x1) continue;
                a(x0, 1, x1, y1);
                nuove++;
            }
    EXPECT_EQ(a(2, 2, 7, 7), 0);
    EXPECT_EQ(a(2, 2, 7, 7), 1);
}
