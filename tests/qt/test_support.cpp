#include "tests/qt/test_support.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QStatusBar>
#include <QTreeView>
#include <gtest/gtest.h>

#include "ui/qt/main_window.h"
#include "ui/qt/modal.h"

QString DataFile(const char* name) { return QStringLiteral(QUARNIX_TEST_DATA "/") + QString::fromUtf8(name); }
QString QtDataFile(const char* name) { return QStringLiteral(QUARNIX_QT_TEST_DATA "/") + QString::fromUtf8(name); }

DialogAnswers::DialogAnswers() {
    SetModalAnswer([this](QDialog& dialog) { return Run(dialog); });
}

DialogAnswers::~DialogAnswers() { SetModalAnswer({}); }

int DialogAnswers::Run(QDialog& dialog) {
    SeenDialog seen;
    seen.className = QString::fromLatin1(dialog.metaObject()->className());
    seen.title = dialog.windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    }
    seen_.push_back(seen);
    if (queue_.empty()) {
        ADD_FAILURE() << "unexpected dialog " << seen.className.toStdString() << " " << seen.title.toStdString();
        return QDialog::Rejected;
    }
    Answer answer = std::move(queue_.front());
    queue_.pop_front();
    return answer(dialog);
}

void DialogAnswers::ChooseFile(const QString& path) {
    Then([path](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr) << "expected the Open dialog";
        if (!files) return int(QDialog::Rejected);
        files->selectFile(path);
        // QFileDialog::accept() through QDialog, where it is public.
        static_cast<QDialog*>(files)->accept();
        return files->result();
    });
}

void DialogAnswers::CancelFile() {
    Then([](QDialog& dialog) {
        EXPECT_NE(qobject_cast<QFileDialog*>(&dialog), nullptr) << "expected the Open dialog";
        dialog.reject();
        return dialog.result();
    });
}

void DialogAnswers::PressOk() {
    Then([](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        EXPECT_NE(box, nullptr) << "expected a message box";
        if (!box) return int(QDialog::Rejected);
        box->button(QMessageBox::Ok)->click();
        return box->result();
    });
}

QString TreeText(const QTreeView& tree, const QModelIndex& index) {
    return tree.model()->data(index, Qt::DisplayRole).toString();
}

QStringList ListColumn(const QTreeView& list, int column) {
    QStringList texts;
    const QAbstractItemModel* model = list.model();
    for (int row = 0; row < model->rowCount(); ++row) texts << model->index(row, column).data().toString();
    return texts;
}

QString StatusText(const MainWindow& window) { return window.statusBar()->currentMessage(); }

QString CurrentTreeText(const MainWindow& window) {
    const QModelIndex current = window.TreeView()->currentIndex();
    return current.isValid() ? TreeText(*window.TreeView(), current) : QString();
}
