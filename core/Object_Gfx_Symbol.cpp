#include "core/Object_Gfx_Symbol.h"

#include <array>
#include <system_error>

namespace {

struct Wzor {
    int id;
    std::string_view nazwa;
    std::string_view plik;
};

// The ids are what event kinds and buttons store; the names are what the
// editors list.
constexpr std::array<Wzor, 9> Wzory{{
    {1, "Drzwi", "drzwi.png"},
    {2, "Szlaban", "szlaban.png"},
    {3, "Brama garażowa", "brama_garazowa.png"},
    {4, "Grodź przeciwpożarowa", "grodz_przeciwpozarowa.png"},
    {5, "Klapa dymowa", "klapa_dymowa.png"},
    {6, "Zalanie wodą", "zalanie_woda.png"},
    {7, "Dym", "dym.png"},
    {8, "Ogień", "ogien.png"},
    {9, "Alarm", "alarm.png"},
}};

// The file's absolute path, or empty when it is not a readable-looking file:
// the symbol then shows no icon.
std::string SciezkaIkony(const std::filesystem::path& plik) {
    std::error_code blad;
    if (plik.empty() || !std::filesystem::is_regular_file(plik, blad))
        return {};
    const std::filesystem::path pelna = std::filesystem::absolute(plik, blad);
    return blad ? std::string() : pelna.string();
}

bool JestFolderem(const std::filesystem::path& folder) {
    std::error_code blad;
    return std::filesystem::is_directory(folder, blad);
}

} // namespace

int Objects_Gfx_Symbole::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajNaturalnie(static_cast<const Object_Gfx_Symbol*>(a)->Nazwa,
                              static_cast<const Object_Gfx_Symbol*>(b)->Nazwa);
}

Object_Gfx_Symbol* Objects_Gfx_Symbole::DodajSymbol(int id, std::string_view nazwa,
                                                    const std::filesystem::path& plik) {
    auto* s = static_cast<Object_Gfx_Symbol*>(Nowy(id));
    s->Nazwa = nazwa;
    s->Ikona = SciezkaIkony(plik);
    return s;
}

bool Objects_Gfx_Symbole::Wczytaj() { return Wczytaj(FolderIkon(ProgramWlasny())); }

bool Objects_Gfx_Symbole::Wczytaj(const std::filesystem::path& folder) {
    // The files are named from the folder rather than from a changed current
    // folder: the current folder is the whole process's, and the icon paths
    // stay right whatever the program does with it later.
    for (const Wzor& w : Wzory) {
        const std::filesystem::path plik = folder.empty() ? std::filesystem::path() : folder / w.plik;
        if (auto* s = static_cast<Object_Gfx_Symbol*>(Znajdz(w.id))) {
            s->Nazwa = w.nazwa;
            s->Ikona = SciezkaIkony(plik);
        } else {
            DodajSymbol(w.id, w.nazwa, plik);
        }
    }
    return true;
}

std::filesystem::path Objects_Gfx_Symbole::FolderIkon(const std::filesystem::path& program) {
    if (program.empty())
        return {};
    const std::filesystem::path folder = program.parent_path();
    for (const std::filesystem::path& kandydat :
         {folder / "gfx", folder.parent_path() / "gfx", folder.parent_path() / "share" / "kandor" / "gfx"})
        if (JestFolderem(kandydat))
            return kandydat;
    return {};
}

std::filesystem::path Objects_Gfx_Symbole::ProgramWlasny() {
    std::error_code blad;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", blad);
    return blad ? std::filesystem::path() : program;
}
