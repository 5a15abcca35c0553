// The main window's login, logout, password change and the menu items each
// role may use.
#include <QAction>
#include <QLineEdit>
#include <QMenu>

#include "app/UnitLogowanie.h"
#include "app/UnitMain.h"
#include "core/MD5.h"
#include "database/Database.h"
#include "database/TDM.h"
#include "database/Wersje.h"
#include "platform/db/DbError.h"
#include "platform/ui/Dialogs.h"

namespace ui = platform::ui;

namespace {

// Roles as bits: bit n for role n.
constexpr unsigned Role(std::initializer_list<int> role) {
    unsigned maska = 0;
    for (int r : role)
        maska |= 1u << r;
    return maska;
}
constexpr unsigned KazdaRola = Role({1, 2, 3, 4, 5});

bool TabelaAdministratorowIstnieje() {
    db::Query& q = DM->Query;
    q.close();
    q.setSql("SELECT to_regclass('public.administratorzy') IS NOT NULL");
    q.open();
    const bool istnieje = q.field(0).asBool();
    q.close();
    return istnieje;
}

} // namespace

void TFormMain::UstawMenuWgRoli() {
    const struct {
        QAction* pozycja;
        unsigned role;
    } prawa[] = {
        {MenuZmianaHasla, KazdaRola},
        {MenuAdministratorzy, Role({1})},
        {MenuBaza->menuAction(), Role({1})},
        {MenuImportAdmin, Role({1, 3})},
        {MenuImportVendrix, Role({1, 3})},
        {MenuProjektowanieSystemu, Role({1, 3})},
        {MenuPrzejazdy, Role({1, 3})},
        {MenuUzytkownicyGrupy, Role({1, 3})},
        {MenuProjektowanieWizualizacji, Role({1, 2})},
        {MenuMagazynIdentyfikatorow, Role({1, 2})},
        {MenuMiejscaParkingowe, Role({1, 2})},
        {MenuPowieloneTranspondery, Role({1, 2})},
        {MenuProgramowanieCentrale, Role({1, 3})},
        {MenuRaport, Role({1, 4})},
        {MenuRaportZmian, Role({1, 4})},
    };
    const bool zalogowany = IdAdministratora != 0;
    const unsigned rola = zalogowany && RodzajAdministratora >= 1 && RodzajAdministratora <= 5
                              ? 1u << RodzajAdministratora
                              : 0u;
    for (const auto& p : prawa)
        p.pozycja->setEnabled((p.role & rola) != 0);
    MenuLogin->setText(zalogowany ? QStringLiteral("Wyloguj") : QStringLiteral("Logowanie"));
}

// Any successful login in the offered dialog passes, whatever its role: the
// check is that somebody answers for the step, not which role they hold.
bool TFormMain::WymagajUprawnien() {
    if (RodzajAdministratora >= Administrator && RodzajAdministratora <= Raportowanie)
        return true;
    const int id = IdAdministratora;
    const int rodzaj = RodzajAdministratora;
    IdAdministratora = 0;
    MenuLoginClick();
    if (IdAdministratora != 0)
        return true;
    IdAdministratora = id;
    RodzajAdministratora = rodzaj;
    return false;
}

void TFormMain::ZalogujWyloguj() {
    if (IdAdministratora == 0) {
        if (FormLogowanie && FormLogowanie->Pokaz() == QDialog::Accepted) {
            const std::string nazwa = FormLogowanie->EditUzytkownik->text().toStdString();
            if (TabelaAdministratorowIstnieje()) {
                db::Table& tabela = DM->TableAdministratorzy;
                tabela.open();
                if (tabela.recordCount() == 0) {
                    DodajDomyslnegoAdministratora();
                    tabela.open();
                }
                if (tabela.locate("Nazwa", db::Value(nazwa))) {
                    const std::string skrot = SkrotHasla(FormLogowanie->EditHaslo->text().toStdString());
                    FormLogowanie->EditHaslo->clear();
                    if (skrot == tabela.field("Haslo").asString()) {
                        IdAdministratora = tabela.field("IdAdministratora").asInt();
                        RodzajAdministratora = tabela.field("Rodzaj").asInt();
                        NazwaAdministratora = FormLogowanie->EditUzytkownik->text();
                    }
                }
                tabela.close();
            } else if (WersjaBazy <= 0) {
                // A database without its schema, or of a version the
                // program does not know, has no accounts to check yet: the
                // operator needs full rights to build or update it. A
                // known schema that lost the table lets nobody in.
                IdAdministratora = 1;
                RodzajAdministratora = Administrator;
                NazwaAdministratora = FormLogowanie->EditUzytkownik->text();
            }
            if (IdAdministratora == 0)
                ui::MessageBox(this, QStringLiteral("Błąd logowania"), QStringLiteral("Zła nazwa użytkownika lub hasło."),
                               ui::Icon::Warning);
        }
    } else if (ui::MessageBox(this, QStringLiteral("Wylogowanie"), QStringLiteral("Czy na pewno wylogować?"),
                              ui::Icon::Question, ui::Yes | ui::No, ui::Yes) == ui::Yes) {
        IdAdministratora = 0;
        RodzajAdministratora = 0;
    }
    UstawMenuWgRoli();
}

void TFormMain::MenuZmianaHaslaClick() {
    if (!FormZmianaHasla || FormZmianaHasla->Pokaz() != QDialog::Accepted)
        return;
    if (FormZmianaHasla->EditNoweHaslo2->text() != FormZmianaHasla->EditNoweHaslo->text()) {
        ui::MessageBox(this, QStringLiteral("Błędne nowe hasła"),
                       QStringLiteral("Nowe hasło i powtórnie wpisane nowe hasło są różne."), ui::Icon::Warning);
        return;
    }
    db::Table& tabela = DM->TableAdministratorzy;
    tabela.open();
    if (!tabela.locate("IdAdministratora", db::Value(IdAdministratora))) {
        tabela.close();
        return;
    }
    if (SkrotHasla(FormZmianaHasla->EditAktualneHaslo->text().toStdString()) != tabela.field("Haslo").asString()) {
        ui::MessageBox(this, QStringLiteral("Błędne aktualne hasło"),
                       QStringLiteral("Wprowadzone aktualne hasło jest nieprawidłowe."), ui::Icon::Warning);
        tabela.close();
        return;
    }
    try {
        tabela.edit();
        tabela.field("Haslo") = db::Value(SkrotHasla(FormZmianaHasla->EditNoweHaslo->text().toStdString()));
        tabela.post();
        ui::MessageBox(this, QStringLiteral("Zmiana hasła"), QStringLiteral("Hasło zostało zmienione."),
                       ui::Icon::Information);
    } catch (const std::exception&) {
        if (tabela.active())
            tabela.cancel();
        ui::MessageBox(this, QStringLiteral("Błąd"), QStringLiteral("Wystąpił bład i hasło nie zostało zmienione."),
                       ui::Icon::Error);
    }
    tabela.close();
}
