// The go-to-path field: an access path as the status bar shows it, and
// what is missing when it names nothing.
#pragma once
#include <QWidget>

#include "ui/navigation_controller.h"

class QLabel;
class QLineEdit;

class PathBar final : public QWidget {
    Q_OBJECT

public:
    explicit PathBar(NavigationController& navigation, QWidget* parent = nullptr);

    QLineEdit* Field() const { return field_; }
    QString ErrorText() const;
    // Shows `path` in the field, selected, and clears the last error.
    void Prepare(const QString& path);

Q_SIGNALS:
    void CloseRequested();

private:
    void Go();

    NavigationController& navigation_;
    QLineEdit* field_ = nullptr;
    QLabel* error_ = nullptr;
};
