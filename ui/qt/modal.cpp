#include "ui/qt/modal.h"

#include <QDialog>

#include "ui/qt/qt_panes.h"

namespace {
ModalAnswer& Answer() {
    static ModalAnswer answer;
    return answer;
}
}  // namespace

void SetModalAnswer(ModalAnswer answer) { Answer() = std::move(answer); }

int RunModal(QDialog& dialog) {
    // The modal loop paints the window behind the dialog: let it show the
    // panes as they are now.
    FlushPanes();
    dialog.setWindowModality(Qt::ApplicationModal);
    if (Answer()) return Answer()(dialog);
    return dialog.exec();
}
