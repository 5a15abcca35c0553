#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A picture that event kinds and buttons show. Core keeps only the icon
// file's path; the windows make the icons from it.
class Object_Gfx_Symbol : public Object {
public:
    using Object::Object;

    TekstStaly<40> Nazwa;
    // Absolute path of the icon file; empty when the file was not there, so
    // the symbol shows no icon.
    std::string Ikona;
};

class Objects_Gfx_Symbole : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Gfx_Symbol(id); }
    // Every kind: the name, naturally.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    // The nine symbols with their icons from the program's icon folder
    // (FolderIkon of the running program). Always true, also when icons are
    // missing.
    bool Wczytaj();
    // The same with the icons from the given folder; an empty folder gives
    // nine symbols without icons. A symbol already held keeps its element
    // (event kinds and buttons point at it) and takes the new name and path.
    bool Wczytaj(const std::filesystem::path& folder);

    // A new symbol; Ikona is the file's path made absolute when the file is
    // there, else empty.
    Object_Gfx_Symbol* DodajSymbol(int id, std::string_view nazwa, const std::filesystem::path& plik);

    // The icon folder of the program at that path: "gfx" beside the program,
    // then "gfx" in the folder above it (the build puts the program in a
    // build folder inside the source tree, which holds gfx/), then the
    // installed "share/kandor/gfx" next to the program's "bin". Empty when
    // none exists.
    static std::filesystem::path FolderIkon(const std::filesystem::path& program);
    // The running program's own file, from /proc/self/exe; empty when it
    // cannot be read.
    static std::filesystem::path ProgramWlasny();
};
