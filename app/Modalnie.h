#pragma once
#include <functional>

class QDialog;

// Runs a dialog of the program modally and gives its result (QDialog::
// Accepted or Rejected). Tests put a runner in place that fills the
// dialog's fields and answers instead of the operator; nullptr puts exec()
// back. Main thread only.
int WykonajModalnie(QDialog& dialog);
void UstawWykonawceModalnego(std::function<int(QDialog&)> wykonawca);
