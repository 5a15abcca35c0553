#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Object_Gfx_Symbol.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> Pliki = {
    "drzwi.png",        "szlaban.png", "brama_garazowa.png", "grodz_przeciwpozarowa.png", "klapa_dymowa.png",
    "zalanie_woda.png", "dym.png",     "ogien.png",          "alarm.png",
};

// A folder of its own under the system's temporary folder, gone after the test.
class TempFolder {
public:
    TempFolder() {
        std::string wzor = (fs::temp_directory_path() / "kandor-gfx-XXXXXX").string();
        path_ = mkdtemp(wzor.data());
    }
    ~TempFolder() {
        std::error_code blad;
        fs::remove_all(path_, blad);
    }
    const fs::path& path() const { return path_; }
    fs::path Utworz(const fs::path& wzgledna) const {
        fs::create_directories((path_ / wzgledna).parent_path());
        std::ofstream(path_ / wzgledna) << "x";
        return path_ / wzgledna;
    }

private:
    fs::path path_;
};

Object_Gfx_Symbol* Symbol(Objects_Gfx_Symbole& symbole, int id) {
    return static_cast<Object_Gfx_Symbol*>(symbole.Znajdz(id));
}

TEST(Symbole, WczytajMakesTheNineSymbolsWithTheIconsThatAreThere) {
    TempFolder gfx;
    for (const std::string& plik : Pliki)
        if (plik != "dym.png")
            gfx.Utworz(plik);
    Objects_Gfx_Symbole symbole;
    ASSERT_TRUE(symbole.Wczytaj(gfx.path()));

    const char* nazwy[] = {"Drzwi",        "Szlaban", "Brama garażowa", "Grodź przeciwpożarowa", "Klapa dymowa",
                           "Zalanie wodą", "Dym",     "Ogień",          "Alarm"};
    ASSERT_EQ(symbole.Rozmiar(), 9);
    for (int id = 1; id <= 9; ++id) {
        SCOPED_TRACE(id);
        const Object_Gfx_Symbol* s = Symbol(symbole, id);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(symbole.Element(id - 1), s) << "added in id order";
        EXPECT_EQ(s->Nazwa.str(), nazwy[id - 1]);
        if (id == 7)
            EXPECT_EQ(s->Ikona, "") << "its file is missing";
        else
            EXPECT_EQ(s->Ikona, (gfx.path() / Pliki[id - 1]).string());
    }
}

TEST(Symbole, WithoutTheFolderTheNineSymbolsHaveNoIcons) {
    TempFolder tmp;
    for (const fs::path& folder : {tmp.path() / "brak", fs::path()}) {
        SCOPED_TRACE(folder.string());
        Objects_Gfx_Symbole symbole;
        EXPECT_TRUE(symbole.Wczytaj(folder));
        ASSERT_EQ(symbole.Rozmiar(), 9);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(static_cast<Object_Gfx_Symbol*>(symbole.Element(i))->Ikona, "");
    }
}

// Event kinds and buttons keep pointers to the symbols: loading again must
// refresh them in place, not add a second set.
TEST(Symbole, LoadingAgainKeepsTheElements) {
    TempFolder gfx;
    Objects_Gfx_Symbole symbole;
    symbole.Wczytaj(gfx.path() / "brak");
    Object_Gfx_Symbol* drzwi = Symbol(symbole, 1);
    gfx.Utworz("drzwi.png");
    symbole.Wczytaj(gfx.path());
    EXPECT_EQ(symbole.Rozmiar(), 9);
    EXPECT_EQ(Symbol(symbole, 1), drzwi);
    EXPECT_EQ(drzwi->Ikona, (gfx.path() / "drzwi.png").string());
}

TEST(Symbole, FolderIkonLooksBesideTheProgramThenAboveThenInShare) {
    const struct {
        const char* name;
        std::vector<std::string> folders;
        std::string program;
        std::string expected;
    } cases[] = {
        {"beside the program", {"bin/gfx", "gfx"}, "bin/kandor", "bin/gfx"},
        {"build folder in the source tree", {"gfx"}, "build/kandor", "gfx"},
        {"installed", {"share/kandor/gfx"}, "bin/kandor", "share/kandor/gfx"},
        {"none", {"bin/ikony"}, "bin/kandor", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder drzewo;
        for (const std::string& f : c.folders)
            fs::create_directories(drzewo.path() / f);
        drzewo.Utworz(c.program);
        const fs::path found = Objects_Gfx_Symbole::FolderIkon(drzewo.path() / c.program);
        EXPECT_EQ(found, c.expected.empty() ? fs::path() : drzewo.path() / c.expected);
    }
    EXPECT_EQ(Objects_Gfx_Symbole::FolderIkon(fs::path()), fs::path());
}

TEST(Symbole, ProgramWlasnyIsThisTestProgram) {
    const fs::path program = Objects_Gfx_Symbole::ProgramWlasny();
    ASSERT_FALSE(program.empty());
    EXPECT_TRUE(fs::equivalent(program, "/proc/self/exe"));
}

// The icons the project ships: every file a symbol names is in gfx/ of the
// source tree and is a PNG image.
TEST(Symbole, TheShippedIconsAreAllThere) {
    const fs::path gfx = fs::path(KANDOR_SOURCE_DIR) / "gfx";
    Objects_Gfx_Symbole symbole;
    symbole.Wczytaj(gfx);
    for (int i = 0; i < symbole.Rozmiar(); ++i) {
        const auto* s = static_cast<Object_Gfx_Symbol*>(symbole.Element(i));
        SCOPED_TRACE(s->Nazwa.str());
        ASSERT_FALSE(s->Ikona.empty());
        std::ifstream plik(s->Ikona, std::ios::binary);
        std::string naglowek(8, '\0');
        plik.read(naglowek.data(), 8);
        EXPECT_EQ(naglowek, std::string("\x89PNG\r\n\x1a\n", 8));
    }
}

} // namespace
