#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSystemTrayIcon>
#include <QWidget>

#include "platform/registry/Registry.h"
#include "platform/ui/IkonaTray.h"
#include "platform/ui/PozycjaOkna.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TemporaryRegistry.h"

using namespace platform::ui;
using platform::registry::Registry;

namespace {

class PozycjaOknaTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    std::optional<std::string> Saved(const std::string& name) {
        Registry registry;
        if (!registry.openKey(KluczUstawien, false))
            return std::nullopt;
        return registry.readString(name);
    }
    void Save(const std::string& name, const std::string& value) {
        Registry registry;
        registry.openKey(KluczUstawien, true);
        registry.writeString(name, value);
    }

    TemporaryRegistry registry_;
};

} // namespace

TEST(NazwaPozycjiOkna, DropsALeadingOrElseATrailingForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"FormMain", "MainPos"},     {"BramyForm", "BramyPos"}, {"FormBramyForm", "BramyFormPos"},
        {"formMain", "formMainPos"}, {"Form", "Pos"},           {"Okno", "OknoPos"},
    };
    for (const auto& [form, value] : cases)
        EXPECT_EQ(NazwaPozycjiOkna(form), value) << form;
}

TEST_F(PozycjaOknaTest, RoundTripOfANormalWindow) {
    QWidget saved;
    saved.setObjectName("FormZdarzenia");
    saved.move(30, 40);
    saved.resize(300, 200);
    ZapiszPozycjeOkna(saved);
    EXPECT_EQ(Saved("ZdarzeniaPos"), "30,40,300,200,0");

    QWidget restored;
    restored.setObjectName("FormZdarzenia");
    PrzywrocPozycjeOkna(restored, true);
    EXPECT_EQ(restored.pos(), QPoint(30, 40));
    EXPECT_EQ(restored.size(), QSize(300, 200));
    EXPECT_FALSE(restored.isMaximized());

    QWidget placedOnly;
    placedOnly.setObjectName("FormZdarzenia");
    placedOnly.resize(111, 99);
    PrzywrocPozycjeOkna(placedOnly, false);
    EXPECT_EQ(placedOnly.pos(), QPoint(30, 40));
    EXPECT_EQ(placedOnly.size(), QSize(111, 99));
}

TEST_F(PozycjaOknaTest, MaximisedWindowKeepsTheNormalBoundsSavedBefore) {
    Save("MainPos", "10,20,800,600,0");
    QWidget window;
    window.setObjectName("FormMain");
    window.resize(200, 100);
    window.setWindowState(Qt::WindowMaximized);
    ZapiszPozycjeOkna(window);
    EXPECT_EQ(Saved("MainPos"), "10,20,800,600,1");

    QWidget restored;
    restored.setObjectName("FormMain");
    PrzywrocPozycjeOkna(restored, true);
    EXPECT_TRUE(restored.isMaximized());
}

TEST_F(PozycjaOknaTest, MalformedValueOrGoneMonitorLeavesThePlace) {
    const std::pair<const char*, const char*> malformed[] = {
        {"four items", "10,20,300,200"}, {"six items", "10,20,300,200,0,1"}, {"empty", ""}};
    for (const auto& [name, value] : malformed) {
        SCOPED_TRACE(name);
        Save("TestPos", value);
        QWidget window;
        window.setObjectName("FormTest");
        window.move(5, 6);
        window.resize(50, 60);
        PrzywrocPozycjeOkna(window, true);
        EXPECT_EQ(window.pos(), QPoint(5, 6));
        EXPECT_EQ(window.size(), QSize(50, 60));
    }

    Save("TestPos", "5000,5000,300,200,0");
    QWidget window;
    window.setObjectName("FormTest");
    window.move(5, 6);
    PrzywrocPozycjeOkna(window, true);
    EXPECT_EQ(window.pos(), QPoint(5, 6)) << "no monitor there";
    EXPECT_EQ(window.size(), QSize(300, 200));
}

TEST_F(PozycjaOknaTest, MonitorsAndBounds) {
    ASSERT_GE(LiczbaMonitorow(), 1);
    int left = -1, top = -1, right = -1, bottom = -1;
    EXPECT_TRUE(GranicaMonitora(1, left, top, right, bottom));
    EXPECT_GT(right, left);
    EXPECT_GT(bottom, top);
    EXPECT_FALSE(GranicaMonitora(0, left, top, right, bottom));
    EXPECT_FALSE(GranicaMonitora(LiczbaMonitorow() + 1, left, top, right, bottom));
}

TEST_F(PozycjaOknaTest, CheckSetSilently) {
    QCheckBox box;
    int reports = 0;
    QObject::connect(&box, &QCheckBox::toggled, [&] { ++reports; });
    QObject::connect(&box, &QCheckBox::clicked, [&] { ++reports; });
    UstawZaznaczenie(box, true);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(reports, 0);
}

TEST_F(PozycjaOknaTest, TrayIconTipIsCutAndTheIconGoes) {
    QWidget window;
    QSystemTrayIcon* icon = IkonaTrayDodaj(&window, QIcon(), QString(200, 'x'));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip().size(), 127);
    IkonaTrayZmien(QIcon(), QStringLiteral("Gotowy"));
    EXPECT_EQ(IkonaTray()->toolTip(), "Gotowy");
    IkonaTrayUsun();
    EXPECT_EQ(IkonaTray(), nullptr);
}
