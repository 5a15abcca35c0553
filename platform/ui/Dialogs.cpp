#include "platform/ui/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <utility>

namespace platform::ui {

namespace {

DialogAnswerer* answerer = nullptr;

constexpr std::pair<Button, QMessageBox::StandardButton> kButtons[] = {
    {Ok, QMessageBox::Ok},       {Cancel, QMessageBox::Cancel}, {Yes, QMessageBox::Yes},
    {No, QMessageBox::No},       {Abort, QMessageBox::Abort},   {Retry, QMessageBox::Retry},
    {Ignore, QMessageBox::Ignore},
};

QMessageBox::Icon QtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// What closing the box without a button means, as the system's own boxes
// answer it.
Button EscapeAnswer(Buttons buttons) {
    for (Button b : {Cancel, No, Ok})
        if (buttons & b)
            return b;
    for (const auto& [ours, qt] : kButtons)
        if (buttons & ours)
            return ours;
    return Cancel;
}

} // namespace

void SetDialogAnswerer(DialogAnswerer* a) {
    answerer = a;
}

DialogAnswerer* CurrentDialogAnswerer() {
    return answerer;
}

Button MessageBox(QWidget* owner, const QString& caption, const QString& text, Icon icon, Buttons buttons,
                  Button defaultButton) {
    if (buttons == NoButton)
        buttons = Ok;
    if (answerer != nullptr)
        return answerer->messageBox({owner, caption, text, icon, buttons, defaultButton});

    QMessageBox box(QtIcon(icon), caption, text, QMessageBox::NoButton, owner);
    for (const auto& [ours, qt] : kButtons) {
        if (!(buttons & ours))
            continue;
        QPushButton* button = box.addButton(qt);
        if (ours == defaultButton)
            box.setDefaultButton(button);
    }
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const auto& [ours, qt] : kButtons)
        if (qt == clicked)
            return ours;
    return EscapeAnswer(buttons);
}

QString QtFilter(const QString& filter) {
    if (filter.isEmpty())
        return {};
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        // Qt filters by the last parenthesised part; a description that
        // already ends with its patterns stays as it is.
        if (description.endsWith(')') && description.contains('('))
            entries << description;
        else
            entries << description + " (" + patterns + ")";
    }
    return entries.join(";;");
}

std::optional<QString> FileDialog(const FileDialogRequest& request) {
    if (answerer != nullptr)
        return answerer->fileDialog(request);
    QString chosen;
    if (request.kind == FileDialogKind::Save) {
        chosen = QFileDialog::getSaveFileName(request.owner, request.title, request.start, QtFilter(request.filter));
    } else {
        QFileDialog dialog(request.owner, request.title, request.start, QtFilter(request.filter));
        dialog.setFileMode(request.existingOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().front();
    }
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> FolderDialog(const FolderDialogRequest& request) {
    if (answerer != nullptr)
        return answerer->folderDialog(request);
    const QString chosen = QFileDialog::getExistingDirectory(request.owner, request.title, request.start);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> FontDialog(const FontDialogRequest& request) {
    if (answerer != nullptr)
        return answerer->fontDialog(request);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, request.initial, request.owner);
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<QColor> ColourDialog(const ColourDialogRequest& request) {
    if (answerer != nullptr)
        return answerer->colourDialog(request);
    const QColor colour = QColorDialog::getColor(request.initial, request.owner);
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

} // namespace platform::ui
