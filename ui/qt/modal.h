// Every modal dialog of the front end (Open, message boxes, About) runs
// through RunModal, so a test can answer it instead of a user.
#pragma once
#include <functional>

class QDialog;

// Answers a dialog in place of its event loop: gets the dialog set up and
// ready, returns the result exec() would have returned.
using ModalAnswer = std::function<int(QDialog& dialog)>;

// Installs the answer for every following dialog; an empty function goes
// back to real modal loops.
void SetModalAnswer(ModalAnswer answer);

// Shows the dialog application-modal and returns its result.
int RunModal(QDialog& dialog);
