// Water layer and sediment stepped together, as the driver couples them.
#include <cmath>

#include "wbso_fixture.h"
#include "wlso_fixture.h"

namespace kirmel::test {
namespace {

class WbsoCoupled : public WlsoTest {
 protected:
  // One time step: water layer, then every sediment subsystem.
  void coupledStep() {
    step();
    stepSediment(kern);
  }
  double systemMass() const {
    double m = totalMass();
    for (int i = s.nxsefb + 1; i <= s.nxsefb + s.nxsedit; ++i) m += sedimentMass(s, i) * d(s.delx[i]);
    return m;
  }
};

// A closed system (no flow, no seepage, no transformation, no volatilisation,
// explicit steps in both parts): what the water layer loses the sediment
// gains, to single-precision rounding.
TEST_F(WbsoCoupled, ClosedSystemConservesMass) {
  DitchSpec w;
  w.ndit = 4;
  w.wdh = 0.1f;
  w.theta = 1.0f;
  w.dt = 600.0f;
  w.por1 = 0.4f;
  w.dz1 = 0.005f;
  w.dif1 = 1.0e-8f;
  ditch(w, 1.0f);
  s.cowlj[2] = 3.0f;
  s.cowlj[4] = 0.2f;

  ColumnSetup c;
  c.nsed = 6;
  c.nbuf = 2;
  c.dz = 0.005f;
  c.por = 0.4f;
  c.kf = 2.0e-7f;
  c.dif = 1.0e-8f;
  c.theta = 1.0f;
  c.dt = 600.0f;
  c.perim = s.pez0hw;
  setColumn(s, c, 0.5f, 0.1f);  // exchange runs both ways: water nodes at 3 and 0.2 g/m3

  const double initial = systemMass();
  double sediment0 = 0.0;
  for (int i = 1; i <= 4; ++i) sediment0 += sedimentMass(s, i);
  // Each step keeps the total to single-precision rounding (well below one
  // float epsilon, 1.2e-7); over many steps the rounding adds up at most linearly.
  const int steps = 2000;
  for (int m = 0; m < steps; ++m) {
    const double before = systemMass();
    coupledStep();
    ASSERT_NEAR(systemMass() / before, 1.0, 1.0e-7) << "step " << m + 1;
  }
  const double now = systemMass();
  double sediment = 0.0;
  for (int i = 1; i <= 4; ++i) sediment += sedimentMass(s, i);
  EXPECT_GT(sediment, 2.0 * sediment0);  // substance did move into the sediment
  EXPECT_NEAR(now / initial, 1.0, steps * 3.0e-8);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(s.cowbtop[i], s.cowbst[i][1]);
  EXPECT_EQ(countOf(messages(), "Message from"), 0);
}

}  // namespace
}  // namespace kirmel::test
