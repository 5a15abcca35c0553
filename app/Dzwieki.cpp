#include "app/Dzwieki.h"

#include <QSoundEffect>
#include <QUrl>

OdtwarzaczSystemowy::OdtwarzaczSystemowy() = default;
OdtwarzaczSystemowy::~OdtwarzaczSystemowy() = default;

void OdtwarzaczSystemowy::Odtwarzaj(const QString& plik) {
    // Made on first use: a desk without sounds never opens the audio device.
    if (!efekt_)
        efekt_ = std::make_unique<QSoundEffect>();
    efekt_->stop();
    efekt_->setSource(QUrl::fromLocalFile(plik));
    efekt_->setLoopCount(QSoundEffect::Infinite);
    efekt_->play();
}

void OdtwarzaczSystemowy::Zatrzymaj() {
    if (efekt_)
        efekt_->stop();
}
