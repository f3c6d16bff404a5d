#include <gtest/gtest.h>

#include "sim/ship_drawing.h"
#include "sim_fixture.h"

namespace kelvarin {
namespace {

using testing::RecordingSurface;
using Kind = RecordingSurface::Kind;

class ShipDrawing : public testing::SimTest {
 protected:
  void ExpectLine(size_t n, float x1, float y1, float x2, float y2, Rgb colour) {
    ASSERT_LT(n, surface.calls.size());
    const auto& call = surface.calls[n];
    EXPECT_EQ(call.kind, Kind::Line);
    EXPECT_EQ(call.a, x1) << "call " << n;
    EXPECT_EQ(call.b, y1) << "call " << n;
    EXPECT_EQ(call.c, x2) << "call " << n;
    EXPECT_EQ(call.d, y2) << "call " << n;
    EXPECT_EQ(call.colour, colour) << "call " << n;
  }
};

TEST_F(ShipDrawing, SmallShipIsAClosedDartWithARedRearEdge) {
  PlaceShip(0, 100, 100, 0, 0, 0, 0);
  DrawShip(world, 0);
  ASSERT_EQ(surface.calls.size(), 3U);
  const Rgb grey{150, 150, 150};
  ExpectLine(0, 100, 101, 100.598473F, 99.1988602F, grey);
  ExpectLine(1, 100.598473F, 99.1988602F, 99.4015274F, 99.1988602F, {255, 50, 50});
  ExpectLine(2, 99.4015274F, 99.1988602F, 100, 101, grey);
}

TEST_F(ShipDrawing, FlagshipIsLargerAndErasingRedrawsTheSameOutlineInBlack) {
  PlaceShip(0, 400, 300, 1.5707964F, 5, 1, 0);
  DrawShip(world, 0);
  EraseShip(world, 0);
  ASSERT_EQ(surface.calls.size(), 6U);
  ExpectLine(0, 406, 300, 395.193146F, 296.40918F, {150, 150, 150});
  ExpectLine(1, 395.193146F, 296.40918F, 395.193146F, 303.59082F, {50, 255, 50});
  for (size_t n = 0; n < 3; ++n) {
    ExpectLine(n + 3, surface.calls[n].a, surface.calls[n].b, surface.calls[n].c,
               surface.calls[n].d, kBlack);
  }
  EXPECT_EQ(s.ShipX[0], 400.0F);  // drawing changes no field
}

TEST(TeamColour, OneColourPerTeam) {
  EXPECT_EQ(TeamColour(0), (Rgb{255, 50, 50}));
  EXPECT_EQ(TeamColour(1), (Rgb{50, 255, 50}));
  EXPECT_EQ(TeamColour(2), (Rgb{50, 50, 255}));
}

}  // namespace
}  // namespace kelvarin
