#include <bitset>

#include "VdrvRig.h"
#include "vdrv/ArincWord.h"
#include "vdrv/ValueCurve.h"

namespace telvar5::vdrv::test {
namespace {

TEST(TrafficWords, BnrFieldsCarrySignSsmAndOddParity)
{
    // Pressure altitude 35000 ft: 17 bits, 1 ft, label 203.
    EXPECT_EQ(encodeBnr(0203, 17, 1.0, 35000.0, kSsmNormal), 0x6445C083u);
    // Magnetic heading 270 deg goes as -90 deg: 15 bits of 180/32768 deg.
    EXPECT_EQ(encodeBnr(0320, 15, 180.0 / 32768, 270.0, kSsmNormal), 0x780000D0u);
    EXPECT_EQ(encodeBnr(0320, 15, 180.0 / 32768, -90.0, kSsmNormal), 0x780000D0u);
    // Altitude rate -992 ft/min with SSM 00 (failure warning).
    EXPECT_EQ(encodeBnr(0212, 11, 16.0, -992.0, 0), 0x9F84008Au);
    for (double v : {0.0, 1.0, 12345.0, -5.0})
        EXPECT_EQ(std::bitset<32>(encodeBnr(0206, 14, 0.0625, v, 3)).count() % 2, 1u) << v;
}

TEST(TrafficWords, CurvesMoveBetweenMinAndMax)
{
    const ValueCurve sine{ValueCurve::Shape::Sine, 0.0, 100.0, 4.0};
    EXPECT_NEAR(sine.valueAt(0), 50.0, 1e-9);
    EXPECT_NEAR(sine.valueAt(1'000'000), 100.0, 1e-9);
    EXPECT_NEAR(sine.valueAt(3'000'000), 0.0, 1e-9);
    EXPECT_NEAR(sine.valueAt(5'000'000), 100.0, 1e-9);
    const ValueCurve ramp{ValueCurve::Shape::Ramp, 10.0, 20.0, 10.0};
    EXPECT_NEAR(ramp.valueAt(5'000'000), 15.0, 1e-9);
    EXPECT_NEAR(ramp.valueAt(10'000'000), 10.0, 1e-9);
    const ValueCurve tri{ValueCurve::Shape::Triangle, -1.0, 1.0, 10.0};
    EXPECT_NEAR(tri.valueAt(2'500'000), 0.0, 1e-9);
    EXPECT_NEAR(tri.valueAt(5'000'000), 1.0, 1e-9);
    EXPECT_NEAR(tri.valueAt(7'500'000), 0.0, 1e-9);
    const ValueCurve constant{ValueCurve::Shape::Constant, 7.0, 7.0, 1.0};
    EXPECT_EQ(constant.valueAt(123'456'789), 7.0);
}

double decodeBnr(std::uint32_t word, int bits, double resolution)
{
    const int shift = 28 - bits;
    std::int32_t field = static_cast<std::int32_t>((word >> shift) & ((1u << (bits + 1)) - 1));
    if (field & (1 << bits))
        field -= 1 << (bits + 1);
    return field * resolution;
}

TEST(TrafficWords, TheBusSendsTheValueOfTheMomentOfArrival)
{
    VdrvRig rig(R"(
interface 0 serial 1 inputs 1 outputs 1
traffic 0 1 low
  bnr 206 100 14 0.0625 ramp 100 300 10
)");
    const DeviceHandle h = rig.open(0);
    rig.initialise(h);
    rig.startAddress(h, 1);
    for (Micros due : {Micros{0}, Micros{5'000'000}, Micros{7'300'000}}) {
        const Micros arrival = due + 2880;
        rig.clock->setUs(1'000'000 + arrival);
        const std::uint32_t w = rig.read(h, 1, 0206);
        EXPECT_EQ(w & 0xFF, 0206u);
        EXPECT_EQ((w >> 29) & 3, 3u);
        const double expected = 100.0 + 200.0 * static_cast<double>(arrival % 10'000'000) / 10e6;
        EXPECT_NEAR(decodeBnr(w, 14, 0.0625), expected, 0.0625 / 2) << due;
    }
}

} // namespace
} // namespace telvar5::vdrv::test
