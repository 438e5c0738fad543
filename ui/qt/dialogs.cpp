// The Open dialog and the message boxes of ui/panes.h.
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/panes.h"
#include "ui/qt/modal.h"
#include "ui/qt/pane_state.h"

namespace {

QString RxdataFilter() { return QStringLiteral("RPG Maker XP 数据文件(*.rxdata)"); }
QString AllFilesFilter() { return QStringLiteral("所有文件 (*)"); }

}  // namespace

bool ShowOpenDialog(char16_t* path, int size) {
    QFileDialog dialog(Panes().widgets.window, QStringLiteral("打开"));
    // Qt's own dialog, never the desktop's: a desktop dialog keeps a list of
    // recently used files, and this program writes nothing.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // AnyFile: a name typed for a file that does not exist passes the
    // dialog; opening it then fails with the program's own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({RxdataFilter(), AllFilesFilter()});
    dialog.selectNameFilter(RxdataFilter());
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("文件类型:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("打开"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (RunModal(dialog) != QDialog::Accepted) return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || !path || size <= 0) return false;
    const QString chosen = QDir::toNativeSeparators(files.constFirst());
    // A path that does not fit the caller's buffer is refused like a cancel.
    if (chosen.isEmpty() || chosen.size() >= size) return false;
    for (qsizetype i = 0; i < chosen.size(); ++i) path[i] = chosen.at(i).unicode();
    path[chosen.size()] = u'\0';
    return true;
}

void ShowMessage(const char16_t* text, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    QStringLiteral("错误"), text ? QString::fromUtf16(text) : QString(), QMessageBox::Ok,
                    Panes().widgets.window);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    RunModal(box);
}
