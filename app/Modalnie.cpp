#include "app/Modalnie.h"

#include <QDialog>

namespace {

std::function<int(QDialog&)>& Wykonawca() {
    static std::function<int(QDialog&)> wykonawca;
    return wykonawca;
}

} // namespace

int WykonajModalnie(QDialog& dialog) {
    if (Wykonawca())
        return Wykonawca()(dialog);
    return dialog.exec();
}

void UstawWykonawceModalnego(std::function<int(QDialog&)> wykonawca) {
    Wykonawca() = std::move(wykonawca);
}
