#pragma once

// Registers the porter's live windows of the designer folder (gates,
// passages, inputs, outputs, the button panel, the readers) with the main
// window's window factories, and makes the single-instance editing dialogs
// the main window opens from its menus.
class QWidget;

void ZarejestrujOknaPortiera();
void UtworzDialogiEdycji(QWidget* wlasciciel);
