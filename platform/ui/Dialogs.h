#pragma once
#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

namespace platform::ui {

enum class Icon { None, Information, Warning, Error, Question };

// The buttons of a message box, combined with |; the answer is one of them.
enum Button : unsigned {
    NoButton = 0,
    Ok = 1u << 0,
    Cancel = 1u << 1,
    Yes = 1u << 2,
    No = 1u << 3,
    Abort = 1u << 4,
    Retry = 1u << 5,
    Ignore = 1u << 6,
};
using Buttons = unsigned;

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    QString caption;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Ok;
    Button defaultButton = Ok;
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    QWidget* owner = nullptr;
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    // As the desk has always written them: "description|patterns|..."
    // ("Pliki bazy danych (*.kobackup)|*.kobackup|Wszystkie pliki (*.*)|*.*").
    QString filter;
    // Folder or proposed file name.
    QString start;
    // Open: only files that exist can be chosen.
    bool existingOnly = true;
};

struct FolderDialogRequest {
    QWidget* owner = nullptr;
    QString title;
    QString start;
};

struct FontDialogRequest {
    QWidget* owner = nullptr;
    QFont initial;
};

struct ColourDialogRequest {
    QWidget* owner = nullptr;
    QColor initial;
};

// Answers the dialogs instead of the operator while installed: tests put
// one in place, answer from a script and read what was asked. nullopt is
// the dialog cancelled.
class DialogAnswerer {
public:
    virtual ~DialogAnswerer() = default;
    virtual Button messageBox(const MessageBoxRequest& request) = 0;
    virtual std::optional<QString> fileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> folderDialog(const FolderDialogRequest& request) = 0;
    virtual std::optional<QFont> fontDialog(const FontDialogRequest& request) = 0;
    virtual std::optional<QColor> colourDialog(const ColourDialogRequest& request) = 0;
};

// Main thread only; nullptr puts the real dialogs back.
void SetDialogAnswerer(DialogAnswerer* answerer);
DialogAnswerer* CurrentDialogAnswerer();

// A modal message box; the button pressed. Closing it by the window's
// frame or Escape answers Cancel, or No, or the only button there is.
Button MessageBox(QWidget* owner, const QString& caption, const QString& text, Icon icon = Icon::None,
                  Buttons buttons = Ok, Button defaultButton = Ok);

// The chosen file's full path.
std::optional<QString> FileDialog(const FileDialogRequest& request);
// The chosen folder's full path.
std::optional<QString> FolderDialog(const FolderDialogRequest& request);
std::optional<QFont> FontDialog(const FontDialogRequest& request);
std::optional<QColor> ColourDialog(const ColourDialogRequest& request);

// The desk's "description|patterns|..." filter in Qt's form
// ("description (patterns);;...").
QString QtFilter(const QString& filter);

} // namespace platform::ui
