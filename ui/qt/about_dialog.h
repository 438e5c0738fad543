// The About box: the application icon, the product line and an OK button.
// OK, Esc and the close box all close it.
#pragma once
#include <QDialog>

class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// Shows the About box modally over `parent`.
void ShowAboutDialog(QWidget* parent);
