#pragma once
#include "core/Object.h"

class Object_Grupa_Lokali;
class Object_Lokal;

// A flat's membership of a flat group.
class Object_Grupa_Lokali_Lokal : public Object {
public:
    using Object::Object;

    void Polacz() override;

    int IdGrupyLokali = 0;
    Object_Grupa_Lokali* GrupaLokali = nullptr;
    int IdLokalu = 0;
    Object_Lokal* Lokal = nullptr;
};

class Objects_Grupy_Lokali_Lokale : public Objects {
public:
    // Groups with the larger id first, then by id of the member.
    static constexpr int SortujGrupamiMalejaco = 100;

    Object* Utworz(int id) override { return new Object_Grupa_Lokali_Lokal(id); }
    // SortujGrupamiMalejaco, or any other kind: the group's name, then the
    // flat's street, house number, designation and number inside its
    // controller.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Grupa_Lokali_Lokal* DodajRekord(int id, int idGrupyLokali, int idLokalu);

    // Whether the flat belongs to some flat group. Reads only.
    bool ZawieraLokal(int idLokalu) const;
};
