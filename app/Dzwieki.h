#pragma once
#include <QString>

#include <memory>

class QSoundEffect;

// Plays the sound of the newest active event kind over and over until it is
// stopped or replaced. Tests install one that records.
class OdtwarzaczDzwiekow {
public:
    virtual ~OdtwarzaczDzwiekow() = default;
    // The sound file, in a loop, without waiting; replaces what plays.
    virtual void Odtwarzaj(const QString& plik) = 0;
    virtual void Zatrzymaj() = 0;
};

// The sound card's player (Qt Multimedia). A file that cannot be played is
// silence, never an error.
class OdtwarzaczSystemowy : public OdtwarzaczDzwiekow {
public:
    OdtwarzaczSystemowy();
    ~OdtwarzaczSystemowy() override;
    void Odtwarzaj(const QString& plik) override;
    void Zatrzymaj() override;

private:
    std::unique_ptr<QSoundEffect> efekt_;
};
