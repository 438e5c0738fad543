// Helpers shared by the Qt front end's tests: fixture paths, answers for
// modal dialogs, and reading what the panes show.
#pragma once
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// GoogleTest prints QStrings (and lists of them) as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class MainWindow;
class QDialog;
class QTreeView;

QString DataFile(const char* name);    // tests/data
QString QtDataFile(const char* name);  // tests/qt/data

// What a test saw of a modal dialog.
struct SeenDialog {
    QString className;  // QFileDialog, QMessageBox, AboutDialog
    QString title;
    QString text;       // message boxes
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Answers the program's modal dialogs in order while it lives.  A dialog
// with no answer queued fails the test and is cancelled.
class DialogAnswers {
public:
    using Answer = std::function<int(QDialog&)>;

    DialogAnswers();
    ~DialogAnswers();
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    // The next Open dialog gets `path` as if typed and accepts it through
    // its own accept(), which decides whether the name passes.
    void ChooseFile(const QString& path);
    void CancelFile();
    // The next message box is closed with its OK button.
    void PressOk();
    void Then(Answer answer) { queue_.push_back(std::move(answer)); }

    const std::vector<SeenDialog>& Seen() const { return seen_; }
    bool AllUsed() const { return queue_.empty(); }

private:
    int Run(QDialog& dialog);

    std::deque<Answer> queue_;
    std::vector<SeenDialog> seen_;
};

// Texts the panes show.
QString TreeText(const QTreeView& tree, const QModelIndex& index);
QStringList ListColumn(const QTreeView& list, int column);
QString StatusText(const MainWindow& window);
// The current tree item's text, empty when there is none.
QString CurrentTreeText(const MainWindow& window);

// The nothing-written test runs the test program again as a child with this
// switch and a file to open.
inline constexpr char kNothingWrittenChild[] = "--nothing-written-child";
int RunNothingWrittenChild(const QString& file);
