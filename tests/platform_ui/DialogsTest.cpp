#include <gtest/gtest.h>

#include "platform/ui/Dialogs.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/ScriptedDialogs.h"

using namespace platform::ui;

TEST(Dialogs, ScriptAnswersAndRecordsEveryDialog) {
    TestApplication();
    ScriptedDialogs dialogs;
    dialogs.messageAnswers = {No};
    dialogs.folderAnswers = {QStringLiteral("/srv/kopie")};
    dialogs.fileAnswers = {std::nullopt};

    EXPECT_EQ(MessageBox(nullptr, "Pytanie", "Zatrzymać system?", Icon::Question, Yes | No, Yes), No);
    EXPECT_EQ(MessageBox(nullptr, "Błąd", "Brak", Icon::Error), Ok) << "unscripted: the default button";
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].caption, "Pytanie");
    EXPECT_EQ(dialogs.messages[0].text, "Zatrzymać system?");
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, Yes | No);
    EXPECT_EQ(dialogs.messages[0].defaultButton, Yes);

    EXPECT_EQ(FolderDialog({nullptr, "Wybierz folder", "/"}), QStringLiteral("/srv/kopie"));
    EXPECT_EQ(FileDialog({nullptr, FileDialogKind::Open, "Otwórz", "*.crt|*.crt", "", true}), std::nullopt);
    EXPECT_EQ(FontDialog({nullptr, QFont("Tahoma", 8)}), std::nullopt);
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(dialogs.files[0].filter, "*.crt|*.crt");
    ASSERT_EQ(dialogs.fonts.size(), 1u);
    EXPECT_EQ(dialogs.fonts[0].initial.pointSize(), 8);
}

TEST(Dialogs, DeskFiltersBecomeQtFilters) {
    EXPECT_EQ(QtFilter("Pliki bazy danych (*.kobackup)|*.kobackup|Wszystkie pliki (*.*)|*.*"),
              "Pliki bazy danych (*.kobackup);;Wszystkie pliki (*.*)");
    EXPECT_EQ(QtFilter("*.crt|*.crt"), "*.crt (*.crt)");
    EXPECT_EQ(QtFilter("Obrazy|*.png;*.jpg"), "Obrazy (*.png *.jpg)");
    EXPECT_EQ(QtFilter(""), "");
}
