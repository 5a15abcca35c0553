#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "database/TDM.h"
#include "devices/Object_Enkoder.h"
#include "devices/Urzadzenia.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TemporaryRegistry.h"
#include "tests/support/TestDataModule.h"

inline void Choose(QComboBox* combo, int index) { combo->setCurrentIndex(index); }

inline void PressEscape(QWidget* target) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

// One test database with the schema, the global containers (the device
// layer's included) and the data module's tables the dialogs write, open
// as the designer's menu opens them. The encoders' health checks are paused.
class DesignerTest : public TestSchema {
protected:
    void SetUp() override {
        TestApplication();
        TestSchema::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        RejestrujUrzadzenia();
        model_.emplace();
        Objects_Enkodery::Wstrzymaj();
        for (db::Table* table : {&DM->TableMagistrale, &DM->TableKarty, &DM->TableCzytniki, &DM->TableEnkodery})
            table->open();
    }
    void TearDown() override {
        model_.reset();
        TestSchema::TearDown();
    }

    std::vector<QString> Messages() const {
        std::vector<QString> texts;
        for (const auto& message : dialogs.messages)
            texts.push_back(message.text);
        return texts;
    }
    // Every message so far was an error box captioned "Błąd".
    void ExpectErrorBoxes() const {
        for (const auto& message : dialogs.messages) {
            EXPECT_EQ(message.caption, "Błąd");
            EXPECT_EQ(message.icon, platform::ui::Icon::Error);
        }
    }
    int Rows(const std::string& table) { return std::stoi(scalar("SELECT count(*) FROM " + table)); }

    bool application_ = (TestApplication(), true); // before the dialogs of the tests
    TemporaryRegistry registry_;
    ScriptedDialogs dialogs;
    std::optional<GlobalModel> model_;
};
