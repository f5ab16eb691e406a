#include <gtest/gtest.h>

#include "app/machine.h"

namespace arbor {
namespace {

struct FitCase {
    const char* what;
    WorkArea in;  // left, top, width, height of the window
    WorkArea out;
};

TEST(MachineFit, WindowRectanglesAreKeptOnTheWorkArea) {
    const WorkArea area{300, 450, 28800, 16200};  // 20 px panel on the left, 30 px on top
    const FitCase cases[] = {
        {"inside", {1000, 1000, 12000, 9000}, {1000, 1000, 12000, 9000}},
        {"left of and above the area", {-500, 0, 12000, 9000}, {300, 450, 12000, 9000}},
        {"partly off right and bottom", {20000, 10000, 12000, 9000}, {300, 450, 12000, 9000}},
        {"larger than the area", {0, 0, 40000, 20000}, {300, 450, 28800, 16200}},
        {"only the bottom overflows", {2000, 12000, 8000, 9000}, {2000, 450, 8000, 9000}},
    };
    for (const FitCase& c : cases) {
        WorkArea r = c.in;
        FitToWorkArea(r.left, r.top, r.width, r.height, area);
        EXPECT_EQ(r.left, c.out.left) << c.what;
        EXPECT_EQ(r.top, c.out.top) << c.what;
        EXPECT_EQ(r.width, c.out.width) << c.what;
        EXPECT_EQ(r.height, c.out.height) << c.what;
    }
}

TEST(MachineWorkArea, PixelsBecomeTwipsByTheScreenResolution) {
    const WorkArea at96 = workAreaInTwips(20, 30, 1920, 1050, 96, 96);
    EXPECT_EQ(at96.left, 300);
    EXPECT_EQ(at96.top, 450);
    EXPECT_EQ(at96.width, 28800);
    EXPECT_EQ(at96.height, 15750);
    const WorkArea other = workAreaInTwips(0, 0, 1000, 500, 120, 144);
    EXPECT_EQ(other.width, 12000);
    EXPECT_EQ(other.height, 5000);
}

TEST(MachineWorkArea, WithoutAGuiASmallScreenIsAssumed) {
    const WorkArea area = GetWorkArea();
    EXPECT_EQ(area.width, 15360);
    EXPECT_EQ(area.height, 11520);
    EXPECT_EQ(G().workArea.width, 15360);
}

}  // namespace
}  // namespace arbor
