#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/ui/Kolory.h"

using namespace platform::ui;

TEST(Kolory, ShadingTowardsWhiteAndBlack) {
    struct Case {
        const char* name;
        Kolor colour;
        int percent;
        Kolor shaded;
    };
    const Case cases[] = {
        {"no change", 0x00336699, 0, 0x00336699},
        {"half to white", 0x00000000, 50, 0x007F7F7F},
        {"all the way to white", 0x00102030, 100, 0x00FFFFFF},
        {"half to black, truncated", 0x00FF7F01, -50, 0x007F3F00},
        {"clamped beyond 100", 0x00102030, 250, 0x00FFFFFF},
        {"clamped below -100", 0x00102030, -300, 0x00000000},
        {"top byte kept", 0xFF000000, 100, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ZmienJasnoscKoloru(c.colour, c.percent), c.shaded);
    }
}

TEST(Kolory, LightnessIsHslRoundedHalfUp) {
    EXPECT_EQ(JasnoscKoloru(0x000000), 0);
    EXPECT_EQ(JasnoscKoloru(0xFFFFFF), 100);
    EXPECT_EQ(JasnoscKoloru(0x0000FF), 50); // pure red
    EXPECT_EQ(JasnoscKoloru(0x808080), 50); // 128/255 = 50.2
    EXPECT_EQ(JasnoscKoloru(0x010101 * 0x85), 52); // 133/255 = 52.16
}

TEST(Kolory, RedIsTheLowByte) {
    EXPECT_EQ(KolorQt(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(KolorZQt(QColor(0x99, 0x66, 0x33)), 0x00336699u);
}

TEST(RysujKafelek, PlainTileHasADarkerFrameSelectedOneSixBlackFrames) {
    const Kolor colour = 0x00808080;
    QImage image(40, 40, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        RysujKafelek(painter, QRect(0, 0, 20, 20), false, colour, 0);
        RysujKafelek(painter, QRect(20, 20, 20, 20), true, colour, 0);
    }
    EXPECT_EQ(image.pixelColor(0, 0), KolorQt(ZmienJasnoscKoloru(colour, -18)));
    EXPECT_EQ(image.pixelColor(19, 19), KolorQt(ZmienJasnoscKoloru(colour, -18)));
    EXPECT_EQ(image.pixelColor(1, 1), KolorQt(colour));

    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.pixelColor(20 + i, 30), QColor(Qt::black)) << i;
    EXPECT_EQ(image.pixelColor(26, 30), KolorQt(ZmienJasnoscKoloru(colour, 25)));
}

TEST(RysujRamke3D, LightTopLeftDarkBottomRightStrongestOutside) {
    const Kolor colour = 0x00808080;
    QImage image(20, 20, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        RysujRamke3D(painter, QRect(0, 0, 20, 20), 2, 40, colour, 0);
    }
    EXPECT_EQ(image.pixelColor(0, 10), KolorQt(ZmienJasnoscKoloru(colour, 40)));
    EXPECT_EQ(image.pixelColor(1, 10), KolorQt(ZmienJasnoscKoloru(colour, 20)));
    EXPECT_EQ(image.pixelColor(19, 10), KolorQt(ZmienJasnoscKoloru(colour, -40)));
    EXPECT_EQ(image.pixelColor(10, 18), KolorQt(ZmienJasnoscKoloru(colour, -20)));
    EXPECT_EQ(image.pixelColor(10, 10), KolorQt(colour));
}
